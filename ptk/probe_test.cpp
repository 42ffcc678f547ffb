// ptk probe: lines run through the engine as the console runs them, one fresh engine per
// conversation, and the report counts what an entry written for the line answered.
#include "ptk/probe.h"

#include <gtest/gtest.h>

#include "ptk/names_list.h"

namespace plotrak::ptk {
namespace {

constexpr const char* kBase =
    "WERSJA: próba\n"
    "[MATKA]\n"
    "# ------------------------------ powitania\n"
    "K: $@CZESC@$\n"
    "A: |imie&czy_jest&true|Cześć, |imie&PODAJ|!\n"
    "A: Cześć! Jak masz na imię?\n"
    "K: $@JESTEM @$|IMIE&POBIERZ|\n"
    "A: Miło mi, |imie&PODAJ|.\n"
    "# ------------------------------ reszta\n"
    "K: $@NIGDY@$\n"
    "A: Nigdy.\n"
    "K: $1111111111$\n"
    "A: Nie rozumiem.\n"
    "K: $@@@$\n"
    "A: Hmm.\n"
    "[STATYCZNA]\n"
    "K: Ile dni ma rok?\n"
    "A: 365.\n";

TEST(ProbeTest, FreshEnginePerConversationAndTheSpecificShare) {
  const BaseSource base = ParseBaseSource(kBase);
  const std::string names = NamesFileBytes(ParseNamesSource("Kasia\nOla\n"));
  const auto blocks = ParseProbeBlocks(
      "# komentarz\n"
      "jestem Kasia\n"
      "czesc\n"
      "\n\n"
      "czesc\n"
      "!info\n"
      "zielone słonie\n");
  ASSERT_EQ(blocks.size(), 2u);
  const auto results = RunProbe(base, names, blocks, ProbeOptions{});
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0][1].answer, "Cześć, Kasia!");
  EXPECT_EQ(results[1][0].answer, "Cześć! Jak masz na imię?");  // nobody remembered
  EXPECT_EQ(results[1][1].how, "command");
  EXPECT_EQ(results[1][2].how, "mother 5");  // the bare "$@@@$" is no answer of its own
  const bool expected[] = {true, true, true, true, false};
  int i = 0;
  for (const auto& block : results)
    for (const auto& a : block) EXPECT_EQ(a.specific, expected[i++]) << a.text;
  EXPECT_DOUBLE_EQ(SpecificShare(results), 4.0 / 5.0);

  const std::string report = ProbeReportText(base, SourceHeadings(kBase), results, true);
  EXPECT_NE(report.find("specific: 4 (80.0%)"), std::string::npos) << report;
  EXPECT_NE(report.find("3  powitania"), std::string::npos) << report;
  EXPECT_NE(report.find("never answered: 2 of 5"), std::string::npos) << report;
  EXPECT_NE(report.find("line 10: $@NIGDY@$"), std::string::npos) << report;
}

}  // namespace
}  // namespace plotrak::ptk
