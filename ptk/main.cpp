// ptk: the knowledge-base tool for base authors.
//
//   ptk dump BASE.ptk [SOURCE.txt]   the base as source text (stdout without SOURCE)
//   ptk build SOURCE.txt BASE.ptk    a base file from source text
//   ptk check FILE                   findings with line numbers (a .ptk is checked as dumped)
//   ptk stats FILE                   the five counters
//   ptk names NAMES.txt imiona.ptk   the first-names list in Windows-1250
//   ptk probe BASE [LINES.txt] [--names FILE] [--seed N] [--summary] [--min-specific PCT]
//                                    lines through the engine, each answer and its trace
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "engine/cp1250.h"
#include "ptk/base_check.h"
#include "ptk/base_image.h"
#include "ptk/file_io.h"
#include "ptk/names_list.h"
#include "ptk/probe.h"
#include "ptk/source_text.h"
#include "ptk/stats_text.h"

namespace plotrak::ptk {
namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  ptk dump BASE.ptk [SOURCE.txt]\n"
    "  ptk build SOURCE.txt BASE.ptk\n"
    "  ptk check FILE            (FILE.ptk or a source text)\n"
    "  ptk stats FILE            (FILE.ptk or a source text)\n"
    "  ptk names NAMES.txt imiona.ptk\n"
    "  ptk probe BASE [LINES.txt] [--names FILE] [--seed N] [--summary] [--min-specific PCT]\n"
    "      (BASE.ptk or a source text; lines from stdin without LINES.txt; names from\n"
    "      imiona.ptk or imiona.txt beside BASE without --names; exit status 1 when the\n"
    "      share of specific answers is below PCT)\n";

bool IsBaseFile(const std::string& path) {
  return path.size() >= 4 && path.compare(path.size() - 4, 4, ".ptk") == 0;
}

// The source of FILE: parsed from a text, or dumped from a .ptk (line numbers are then
// those of the dump).
BaseSource LoadSource(const std::string& path) {
  const std::string bytes = ReadWholeFile(path);
  if (IsBaseFile(path)) return ParseBaseSource(PrintBaseSource(DumpBaseBytes(bytes)));
  return ParseBaseSource(bytes);
}

// The bytes of imiona.ptk from a names file or its source.
std::string NamesBytes(const std::filesystem::path& path) {
  const std::string bytes = ReadWholeFile(path);
  if (IsBaseFile(path.string())) return bytes;
  return NamesFileBytes(ParseNamesSource(bytes));
}

std::filesystem::path NamesBeside(const std::filesystem::path& base) {
  for (const char* name : {"imiona.ptk", "imiona.txt"}) {
    const auto candidate = base.parent_path() / name;
    if (std::filesystem::exists(candidate)) return candidate;
  }
  throw std::runtime_error("no imiona.ptk or imiona.txt beside " + base.string() +
                           "; give --names");
}

int Probe(int argc, char** argv) {
  std::string basePath, linesPath, namesPath;
  ProbeOptions options;
  bool summaryOnly = false;
  double minSpecific = -1;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--names" && hasValue) {
      namesPath = argv[++i];
    } else if (arg == "--seed" && hasValue) {
      options.seed = static_cast<uint32_t>(std::stoul(argv[++i]));
    } else if (arg == "--min-specific" && hasValue) {
      minSpecific = std::stod(argv[++i]);
    } else if (arg == "--summary") {
      summaryOnly = true;
    } else if (basePath.empty()) {
      basePath = arg;
    } else if (linesPath.empty()) {
      linesPath = arg;
    } else {
      std::cerr << kUsage;
      return 2;
    }
  }
  if (basePath.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string baseBytes = ReadWholeFile(basePath);
  const BaseSource base = LoadSource(basePath);
  const std::vector<std::string> headings =
      IsBaseFile(basePath) ? std::vector<std::string>{} : SourceHeadings(baseBytes);
  std::string lines;
  if (linesPath.empty()) {
    std::ostringstream in;
    in << std::cin.rdbuf();
    lines = in.str();
  } else {
    lines = ReadWholeFile(linesPath);
  }
  const std::string names =
      NamesBytes(namesPath.empty() ? NamesBeside(basePath) : std::filesystem::path(namesPath));
  const auto results = RunProbe(base, names, ParseProbeBlocks(lines), options);
  std::cout << ProbeReportText(base, headings, results, summaryOnly);
  const double share = 100.0 * SpecificShare(results);
  if (share < minSpecific) {
    std::cout << "FAIL: specific share " << share << "% is below " << minSpecific << "%\n";
    return 1;
  }
  return 0;
}

int Run(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "dump" && (argc == 3 || argc == 4)) {
    const std::string text = PrintBaseSource(DumpBaseBytes(ReadWholeFile(argv[2])));
    if (argc == 4) {
      WriteWholeFile(argv[3], text);
    } else {
      std::cout << text;
    }
    return 0;
  }
  if (command == "build" && argc == 4) {
    WriteWholeFile(argv[3], BuildBaseBytes(ParseBaseSource(ReadWholeFile(argv[2]))));
    return 0;
  }
  if (command == "check" && argc == 3) {
    const auto findings = CheckBaseSource(LoadSource(argv[2]));
    for (const auto& f : findings)
      std::cout << argv[2] << ":" << f.line << ": " << f.message << "\n";
    if (!findings.empty()) std::cout << findings.size() << " finding(s)\n";
    return findings.empty() ? 0 : 1;
  }
  if (command == "stats" && argc == 3) {
    std::cout << StatsText(LoadSource(argv[2]));
    return 0;
  }
  if (command == "names" && argc == 4) {
    const auto names = ParseNamesSource(ReadWholeFile(argv[2]));
    WriteWholeFile(argv[3], NamesFileBytes(names));
    std::cerr << names.size() << " names\n";
    return 0;
  }
  if (command == "probe") return Probe(argc, argv);
  std::cerr << kUsage;
  return 2;
}

}  // namespace
}  // namespace plotrak::ptk

int main(int argc, char** argv) {
  try {
    return plotrak::ptk::Run(argc, argv);
  } catch (const plotrak::ptk::SourceError& e) {
    std::cerr << (argc > 2 ? argv[2] : "") << ":" << e.line << ": " << e.what() << "\n";
  } catch (const std::exception& e) {
    std::cerr << "ptk: " << e.what() << "\n";
  }
  return 1;
}
