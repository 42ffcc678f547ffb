// The "  Ustawienia  " tab: its first inner tab, the channels' and the conversation's
// settings; the second is in other_settings.cpp.
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QScrollArea>
#include <QVBoxLayout>

#include "shell/application.h"
#include "window/main_window.h"
#include "window/qt_text.h"

namespace plotrak {
namespace {

QString T(const char* utf8) {
  return QString::fromUtf8(utf8);
}

// A page that scrolls when the window is smaller than its content.
QWidget* Scrolled(QWidget* content) {
  auto* area = new QScrollArea;
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  content->setProperty("page2", true);
  area->setWidget(content);
  area->viewport()->setProperty("page2", true);
  return area;
}

// A check box bound straight to one of a page's tab switches, which are not stored.
QCheckBox* PageSwitch(const char* caption, bool& value) {
  auto* box = new QCheckBox(T(caption));
  box->setChecked(value);
  QObject::connect(box, &QCheckBox::toggled, box, [&value](bool on) { value = on; });
  return box;
}

}  // namespace

QWidget* TForm1::BuildSettingsTab() {
  auto* page = new QWidget;
  auto* inner = new QTabWidget;
  inner->setProperty("level2", true);
  inner->addTab(Scrolled(BuildChannelSettings()), T("Gadu-Gadu / Chat / Rozmowa / WWW "));
  inner->addTab(Scrolled(BuildOtherSettings()), T("Kolory / Komendy / Programy / Inne "));
  auto* reset = new QPushButton(T("resetuj ustawienia"));
  reset->setToolTip(T("Przywraca domyślne wartości wszystkich ustawień"));
  connect(reset, &QPushButton::clicked, this, [this] {
    app_.ResetSettingsClicked();
    binder_.RefreshAll();
    UpdateEnables();
  });
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(inner, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(reset);
  layout->addLayout(buttons);
  return page;
}

QWidget* TForm1::BuildChannelSettings() {
  using S = SettingId;
  SettingsBinder& b = binder_;
  auto* content = new QWidget;

  auto* gg = new QGroupBox(QStringLiteral("Gadu-Gadu"));
  auto* ggForm = new QFormLayout(gg);
  ggForm->addRow(T("Numer Gadu-Gadu"), b.Text(S::kGgNumber, "numer konta Gadu-Gadu bota"));
  ggForm->addRow(T("Hasło"), b.Text(S::kGgPassword, "hasło konta Gadu-Gadu", true));
  ggForm->addRow(T("Serwer"), b.Text(S::kGgServer, "serwer Gadu-Gadu: host albo host:port"));
  auto* status =
      b.List(S::kGgStatus, {T("dostępny"), T("zaraz wracam"), T("niewidoczny"), T("niedostępny")});
  connect(status, &QComboBox::activated, this, [this] {
    if (app_.hooks.ggApplyStatus) app_.hooks.ggApplyStatus();
  });
  ggForm->addRow(T("Status"), status);
  ggForm->addRow(b.Flag(S::kGgWithDescription, "z opisem", nullptr, [this](bool on) {
    app_.model.settings.SetFlag(SettingId::kGgWithDescription, on);
    if (app_.hooks.ggApplyStatus) app_.hooks.ggApplyStatus();
  }));
  auto* description = b.Text(S::kGgDescription, "opis statusu Gadu-Gadu");
  ggDescription_ = description;
  connect(description, &QLineEdit::editingFinished, this, [this] {
    if (app_.hooks.ggApplyStatus) app_.hooks.ggApplyStatus();
  });
  ggForm->addRow(T("Opis "), description);
  ggForm->addRow(b.Flag(S::kGgLearn, "Ucz się z gadu-gadu"));
  ggForm->addRow(b.Flag(S::kGgLog, "Loguj rozmowy",
                        "Czy zapisywać treści rozmów przeprowadzonych na gadu-gadu"));
  PresentationModel& model = app_.model;
  ggForm->addRow(PageSwitch("Otwieraj zakładki z nowymi rozmowami", model.ggPage.openNewTabs));
  ggForm->addRow(
      PageSwitch("Przechodz automatycznie do nowo rozpoczetych rozmow", model.ggPage.goToNewTabs));
  ggForm->addRow(PageSwitch("Przechodz automatycznie do zakladki w ktorej pojawi sie tekst",
                            model.ggPage.goToTextTab));

  auto* both = new QGroupBox(QStringLiteral("Chat / Gadu-gadu"));
  auto* bothForm = new QFormLayout(both);
  bothForm->addRow(T("Czas pisania jednej litery"),
                   b.Text(S::kLetterTime, "milisekundy na jedną literę odpowiedzi"));
  bothForm->addRow(T("Czas zastanawiania się"),
                   b.Text(S::kThinkTime, "milisekundy namysłu przed odpowiedzią"));

  auto* local = new QGroupBox(QStringLiteral("Rozmowa"));
  auto* localBox = new QVBoxLayout(local);
  localBox->addWidget(
      b.Flag(S::kLocalSlowTyping, "Powolne Pisanie", "odpowiedź pisana litera po literze"));
  localBox->addWidget(
      b.Flag(S::kLocalSpeech, "Synteza Głosu", "odpowiedzi czytane na głos programem espeak-ng"));
  localBox->addWidget(
      b.Flag(S::kLocalAnimation, "Animacja postaci", "postać porusza się, gdy pisze odpowiedź"));
  localBox->addWidget(b.Flag(S::kLocalLog, "Loguj rozmowy", "Czy zapisywać treści rozmów"));
  localBox->addWidget(b.Flag(S::kLocalLearn, "Ucz się z programu"));
  localBox->addStretch(1);

  auto* chat = new QGroupBox(QStringLiteral("Chat"));
  auto* chatForm = new QFormLayout(chat);
  chatForm->addRow(T("Nick"), b.Text(S::kChatNick, "nick bota w pokoju"));
  chatForm->addRow(b.Flag(S::kChatTemporary, "Tymczasowy", "logowanie bez hasła"));
  auto* password = b.Text(S::kChatPassword, "hasło nicka", true);
  chatPassword_ = password;
  chatForm->addRow(T("Hasło"), password);
  chatForm->addRow(T("Serwer"), b.Text(S::kChatServer, "serwer czatowy"));
  chatForm->addRow(T("Port"), b.Text(S::kChatPort, "port serwera czatowego"));
  chatForm->addRow(T("Link"),
                   b.Text(S::kChatLink, "adres strony na której jest umieszczony aplet"));
  chatForm->addRow(T("Pokój"), b.Text(S::kChatRoom, "pokój czatu"));
  chatForm->addRow(b.Flag(S::kChatBoldNick, "Pogrubiony nick", nullptr, [this](bool on) {
    app_.model.settings.SetFlag(SettingId::kChatBoldNick, on);
    if (app_.hooks.chatApplyBoldNick) app_.hooks.chatApplyBoldNick();
  }));
  chatForm->addRow(b.Flag(S::kChatLog, "Loguj rozmowy", "Czy zapisywać treści rozmów prywatnych"));
  chatForm->addRow(b.Flag(S::kChatStartOnEntry, "Rozpoczynaj rozmowe na wejsciu",
                          "witaj osoby wchodzące do pokoju"));
  auto* greeting = b.Text(S::kChatEntryText, "tekst powitania");
  chatGreeting_ = greeting;
  chatForm->addRow(T("tekstem"), greeting);
  auto* antiflood = b.Text(S::kChatAntiflood, "milisekundy między tekstami wysyłanymi do pokoju");
  chatAntiflood_ = antiflood;
  chatForm->addRow(T("Bufor antyflood"), antiflood);
  chatForm->addRow(T("Podtrzymywanie poł. (s)"),
                   b.Text(S::kChatKeepAlive, "sekundy ciszy przed podtrzymaniem połączenia"));
  chatForm->addRow(b.Flag(S::kChatLearn, "Ucz się z Chatu"));
  chatForm->addRow(b.Flag(S::kChatOpenTabs, "Otwieraj zakładki z nowymi rozmowami prywatnymi"));
  chatForm->addRow(
      b.Flag(S::kChatGoToText, "Przechodz automatycznie do zakladki w ktorej pojawi sie tekst"));
  chatForm->addRow(b.Flag(S::kChatGoToNew, "Przechodz automatycznie do nowo rozpoczetych rozmow"));
  auto* echoes = new QHBoxLayout;
  echoes->addWidget(b.Flag(S::kChatMain, "Main", "teksty z pokoju także w zakładce prywatnej"));
  echoes->addWidget(
      b.Flag(S::kChatServerLines, "Serwer", "komunikaty serwera także w zakładce prywatnej"));
  echoes->addWidget(b.Flag(S::kChatPriv, "Priv", "teksty prywatne także w zakładce Rozmowa"));
  echoes->addStretch(1);
  chatForm->addRow(echoes);

  auto* www = new QGroupBox(QStringLiteral("WWW"));
  auto* wwwForm = new QFormLayout(www);
  wwwForm->addRow(T("Port"), b.Text(S::kWwwPort,
                                    "Port na którym ma być postawiony serwer dla "
                                    "aplikacji flashowej na WWW"));
  wwwForm->addRow(b.Flag(S::kWwwStartServer, "Stawiaj serwer przy starcie"));
  wwwForm->addRow(b.Flag(S::kWwwLog, "Loguj rozmowy", "Czy zapisywać treści rozmów z WWW"));
  wwwForm->addRow(b.Flag(S::kWwwLearn, "Ucz się z WWW"));
  wwwForm->addRow(b.Flag(S::kWwwOpenTabs, "Otwieraj zakładki z nowymi rozmowami"));
  wwwForm->addRow(
      b.Flag(S::kWwwGoToText, "Przechodz automatycznie do zakladki w ktorej pojawi sie tekst"));
  wwwForm->addRow(b.Flag(S::kWwwGoToNew, "Przechodz automatycznie do nowo rozpoczetych rozmow"));
  wwwForm->addRow(T("Port strony"),
                  b.Text(S::kWebPagePort, "port strony WWW z rozmową w przeglądarce"));
  wwwForm->addRow(b.Flag(S::kWebPageStart, "Uruchamiaj stronę przy starcie"));
  wwwForm->addRow(T("Dozwolone strony"), b.Text(S::kWebPageSites,
                                                "strony, które mogą osadzać rozmowę; oddzielone "
                                                "spacjami"));

  // one column: the long captions stay whole at 800 pixels, the page scrolls down
  auto* column = new QVBoxLayout(content);
  for (QGroupBox* group : {gg, both, local, chat, www}) column->addWidget(group);
  column->addStretch(1);
  return content;
}

}  // namespace plotrak
