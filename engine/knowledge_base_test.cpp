#include "engine/knowledge_base.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <fstream>

#include "engine/cp1250.h"
#include "engine/test_support.h"
#include "engine/text_codec.h"

namespace plotrak {
namespace {

using testing::MakeBaseBytes;

const std::string kSection = "\xC8", kEntry = "\xC9", kAnswer = "\xCA";

KnowledgeBase Load(const std::string& bytes) {
  KnowledgeBase base;
  ReloadBaseFromBytes(base, bytes);
  return base;
}

TEST(KnowledgeBaseFile, LoadsSectionsCountersAndSpareRows) {
  const auto base = Load(MakeBaseBytes("v1.0", {{{"$CZESC$", "Witaj", "Hej"}, {"$PA$", "Pa"}},
                                                {{"Jak masz na imie?", "Ala"}},
                                                {{"co to jest"}, {"dlaczego"}}}));
  EXPECT_EQ(base.baseVersion, "v1.0");
  EXPECT_EQ(base.Cell(1, 1, 1), "$CZESC$");
  EXPECT_EQ(base.Cell(1, 1, 3), "Hej");
  EXPECT_EQ(base.Cell(2, 1, 2), "Ala");
  EXPECT_EQ(base.Cell(3, 2, 1), "dlaczego");
  EXPECT_EQ(base.motherKeys, 2);
  EXPECT_EQ(base.motherAnswers, 3);
  EXPECT_EQ(base.staticKeys, 1);
  EXPECT_EQ(base.staticAnswers, 1);
  EXPECT_EQ(base.dynamicPositions, 2);
  EXPECT_EQ(base.maxSection, 3);
  EXPECT_EQ(base.maxEntry, 2);
  EXPECT_EQ(base.maxSlot, 3);
  EXPECT_EQ(base.SectionCount(), 5);
  EXPECT_EQ(base.EntryCount(), 4);
  EXPECT_EQ(base.SlotCount(), 5);
  EXPECT_TRUE(base.Cell(1, base.LastEntry(), 1).empty());
  EXPECT_TRUE(base.Cell(1, 1, base.LastSlot()).empty());
}

TEST(KnowledgeBaseFile, SaveWritesBackTheSameBytes) {
  const std::string bytes =
      MakeBaseBytes("wersja", {{{"$A$", "1", "2"}, {"$B$", "3"}}, {{"Q", "x"}}, {{"d"}}});
  EXPECT_EQ(BaseFileBytes(Load(bytes)), bytes);
}

TEST(KnowledgeBaseFile, ReloadingTwiceGivesTheCountersOfOneLoad) {
  testing::ScratchDir dir;
  const auto path = dir.path() / "baza.ptk";
  std::ofstream(path, std::ios::binary)
      << MakeBaseBytes("v", {{{"$A$", "1", "2"}}, {{"Q", "a"}}, {}});
  KnowledgeBase base;
  ASSERT_TRUE(ReloadBase(base, path));
  ASSERT_TRUE(ReloadBase(base, path));
  EXPECT_EQ(base.motherKeys, 1);
  EXPECT_EQ(base.motherAnswers, 2);
  EXPECT_EQ(base.staticAnswers, 1);
}

TEST(KnowledgeBaseFile, AnswersBehindAnEmptyKeyJoinThePrecedingEntry) {
  KnowledgeBase base = Load(MakeBaseBytes("v", {{{"$A$", "1"}, {"$B$", "2"}}, {}, {}}));
  base.SetCell(1, 2, 1, "");
  const KnowledgeBase reloaded = Load(BaseFileBytes(base));
  EXPECT_EQ(reloaded.Cell(1, 1, 2), "1");
  EXPECT_EQ(reloaded.Cell(1, 1, 3), "2");
  EXPECT_TRUE(reloaded.Cell(1, 2, 1).empty());
}

TEST(KnowledgeBaseFile, LastTextWithoutSeparatorIsStored) {
  const std::string bytes =
      EncodeText("v") + kSection + kEntry + EncodeText("$A$") + kAnswer + EncodeText("koniec");
  const auto base = Load(bytes);
  EXPECT_EQ(base.Cell(1, 1, 2), "koniec");
  EXPECT_EQ(base.motherAnswers, 1);
}

TEST(KnowledgeBaseFile, FourthSectionIsLoadedButNeitherCountedNorSaved) {
  const std::string three = MakeBaseBytes("v", {{{"$A$", "1"}}, {{"Q", "a"}}, {{"d"}}});
  const auto base =
      Load(three + kSection + kEntry + EncodeText("extra") + kAnswer + EncodeText("x"));
  EXPECT_EQ(base.Cell(4, 1, 1), "extra");
  EXPECT_EQ(base.maxSection, 4);
  EXPECT_EQ(base.dynamicPositions, 1);
  EXPECT_EQ(base.motherKeys + base.staticKeys, 2);
  EXPECT_EQ(BaseFileBytes(base), three);
}

TEST(KnowledgeBaseFile, HeaderQuirks) {
  // An empty header gives the one-byte version 200.
  EXPECT_EQ(Load(kSection + kEntry + EncodeText("$A$")).baseVersion, "\xC8");
  // Without any section separator the read runs past the end of the file.
  KnowledgeBase base;
  base.motherKeys = 7;
  EXPECT_THROW(ReloadBaseFromBytes(base, EncodeText("no separator")), std::runtime_error);
  EXPECT_EQ(base.motherKeys, 0);
  EXPECT_TRUE(base.baseVersion.empty());
  // A file that ends with its first separator has its version read before the byte behind
  // the separator is missed.
  EXPECT_THROW(ReloadBaseFromBytes(base, EncodeText("v2") + kSection), std::runtime_error);
  EXPECT_EQ(base.baseVersion, "v2");
  // The byte behind the header separator is skipped whatever it is: the first byte of a text,
  // or a section separator, which then opens nothing.
  const auto halfText =
      Load(EncodeText("v") + kSection + EncodeText("Q") + kEntry + EncodeText("$A$"));
  EXPECT_EQ(halfText.Cell(1, 1, 1), DecodeText(EncodeText("Q").substr(1)));
  EXPECT_EQ(halfText.Cell(1, 2, 1), "$A$");
  EXPECT_EQ(halfText.motherKeys, 2);
  const auto noSection = Load(EncodeText("v") + kSection + kSection + kEntry + EncodeText("$A$"));
  EXPECT_EQ(noSection.Cell(1, 2, 1), "$A$");
  EXPECT_EQ(noSection.maxSection, 1);
}

TEST(KnowledgeBaseFile, TextsRightBehindASectionSeparatorLandInEntryZero) {
  // Counted like any key, never saved back and never found by the letter index.
  const auto base =
      Load(EncodeText("v") + kSection + kEntry + EncodeText("$A$") + kSection + EncodeText("zero") +
           kAnswer + EncodeText("a0") + kEntry + EncodeText("jeden") + kAnswer + EncodeText("a1"));
  EXPECT_EQ(base.Cell(2, 0, 1), "zero");
  EXPECT_EQ(base.Cell(2, 0, 2), "a0");
  EXPECT_EQ(base.staticKeys, 2);
  EXPECT_EQ(base.staticAnswers, 2);
  EXPECT_EQ(base.FindByLetters(2, "ZERO"), 0);
  EXPECT_EQ(base.FirstEmptyKey(2), 2);
  EXPECT_EQ(BaseFileBytes(base), MakeBaseBytes("v", {{{"$A$"}}, {{"jeden", "a1"}}, {}}));
}

TEST(KnowledgeBaseFile, OtherHighBytesEndATextWithoutMovingOn) {
  // 0xFF closes the text; the next text lands in the same slot and overwrites it.
  const auto base = Load(EncodeText("v") + kSection + kEntry + EncodeText("$A$") + kAnswer +
                         EncodeText("one") + "\xFF" + EncodeText("two"));
  EXPECT_EQ(base.Cell(1, 1, 2), "two");
  EXPECT_EQ(base.motherAnswers, 2);
}

TEST(KnowledgeBaseFile, MissingFileIsReportedNotThrown) {
  testing::ScratchDir dir;
  KnowledgeBase base;
  EXPECT_FALSE(ReloadBase(base, dir.path() / "nie-ma.ptk"));
}

TEST(KnowledgeBaseFile, SaveReplacesTheFileWholeAndLeavesNoTemporaries) {
  testing::ScratchDir dir;
  const auto path = dir.path() / "baza.ptk";
  std::ofstream(path, std::ios::binary) << "old contents";
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  const auto base = Load(MakeBaseBytes("v", {{{"$A$", "1"}}, {}, {}}));
  SaveBaseFile(base, path);
  std::ifstream in(path, std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(written, BaseFileBytes(base));
  // Beside the base only the copy of the file it replaced may stay, never a temporary.
  for (auto& e : std::filesystem::directory_iterator(dir.path())) {
    EXPECT_TRUE(e.path().filename() == "baza.ptk" || e.path().filename() == "baza.ptk.bak")
        << e.path();
  }
}

TEST(KnowledgeBaseFile, FailedSaveKeepsTheOldFile) {
  testing::ScratchDir dir;
  const auto missingFolder = dir.path() / "no-such-folder" / "baza.ptk";
  const auto base = Load(MakeBaseBytes("v", {{{"$A$", "1"}}, {}, {}}));
  EXPECT_THROW(SaveBaseFile(base, missingFolder), std::runtime_error);
}

TEST(KnowledgeBaseTable, OneWideEntryDoesNotWidenTheOthers) {
  KnowledgeBase base;
  base.Resize(5, 1002, 4, true);
  for (int e = 1; e <= 1000; ++e) base.SetCell(2, e, 1, "Q" + std::to_string(e));
  for (int k = 0; k < 5000; ++k) {
    if (2 + k > base.LastSlot()) base.AddSlotColumn();
    base.SetCell(2, 1, 2 + k, "a");
  }
  EXPECT_EQ(base.SlotCount(), 5002);
  EXPECT_EQ(base.StoredSlotEnd(2, 2), 2);  // the others stay one key wide
  EXPECT_EQ(base.StoredSlotEnd(2, 1), 5002);
  EXPECT_TRUE(base.Cell(2, 500, 4000).empty());
  EXPECT_THROW(base.SetCell(2, 1, 5002, "x"), std::out_of_range);
}

TEST(KnowledgeBaseTable, IndexesAndFirstEmptyFollowChanges) {
  KnowledgeBase base;
  base.Resize(5, 6, 4, true);
  base.SetCell(2, 1, 1, FromUtf8("Jak masz na imię?"));
  base.SetCell(2, 2, 1, "jak masz na imie");
  base.SetCell(2, 3, 1, "Ile masz lat");
  EXPECT_EQ(base.FirstEmptyKey(2), 4);
  EXPECT_EQ(base.FindByLetters(2, "JAKMASZNAIMIE"), 1);
  EXPECT_EQ(base.FindByLetters(2, "JAKMASZNAIMIE", 1), 2);
  base.SetCell(2, 2, 1, "");
  EXPECT_EQ(base.FirstEmptyKey(2), 2);
  EXPECT_EQ(base.FindByLetters(2, "JAKMASZNAIMIE", 1), 0);
  base.SetCell(2, 2, 1, "x");
  EXPECT_EQ(base.FirstEmptyKey(2), 4);
}

// A damaged or hostile file of separators with a few texts: memory follows the texts, not
// the entry and section numbers the separators reach.
TEST(KnowledgeBaseFile, EmptyEntriesAndSectionsCostNothing) {
  const std::string key = EncodeText("ostatni klucz"), answer = EncodeText("odpowiedz");
  const int n = 3'000'000;
  struct Case {
    std::string body;  // behind the version and the first section separator
    int section, entry;
    size_t texts;
    int firstEmptyMotherKey;
  };
  const std::vector<Case> cases = {
      {std::string(n, kEntry[0]) + key + kAnswer + answer, 1, n, 2, 1},
      {kEntry + key + std::string(n, kSection[0]) + kEntry + key, 1 + n, 1, 2, 2},
      {kEntry + key + kSection + kSection + std::string(n, kEntry[0]) + key + kAnswer + answer, 3,
       n, 3, 2},
  };
  for (const Case& c : cases) {
    const std::string bytes = EncodeText("v") + kSection + c.body;
    const size_t before = mallinfo2().uordblks;
    const auto base = Load(bytes);
    const size_t heap = mallinfo2().uordblks - before;
    EXPECT_LT(heap, 64u << 10) << "file of " << bytes.size() << " bytes";
    EXPECT_LT(base.HeapBytes(), 4096u);
    EXPECT_EQ(base.Cell(c.section, c.entry, 1), "ostatni klucz");
    EXPECT_EQ(base.StoredTextCount(), c.texts);
    EXPECT_EQ(base.FirstEmptyKey(1), c.firstEmptyMotherKey);
    const std::string saved = BaseFileBytes(base);
    EXPECT_EQ(BaseFileBytes(Load(saved)), saved);
  }
}

// Texts replaced over and over (forgetting moves every phrase below up by one) leave no
// lasting garbage behind.
TEST(KnowledgeBaseTable, RewrittenTextsDoNotAccumulate) {
  KnowledgeBase base;
  base.Resize(5, 2002, 4, true);
  for (int round = 0; round < 200; ++round) {
    for (int e = 1; e <= 2000; ++e) {
      base.SetCell(3, e, 1,
                   "fraza numer " + std::to_string(e + round) + std::string(round % 7, 'x'));
    }
  }
  EXPECT_EQ(base.Cell(3, 5, 1), "fraza numer 204" + std::string(199 % 7, 'x'));
  EXPECT_EQ(base.FindByLetters(3, "FRAZANUMER" + std::string(199 % 7, 'X')), 1);
  EXPECT_LT(base.HeapBytes(), 2000u * 100 + (2u << 20));
}

}  // namespace
}  // namespace plotrak
