// The Gadu-Gadu contacts grid: a header row ("Nick", "Numer", "Plotrak rozmawia") and
// contact rows of display name, number as decimal text and talk flag "T" / "N", with the
// grid's selected cell. Stored in gadugadu.ptk as three lines per contact.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace plotrak {

inline constexpr const char* kContactsFileName = "gadugadu.ptk";

class ContactsTable {
 public:
  using Row = std::array<std::string, 3>;  // Nick, Numer, talk flag

  ContactsTable();

  // Rows including the header row 0; a grid starts with 12.
  std::vector<Row> rows;
  int selectedRow = 1;
  int selectedColumn = 0;

  // Fills the cells row by row from row 1, three lines per row, adding rows as needed.
  // Returns false (and leaves the table) when the file cannot be opened.
  bool Load(const std::filesystem::path& file);
  // Rewrites the file with every row whose Nick is not empty, through a temporary file.
  // Throws std::runtime_error on failure.
  void Save(const std::filesystem::path& file) const;

  // Editing buttons. "dodaj pusty wiersz" adds a row. "Usuń ostatni wiersz" removes the last
  // row while the grid has at least 3 rows; "Usuń zaznaczony wiersz" (more than 2 rows) moves
  // the rows below the selected one up and removes the last. False when nothing changed.
  void AddEmptyRow();
  bool RemoveLastRow();
  bool RemoveSelectedRow();
  // "Plotrak rozmawia ze wszystkimi" / "Plotrak nie rozmawia z nikim": every contact row's
  // talk flag becomes "T" / "N".
  void SetAllTalk(bool talk);
  // Typing into the grid: ";" is refused everywhere (it separates the exported fields); in
  // the talk-flag column a key replaces the cell with "N" for n or N and "T" for any other.
  static bool AcceptsKey(char key) { return key != ';'; }
  static const char* TalkFlagForKey(char key) { return key == 'n' || key == 'N' ? "N" : "T"; }

  // Looking contacts up as the channel's say operation does: each row in turn whose Numer
  // equals the value replaces it with the row's Nick (DisplayName) and, the other way, each
  // row whose Nick equals it replaces it with its Numer (NumberOf). No match keeps the value.
  std::string DisplayName(const std::string& number) const;
  std::string NumberOf(const std::string& name) const;
  // A row with this Numer has the talk flag "N".
  bool IsSilent(const std::string& number) const;

  // The server's contact list, arriving in pieces. BeginImport empties the accumulator.
  // ImportPiece adds a piece (text from "i;;;;" on is dropped) and, when the text gathered
  // holds a multiple of 13 ";", writes each record's 4th field as Nick and its 7th as Numer
  // with talk flag "T" into rows 1, 2, ... (rows are added as needed). Returns true when
  // the rows were written. The accumulator is bounded: text beyond kMaxImportText is
  // refused and the accumulator emptied.
  void BeginImport() { importText_.clear(); }
  bool ImportPiece(const std::string& piece);
  static constexpr size_t kMaxImportText = 4u << 20;
  // The list sent by the export: one line of 14 fields per contact row (a row with a Nick):
  // ";;" Nick ";" Nick ";;;" Numer ";;0;;0;;0;" CR LF.
  std::string ExportText() const;

  // A view calls this after editing rows.
  std::function<void()> onChange;
  void Changed() {
    if (onChange) onChange();
  }

 private:
  void ParseImport();

  std::string importText_;
};

}  // namespace plotrak
