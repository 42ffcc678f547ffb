// Frames per second through reassembly and dispatch: a stream of room messages read in
// 4 KiB pieces by a session that holds a 500-person people list, against a plain memcpy of
// the same bytes; and the people packet itself.
#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "polchat/chat_message.h"
#include "polchat/polchat_protocol.h"

namespace {

using namespace plotrak::polchat;

constexpr size_t kPeople = 500;
constexpr size_t kMessages = 10000;
constexpr size_t kReadSize = 4096;

std::string PeopleFrame() {
  std::string payload;
  auto put = [&](size_t v) {
    payload.push_back(static_cast<char>(v >> 8));
    payload.push_back(static_cast<char>(v & 0xFF));
  };
  put(5 + 2 * kPeople);
  put(kPeople);
  for (int v : {619, 0, 0, 0, 0}) put(v);
  for (size_t i = 0; i < kPeople; ++i) put(1), put(0);
  for (size_t i = 0; i < kPeople; ++i) {
    const std::string nick = "osoba" + std::to_string(i);
    put(nick.size());
    payload += nick;
    payload.push_back('\0');
  }
  return Frame(payload);
}

std::string RoomStream() {
  std::string stream;
  for (size_t i = 0; i < kMessages; ++i)
    stream +=
        BuildFrame({610}, {"<b>osoba" + std::to_string(i % kPeople) + "</b>: wiadomosc numer " +
                           std::to_string(i) + " do wszystkich w pokoju &amp; troche wiecej"});
  return stream;
}

class Session : public PolchatProtocol {
 public:
  bool GetConnected() const override { return true; }
  bool SendRaw(const std::string&) override { return true; }
};

void Feed(Session& session, const std::string& stream) {
  for (size_t at = 0; at < stream.size(); at += kReadSize)
    session.Receive(std::string_view(stream).substr(at, kReadSize));
}

// Feeds the stream to a session holding the people list, `onMessage` taking each room
// message.
void RunStream(benchmark::State& state,
               const std::function<size_t(const std::string&)>& onMessage) {
  const std::string stream = RoomStream();
  Session session;
  session.Receive(PeopleFrame());
  size_t seen = 0;
  session.OnMsgMain = [&](PolchatProtocol&, const std::string& text, const std::string&) {
    seen += onMessage(text);
  };
  for (auto _ : state) Feed(session, stream);
  benchmark::DoNotOptimize(seen);
  if (session.Il_Osob() != static_cast<int32_t>(kPeople)) state.SkipWithError("people lost");
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kMessages));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
}

void BM_ReassembleAndDispatch(benchmark::State& state) {
  RunStream(state, [](const std::string& text) { return text.size(); });
}
BENCHMARK(BM_ReassembleAndDispatch);

// The same with the channel's parse of every message (sender and text).
void BM_ReassembleDispatchAndParse(benchmark::State& state) {
  RunStream(state, [](const std::string& text) { return ParseChatMessage(text).text.size(); });
}
BENCHMARK(BM_ReassembleDispatchAndParse);

// The physical reference: copying the same bytes in the same pieces.
void BM_Memcpy(benchmark::State& state) {
  const std::string stream = RoomStream();
  std::vector<char> target(kReadSize);
  for (auto _ : state) {
    for (size_t at = 0; at < stream.size(); at += kReadSize) {
      const size_t n = std::min(kReadSize, stream.size() - at);
      std::memcpy(target.data(), stream.data() + at, n);
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kMessages));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
}
BENCHMARK(BM_Memcpy);

void BM_PeopleList500(benchmark::State& state) {
  const std::string frame = PeopleFrame();
  Session session;
  for (auto _ : state) session.Receive(frame);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_PeopleList500);

}  // namespace

BENCHMARK_MAIN();
