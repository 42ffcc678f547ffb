#include "applet/www_conversation.h"

#include "engine/bot_command.h"
#include "engine/conversation_log.h"
#include "engine/incoming_text.h"
#include "engine/respond.h"
#include "shell/application.h"

namespace plotrak {
namespace {

// The page's line for what the visitor said (incoming) or what the bot said: into the
// traffic pane always, and into the identifier's tab when it has or may open one.
void ShowLine(Application& app, const std::string& identifier, const std::string& text,
              bool outgoing) {
  const std::string line =
      TimeStamp(app.engine.clock.Now()) + (outgoing ? "[PRIV " : "[OD ") + identifier + "] " + text;
  app.model.wwwPage.AddTrafficLine(line);
  app.model.wwwPage.AddPersonLine(identifier, line);
}

void Log(Application& app, const std::string& identifier, const std::string& text, LogWho who) {
  if (!app.model.settings.Flag(SettingId::kWwwLog)) return;
  try {
    WriteLogLine(app.engine.dataDir, identifier, text, who, "www", app.engine.clock.Now());
  } catch (const std::exception& error) {
    // a full disk must not cost the visitor the answer
    app.ReportError(error);
  }
}

}  // namespace

std::string CleanWwwIdentifier(std::string_view identifier) {
  return CleanIncomingText(identifier);
}

std::string WwwConversation(Application& app, const std::string& rawIdentifier,
                            const std::string& rawSentence) {
  const std::string identifier = CleanWwwIdentifier(rawIdentifier);
  if (identifier.empty()) return {};
  const std::string sentence = CleanIncomingText(rawSentence);
  ShowLine(app, identifier, sentence, false);
  Log(app, identifier, sentence, LogWho::kPerson);
  std::string answer;
  try {
    answer = RespondOrCommand(app.engine, app.CommandState(), identifier, sentence,
                              app.model.settings.Flag(SettingId::kWwwLearn), kChannelWww, false);
  } catch (const std::exception& error) {
    app.ReportError(error);
    return {};
  }
  ShowLine(app, identifier, answer, true);
  Log(app, identifier, answer, LogWho::kBot);
  app.model.CountSaid(SaidChannel::kWww);
  return answer;
}

}  // namespace plotrak
