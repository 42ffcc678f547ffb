// Speed of the base the program ships with: loading baza.ptk with its key index, and
// answering the lines of the tuning probe set, each conversation block said by its own person.
// The figures move with every change to data/baza.txt, so a base author can see the cost of a
// rework next to the synthetic benches.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/conversation_lifetime.h"
#include "engine/cp1250.h"
#include "engine/engine.h"
#include "engine/respond.h"
#include "ptk/file_io.h"
#include "ptk/probe.h"

namespace plotrak {
namespace {

struct ProbeLine {
  std::string speaker;
  std::string text;  // Windows-1250
};

// The probe file's lines, read as the probe tool reads them; each block is its own person.
std::vector<ProbeLine> ReadProbeLines(const std::filesystem::path& file) {
  std::vector<ProbeLine> lines;
  const auto blocks = ptk::ParseProbeBlocks(ptk::ReadWholeFile(file));
  for (size_t b = 0; b < blocks.size(); ++b)
    for (const std::string& line : blocks[b])
      lines.push_back({"osoba" + std::to_string(b), FromUtf8(line)});
  return lines;
}

// The shipped base and names list, copied into a scratch data folder.
struct ShippedEngine {
  ShippedEngine() {
    std::filesystem::create_directories(dir);
    const std::filesystem::path built = PLOTRAK_BASE_FILE;
    std::filesystem::copy_file(built, dir / "baza.ptk",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(built.parent_path() / "imiona.ptk", dir / "imiona.ptk",
                               std::filesystem::copy_options::overwrite_existing);
    engine.LoadBaseFile(dir / "baza.ptk");
    LoadNames(engine);
    engine.settings.serviceLog = false;
  }
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "plotrak-bench-shipped";
  FixedClock clock{LocalTime{2026, 12, 7, 12, 0, 0}};
  Random random{1};
  StatusLines status;
  Engine engine{dir, clock, random, status};
};

void BM_LoadShippedBaseAndKeyIndex(benchmark::State& state) {
  ShippedEngine shipped;
  for (auto _ : state) {
    KnowledgeBase base;
    ReloadBase(base, shipped.dir / "baza.ptk");
    MotherKeyIndex index;
    index.Refresh(base);
    benchmark::DoNotOptimize(base.SlotCount());
  }
  state.counters["file_KiB"] = std::filesystem::file_size(shipped.dir / "baza.ptk") / 1024.0;
}
BENCHMARK(BM_LoadShippedBaseAndKeyIndex)->Unit(benchmark::kMillisecond);

// One line per iteration, in file order and round again; learning off, so the base stays as
// shipped and every round asks the same.
void BM_RespondShippedBaseTuningLines(benchmark::State& state) {
  ShippedEngine shipped;
  const std::vector<ProbeLine> lines = ReadProbeLines(PLOTRAK_TUNING_FILE);
  if (lines.empty()) {
    state.SkipWithError("no probe lines");
    return;
  }
  size_t i = 0, mother = 0;
  for (auto _ : state) {
    const ProbeLine& line = lines[i % lines.size()];
    benchmark::DoNotOptimize(Respond(shipped.engine, line.speaker, line.text, false, "prog"));
    mother += shipped.engine.trace.how.rfind("mother", 0) == 0;
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["lines"] = static_cast<double>(lines.size());
  state.counters["mother_share"] = static_cast<double>(mother) / std::max<size_t>(i, 1);
}
BENCHMARK(BM_RespondShippedBaseTuningLines)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace plotrak
