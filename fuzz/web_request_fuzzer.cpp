// The web page's request gate and the policy functions on arbitrary bytes: the input is cut
// into pieces at positions taken from its first bytes (as a network delivers it), fed to
// one RequestGuard, and every head that passes is put through the origin and identifier
// checks. Checks that a verdict is final and that every passed head is what the server may
// route: an origin-form target without dot segments or encoded separators.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "web/request_guard.h"
#include "web/web_policy.h"

using plotrak::RequestGuard;

namespace {

void CheckHead(const plotrak::RequestHead& head) {
  if (head.target.empty() || head.target[0] != '/') std::abort();
  if (head.target.size() > RequestGuard::kMaxTarget) std::abort();
  if (head.path.find("/../") != std::string::npos || head.path.find("/./") != std::string::npos ||
      head.path.find("//") != std::string::npos || head.path.find('\\') != std::string::npos)
    std::abort();
  for (char c : head.target)
    if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F)
      std::abort();
  if (head.upgrade && head.path != "/ws") std::abort();
  const std::vector<std::string> sites = plotrak::ParseAllowedSites(head.origin);
  for (const std::string& site : sites)
    if (plotrak::NormalizeOrigin(site) != site) std::abort();  // normal forms are fixed points
  plotrak::OriginAllowed(head.origin, head.host, sites);
  const std::string id = plotrak::QueryValue(head.query, "id");
  if (plotrak::ValidConversationId(id) && id.find_first_of("/.%") != std::string::npos)
    std::abort();
  const std::string frame = plotrak::AnswerFrame(head.origin + head.target, 0);
  if (frame.find_first_of("<>&") != std::string::npos) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t pieces = 1 + data[0] % 8;
  std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  RequestGuard guard;
  RequestGuard::Verdict last = RequestGuard::Verdict::kMore;
  int requests = 0;
  while (!bytes.empty()) {
    const size_t cut = std::max<size_t>(1, bytes.size() / pieces);
    last = guard.Feed(bytes.substr(0, cut));
    bytes.remove_prefix(std::min(cut, bytes.size()));
    if (last == RequestGuard::Verdict::kReject) {
      if (guard.status() < 400 || guard.status() > 505) std::abort();
      if (guard.Feed("GET / HTTP/1.1\r\nHost: a\r\n\r\n") != RequestGuard::Verdict::kReject)
        std::abort();
      return 0;
    }
    if (guard.requests() != requests) {
      requests = guard.requests();
      CheckHead(guard.head());
    }
    if (last == RequestGuard::Verdict::kUpgrade &&
        guard.Feed("\x81\x05hello") != RequestGuard::Verdict::kUpgrade)
      std::abort();
  }
  return 0;
}
