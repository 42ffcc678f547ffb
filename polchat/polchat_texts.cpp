#include "polchat/polchat_texts.h"

#include <array>
#include <cstddef>

#include "engine/cp1250.h"

namespace plotrak::polchat {
namespace {

// A text scrambled at compile time with a one-byte key of its own: the program's image
// holds only the scrambled bytes.
template <size_t N>
struct Scrambled {
  std::array<unsigned char, N - 1> bytes{};
  unsigned char key;
  consteval Scrambled(const char (&text)[N], unsigned char k) : key(k) {
    for (size_t i = 0; i + 1 < N; ++i) bytes[i] = static_cast<unsigned char>(text[i]) ^ key;
  }
  std::string Plain() const {
    std::string out(bytes.size(), '\0');
    for (size_t i = 0; i < bytes.size(); ++i) out[i] = static_cast<char>(bytes[i] ^ key);
    return out;
  }
};

constexpr Scrambled kBanner("Tu Plotrak 4.0 - chatterbot, ktory rozmawia tu z wami na prywatnych",
                            0x5C);
constexpr Scrambled kTrigger("plotraku, kim jestes?", 0xA7);

}  // namespace

const std::string& TimedOutText() {
  static const std::string text = FromUtf8("Nie można znaleźć serwera!");
  return text;
}
const std::string& RefusedText() {
  static const std::string text = FromUtf8("Serwer, z którym się łączysz nie istnieje!");
  return text;
}
const std::string& UnreachableText() {
  static const std::string text = FromUtf8("Brak połączenia (z internetem?)");
  return text;
}

std::string ConnectErrorText(int code) {
  return "Blad laczenia nr " + std::to_string(code);
}

const std::string& LostConnectionReasonUtf8() {
  static const std::string text = "Utrata połączenia z serwerem";
  return text;
}
const std::string& FailedAttemptReason() {
  static const std::string text = "***";
  return text;
}
const std::string& TunnelFailedReasonUtf8() {
  static const std::string text = "Nie można nawiązać połączenia.";
  return text;
}
const std::string& BadFrameReasonUtf8() {
  static const std::string text = "Błędna ramka od serwera, połączenie zerwane";
  return text;
}

std::string UnknownNickText(int opcode, const std::string& nick) {
  static const std::string head = FromUtf8("Nie mam na liście użytkownika ");
  static const std::string left = FromUtf8(", który podobno właśnie wyszedł");
  static const std::string status1 = FromUtf8(", który podobno właśnie zmienił status1");
  static const std::string status2 = FromUtf8(", który podobno właśnie zmienił status2");
  const std::string& tail = opcode == 616 ? left : opcode == 617 ? status1 : status2;
  return head + "\"" + nick + "\"" + tail;
}

const std::string& IdentificationBanner() {
  static const std::string text = kBanner.Plain();
  return text;
}
const std::string& TriggerPhrase() {
  static const std::string text = kTrigger.Plain();
  return text;
}

}  // namespace plotrak::polchat
