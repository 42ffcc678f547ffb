// The client's own texts (Windows-1250 unless said otherwise), and the identification
// banner with its trigger phrase.
#pragma once

#include <string>

namespace plotrak::polchat {

// A connection attempt that failed, by the transport's error: timed out, refused, host
// unreachable, or any other code ("Blad laczenia nr " + code).
const std::string& TimedOutText();     // "Nie można znaleźć serwera!"
const std::string& RefusedText();      // "Serwer, z którym się łączysz nie istnieje!"
const std::string& UnreachableText();  // "Brak połączenia (z internetem?)"
std::string ConnectErrorText(int code);

// Disconnect reasons, held in UTF-8 as the server's own reasons are.
const std::string& LostConnectionReasonUtf8();  // "Utrata połączenia z serwerem"
const std::string& FailedAttemptReason();       // "***"
const std::string& TunnelFailedReasonUtf8();    // "Nie można nawiązać połączenia."
// The stream broke its framing (a length field no frame can have): the session is dropped.
const std::string& BadFrameReasonUtf8();

// "Nie mam na liście użytkownika \"<nick>\", który podobno właśnie ..." for a departure
// (616) and the two status changes (617, 618).
std::string UnknownNickText(int opcode, const std::string& nick);

// The banner sent to the room when somebody asks for it with ": " + the trigger phrase
// (lower case). Both are kept scrambled in the program and unscrambled on first use.
const std::string& IdentificationBanner();
const std::string& TriggerPhrase();

}  // namespace plotrak::polchat
