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

  // A view calls this after editing rows.
  std::function<void()> onChange;
  void Changed() {
    if (onChange) onChange();
  }
};

}  // namespace plotrak
