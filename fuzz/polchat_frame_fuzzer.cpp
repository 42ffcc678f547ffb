// Bytes from a chat server: reassembly at any cut gives the same payloads as one read, and
// dispatch of whatever arrives neither crashes nor reads past the buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "polchat/polchat_frame.h"
#include "polchat/polchat_protocol.h"

namespace {

using namespace plotrak::polchat;

class Session : public PolchatProtocol {
 public:
  Session() {
    OnErrorMsg = [this](PolchatProtocol&, const std::string& t) { events += t.size(); };
    OnMsgMain = [this](PolchatProtocol&, const std::string& t, const std::string&) {
      events += t.size();
    };
    OnMsgPriv = [this](PolchatProtocol&, const std::string& t, const std::string& n,
                       const std::string& o) { events += t.size() + n.size() + o.size(); };
    OnNicksRcvd = [this](PolchatProtocol&, const std::string&, const std::string&) { ++events; };
  }
  bool GetConnected() const override { return true; }
  bool SendRaw(const std::string& frames) override {
    // what the client writes is whole frames
    FrameReassembler check;
    size_t payloads = 0;
    if (!check.Feed(frames, [&](std::string_view) { ++payloads; }) || check.pending() != 0 ||
        payloads == 0)
      std::abort();
    return true;
  }
  size_t events = 0;
};

std::vector<std::string> Payloads(std::string_view data, size_t piece, bool& ok) {
  FrameReassembler reassembler;
  std::vector<std::string> out;
  ok = true;
  for (size_t at = 0; at < data.size() && ok; at += piece)
    ok = reassembler.Feed(data.substr(at, piece), [&](std::string_view p) { out.emplace_back(p); });
  if (reassembler.pending() > kMaxFrameLength) std::abort();
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = 1 + data[0] % 17;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  bool wholeOk = false, piecesOk = false;
  const std::vector<std::string> whole = Payloads(bytes, bytes.size() + 1, wholeOk);
  const std::vector<std::string> pieces = Payloads(bytes, piece, piecesOk);
  if (wholeOk != piecesOk || whole != pieces) std::abort();

  Session session;
  session.Encoding = (data[0] & 0x80) != 0;
  session.Receive(bytes);
  if (session.Il_Osob() != static_cast<int32_t>(session.Nicks().size())) std::abort();
  // every payload also alone, as a frame of its own: the same opcode decides the same way
  for (const std::string& payload : whole) {
    Session single;
    if (!single.Receive(Frame(payload))) std::abort();
  }
  return 0;
}
