// Reads arbitrary bytes as an applet request, whole and in pieces: no crash, the pieces give
// the request the whole bytes give (or the cap), and a decoded sentence that can be escaped
// again decodes back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "applet/applet_request.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // the first byte chooses the piece size, the rest is the request
  const size_t piece = data[0] % 17 + 1;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const auto whole = plotrak::DecodeAppletRequest(bytes);

  plotrak::AppletRequestReader reader(512);
  for (size_t at = 0;
       at < bytes.size() && reader.state() == plotrak::AppletRequestReader::State::kWaiting;
       at += piece)
    reader.Add(bytes.substr(at, piece));
  switch (reader.state()) {
    case plotrak::AppletRequestReader::State::kWaiting:
      if (whole) abort();  // a whole request was missed
      break;
    case plotrak::AppletRequestReader::State::kTooLong:
      if (bytes.size() <= 512) abort();
      break;
    case plotrak::AppletRequestReader::State::kComplete: {
      if (!whole) abort();
      const plotrak::AppletRequest early = reader.request();
      // pieces may end the identifier early, never change the sentence
      if (early.sentence != whole->sentence) abort();
      if (whole->identifier.compare(0, early.identifier.size(), early.identifier) != 0) abort();
      break;
    }
  }

  if (!whole) return 0;
  if (whole->identifier.empty() || whole->sentence.size() > bytes.size()) abort();
  if (const auto escaped = plotrak::EncodeAppletSentence(whole->sentence)) {
    const auto again = plotrak::DecodeAppletRequest(*escaped + "&" + whole->identifier);
    if (!again || again->sentence != whole->sentence || again->identifier != whole->identifier)
      abort();
  }
  return 0;
}
