// The messenger's received packets: a stream of headers and bodies read by ProcessPacket from
// memory, exactly as the client reads them from its socket. Every body must be consumed
// exactly (or up to the end of the data), events stay within their bounds, and contact-list
// pieces fed to the contacts table never break it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "gadugadu/gg_decoder.h"
#include "gadugadu/gg_server_address.h"
#include "shell/contacts_table.h"

using namespace plotrak;
using namespace plotrak::gg;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  MemorySource source(bytes);
  ImageList images;
  ContactsTable contacts;
  contacts.BeginImport();
  size_t imported = 0;
  uint8_t raw[kHeaderSize];
  while (source.Read(raw, kHeaderSize) == kHeaderSize) {
    const Header header = DecodeHeader(raw);
    const size_t before = source.left();
    const Event event = ProcessPacket(header, source, images);
    // the body and nothing more, or everything left when the data ends first
    Check(before - source.left() == std::min<size_t>(before, header.length));
    if (const auto* message = std::get_if<Message>(&event)) {
      Check(message->body.size() <= kMaxKeptText);
      Check(message->body.find('\0') == std::string::npos);
    } else if (const auto* image = std::get_if<Image>(&event)) {
      Check(image->body.size() == image->size && image->size <= kMaxImageBytes);
    } else if (const auto* notify = std::get_if<UserNotify>(&event)) {
      Check(notify->description.size() <= kMaxKeptText);
    } else if (const auto* reply = std::get_if<ContactsReply>(&event)) {
      Check(reply->piece.size() < kMaxContactsPiece);
      contacts.ImportPiece(reply->piece);
      imported += reply->piece.size();
      Check(contacts.rows.size() <= 12 + imported / 13);
    } else if (const auto* search = std::get_if<SearchReply>(&event)) {
      Check(search->text.find('\0') == std::string::npos);
    }
    Check(images.size() <= kMaxImages);
  }
  // the same bytes as a "serwer" setting
  if (const auto address = ParseServerAddress(bytes.substr(0, 64)))
    Check(!address->host.empty() && address->port >= 1 && address->port <= 65535);
  return 0;
}
