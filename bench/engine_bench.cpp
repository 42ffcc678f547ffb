// Speed of the engine on large bases: loading, answering, and a key built to make a naive
// matcher blow up. Run: build/plotrak_bench
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/pattern_match.h"
#include "engine/respond.h"
#include "engine/text_codec.h"

namespace plotrak {
namespace {

// Distinct four-letter-tailed words that no ordinary input contains.
std::string Word(int i) {
  std::string w = "ZQ";
  for (int n = 0, v = i; n < 4; ++n, v /= 26) w += static_cast<char>('A' + v % 26);
  return w;
}

// A base file image: `mother` keys of mixed shapes with three answers each, `statics`
// questions with two answers and `dynamics` phrases.
std::string MakeBase(int mother, int statics, int dynamics) {
  std::string out = EncodeText("bench");
  out += '\xC8';
  for (int i = 0; i < mother; ++i) {
    static const char* shapes[] = {"$@%s@$", "$^%s^$", "$%s JEST@$", "$@%s^$$%s$"};
    char key[128];
    std::snprintf(key, sizeof key, shapes[i % 4], Word(i).c_str(), Word(i).c_str());
    out += '\xC9' + EncodeText(key);
    for (int a = 0; a < 3; ++a) out += '\xCA' + EncodeText("odpowiedz " + std::to_string(a));
  }
  out += '\xC9' + EncodeText("$1111111111$") + '\xCA' + EncodeText("Zagramy?");
  out += '\xC8';
  for (int i = 0; i < statics; ++i) {
    out += '\xC9' + EncodeText("pytanie numer " + Word(i) + "?");
    out += '\xCA' + EncodeText("tak") + '\xCA' + EncodeText("nie");
  }
  out += '\xC8';
  for (int i = 0; i < dynamics; ++i) out += '\xC9' + EncodeText("fraza " + Word(i));
  return out;
}

std::filesystem::path WriteTemp(const std::string& name, const std::string& bytes) {
  const auto dir = std::filesystem::temp_directory_path() / "plotrak-bench";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary) << bytes;
  return dir / name;
}

void BM_ReadBaseBytes(benchmark::State& state) {
  const auto path = WriteTemp("big.ptk", MakeBase(100000, 90000, 10000));
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * std::filesystem::file_size(path));
}
BENCHMARK(BM_ReadBaseBytes)->Unit(benchmark::kMillisecond);

// Heap in use, from the allocator's own statistics.
double HeapMiB() {
  return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0);
}

// Loads the file once per iteration and reports its size, the heap the table takes and the
// table's width.
void MeasureLoad(benchmark::State& state, const std::filesystem::path& path,
                 bool withKeyIndex = false) {
  double heap = 0;
  int slots = 0;
  for (auto _ : state) {
    const double before = HeapMiB();
    KnowledgeBase base;
    ReloadBase(base, path);
    MotherKeyIndex index;
    if (withKeyIndex) index.Refresh(base);
    heap = HeapMiB() - before;
    slots = base.SlotCount();
  }
  state.SetBytesProcessed(state.iterations() * std::filesystem::file_size(path));
  state.counters["file_MiB"] = std::filesystem::file_size(path) / (1024.0 * 1024.0);
  state.counters["heap_MiB"] = heap;
  state.counters["slots"] = slots;
}

void BM_LoadBase200k(benchmark::State& state) {
  MeasureLoad(state, WriteTemp("big.ptk", MakeBase(100000, 90000, 10000)));
}

// The same with the mother-key index built, as the first answer after a load builds it.
void BM_LoadBase200kAndKeyIndex(benchmark::State& state) {
  MeasureLoad(state, WriteTemp("big.ptk", MakeBase(100000, 90000, 10000)), true);
}
BENCHMARK(BM_LoadBase200kAndKeyIndex)->Unit(benchmark::kMillisecond);

// One static question with 5,000 answers beside 20,000 ordinary entries: the table is 5,003
// slots wide, but memory follows the texts.
void BM_MemoryOfOneWideEntry(benchmark::State& state) {
  std::string bytes = MakeBase(10000, 10000, 0);
  std::string wide = '\xC9' + EncodeText("pytanie z tysiacem odpowiedzi");
  for (int a = 0; a < 5000; ++a) wide += '\xCA' + EncodeText("odpowiedz " + std::to_string(a));
  bytes.insert(bytes.rfind('\xC8'), wide);  // last in the static base
  MeasureLoad(state, WriteTemp("wide.ptk", bytes));
}
BENCHMARK(BM_MemoryOfOneWideEntry)->Unit(benchmark::kMillisecond)->Iterations(3);

// A damaged or hostile file: 20 million empty entries and one text at the end. Memory
// follows the texts stored, not the entry number they reach.
void BM_MemoryOfEmptyEntries(benchmark::State& state) {
  std::string bytes = EncodeText("bench") + '\xC8' + std::string(20'000'000, '\xC9');
  bytes += EncodeText("$OSTATNI$") + '\xCA' + EncodeText("odpowiedz");
  MeasureLoad(state, WriteTemp("empty.ptk", bytes));
}
BENCHMARK(BM_MemoryOfEmptyEntries)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadBase200k)->Unit(benchmark::kMillisecond);

struct BigEngine {
  BigEngine()
      : engine(std::filesystem::temp_directory_path() / "plotrak-bench", clock, random, status) {
    engine.LoadBaseFile(WriteTemp("respond.ptk", MakeBase(10000, 10000, 100)));
    engine.settings.serviceLog = false;
    engine.settings.fixedVsRandom = 0;  // an unanswered text gets the functional question
  }
  FixedClock clock{LocalTime{2026, 12, 7, 12, 0, 0}};
  Random random{1};
  StatusLines status;
  Engine engine;
};

void BM_RespondMotherMatchNearTheEnd(benchmark::State& state) {
  BigEngine big;
  const std::string input = "no i " + Word(9996) + " tez";  // entry 9997, shape "@X@"
  for (auto _ : state) benchmark::DoNotOptimize(Respond(big.engine, "TY", input, false, "prog"));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RespondMotherMatchNearTheEnd)->Unit(benchmark::kMicrosecond);

void BM_RespondStaticQuestion(benchmark::State& state) {
  BigEngine big;
  const std::string input = "Pytanie numer " + Word(7777);
  for (auto _ : state) benchmark::DoNotOptimize(Respond(big.engine, "TY", input, false, "prog"));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RespondStaticQuestion)->Unit(benchmark::kMicrosecond);

void BM_RespondNothingMatches(benchmark::State& state) {
  BigEngine big;
  const std::string input = "zupelnie 123 nic takiego";
  for (auto _ : state) benchmark::DoNotOptimize(Respond(big.engine, "TY", input, false, "prog"));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RespondNothingMatches)->Unit(benchmark::kMicrosecond);

void BM_AdversarialPattern(benchmark::State& state) {
  const std::string input(state.range(0), 'A');
  for (auto _ : state) benchmark::DoNotOptimize(MatchPattern(input, "@A@A@A@A@A@A@A@A@B"));
}
BENCHMARK(BM_AdversarialPattern)->Arg(60)->Arg(600)->Arg(65536)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace plotrak

BENCHMARK_MAIN();
