#include "applet/www_conversation.h"

#include "engine/bot_command.h"
#include "engine/respond.h"
#include "shell/application.h"

namespace plotrak {

std::string WwwConversation(Application& app, const std::string& identifier,
                            const std::string& sentence) {
  try {
    std::string answer = Respond(app.engine, identifier, sentence,
                                 app.model.settings.Flag(SettingId::kWwwLearn), kChannelWww);
    std::string reply = BotCommand(app.engine, app.CommandState(), sentence, false);
    if (!reply.empty()) answer = std::move(reply);
    return answer;
  } catch (const std::exception& error) {
    app.ReportError(error);
    return {};
  }
}

}  // namespace plotrak
