#include "shell/contacts_table.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "engine/test_support.h"

namespace plotrak {
namespace {

ContactsTable::Row R(const char* nick, const char* number, const char* talk) {
  return {nick, number, talk};
}

TEST(ContactsTableTest, EditingButtonsAndTyping) {
  ContactsTable table;
  ASSERT_EQ(table.rows.size(), 12u);
  table.rows[1] = R("Ala", "111", "T");
  table.rows[2] = R("Ola", "222", "T");
  table.rows[3] = R("", "333", "T");  // not a contact: no Nick
  table.SetAllTalk(false);
  EXPECT_EQ(table.rows[1][2], "N");
  EXPECT_EQ(table.rows[2][2], "N");
  EXPECT_EQ(table.rows[3][2], "T");
  table.SetAllTalk(true);
  EXPECT_EQ(table.rows[2][2], "T");

  table.selectedRow = 1;
  ASSERT_TRUE(table.RemoveSelectedRow());
  EXPECT_EQ(table.rows[1], R("Ola", "222", "T"));
  EXPECT_EQ(table.rows.size(), 11u);
  table.AddEmptyRow();
  EXPECT_EQ(table.rows.size(), 12u);
  while (table.RemoveLastRow()) {
  }
  EXPECT_EQ(table.rows.size(), 2u);  // the header and one row stay
  EXPECT_FALSE(table.RemoveSelectedRow());

  EXPECT_FALSE(ContactsTable::AcceptsKey(';'));
  EXPECT_TRUE(ContactsTable::AcceptsKey('x'));
  EXPECT_STREQ(ContactsTable::TalkFlagForKey('n'), "N");
  EXPECT_STREQ(ContactsTable::TalkFlagForKey('N'), "N");
  EXPECT_STREQ(ContactsTable::TalkFlagForKey('x'), "T");
}

TEST(ContactsTableTest, LookupsFollowTheRowsInOrder) {
  ContactsTable table;
  table.rows[1] = R("Ala", "111", "T");
  table.rows[2] = R("Ola", "222", "N");
  EXPECT_EQ(table.DisplayName("111"), "Ala");
  EXPECT_EQ(table.DisplayName("999"), "999");  // a stranger is shown by number
  EXPECT_EQ(table.NumberOf("Ola"), "222");
  EXPECT_EQ(table.NumberOf("222"), "222");
  EXPECT_TRUE(table.IsSilent("222"));
  EXPECT_FALSE(table.IsSilent("111"));
  EXPECT_FALSE(table.IsSilent("999"));
}

TEST(ContactsTableTest, ImportWaitsForWholeRecordsAndExportWritesThem) {
  ContactsTable table;
  table.rows[1] = R("Ala", "111", "N");
  table.rows[2] = R("", "5", "N");
  const std::string list = table.ExportText();
  EXPECT_EQ(list, ";;Ala;Ala;;;111;;0;;0;;0;\r\n");

  // the server's form: 14 fields, field 4 the Nick, field 7 the number
  const std::string records =
      "Jan;K;Janek;Jasio;;;1001;;0;;0;;0;\r\n"
      "Ewa;N;Ewka;Ewunia;;;1002;;0;;0;;0;\r\n"
      "X;Y;Z;Nowy;;;1003;;0;;0;;0;\r\n";
  table.BeginImport();
  EXPECT_FALSE(table.ImportPiece(records.substr(0, 20)));
  EXPECT_FALSE(table.ImportPiece(records.substr(20, 40)));
  EXPECT_TRUE(table.ImportPiece(records.substr(60) + "i;;;;garbage;after;"));
  EXPECT_EQ(table.rows[1], R("Jasio", "1001", "T"));
  EXPECT_EQ(table.rows[2], R("Ewunia", "1002", "T"));
  EXPECT_EQ(table.rows[3], R("Nowy", "1003", "T"));
  EXPECT_EQ(table.rows.size(), 12u);

  // our own export reads back as the same contacts
  ContactsTable other;
  other.BeginImport();
  EXPECT_TRUE(other.ImportPiece(table.ExportText()));
  for (int row = 1; row <= 3; ++row) EXPECT_EQ(other.rows[row], table.rows[row]);

  // more records than rows add rows; a flood of text is refused, not kept
  std::string many;
  for (int i = 0; i < 20; ++i)
    many += ";;n;n" + std::to_string(i) + ";;;" + std::to_string(i) + ";;0;;0;;0;\r\n";
  other.BeginImport();
  EXPECT_TRUE(other.ImportPiece(many));
  EXPECT_EQ(other.rows.size(), 21u);
  EXPECT_EQ(other.rows[20], R("n19", "19", "T"));
  other.BeginImport();
  EXPECT_FALSE(other.ImportPiece(std::string(ContactsTable::kMaxImportText + 1, ';')));
  // an empty table exports an empty list
  EXPECT_EQ(ContactsTable().ExportText(), "");
}

TEST(ContactsTableTest, SaveAndLoadKeepContactsAndTheFileMode) {
  testing::ScratchDir dir;
  const auto file = dir.path() / kContactsFileName;
  ContactsTable table;
  table.rows[1] = R("Ala", "111", "N");
  table.rows[2] = R("", "222", "T");  // no Nick: not saved
  table.rows[3] = R("Ola\r\nX", "333", "T");
  table.Save(file);
  ::chmod(file.c_str(), 0600);
  table.Save(file);
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  std::ifstream in(file, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
            "Ala\r\n111\r\nN\r\nOla  X\r\n333\r\nT\r\n");

  ContactsTable loaded;
  ASSERT_TRUE(loaded.Load(file));
  EXPECT_EQ(loaded.rows[1], R("Ala", "111", "N"));
  EXPECT_EQ(loaded.rows[2], R("Ola  X", "333", "T"));
  EXPECT_FALSE(loaded.Load(dir.path() / "brak.ptk"));
  EXPECT_EQ(loaded.rows[1], R("Ala", "111", "N"));
}

}  // namespace
}  // namespace plotrak
