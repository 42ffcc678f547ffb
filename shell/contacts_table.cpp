#include "shell/contacts_table.h"

#include <fstream>

#include "engine/knowledge_base.h"
#include "shell/settings_file.h"

namespace plotrak {

ContactsTable::ContactsTable() : rows(12) {
  rows[0] = {"Nick", "Numer", "Plotrak rozmawia"};
}

bool ContactsTable::Load(const std::filesystem::path& file) {
  MakeWritable(file);
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::string line;
  size_t row = 1, column = 0;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (row >= rows.size()) rows.resize(row + 1);
    rows[row][column] = line;
    if (++column == 3) {
      column = 0;
      ++row;
    }
  }
  Changed();
  return true;
}

void ContactsTable::Save(const std::filesystem::path& file) const {
  MakeWritable(file);
  std::string bytes;
  for (size_t i = 1; i < rows.size(); ++i) {
    if (rows[i][0].empty()) continue;
    for (std::string cell : rows[i]) {
      // a line break inside a cell would shift every later contact by a line
      for (char& c : cell)
        if (c == '\r' || c == '\n') c = ' ';
      bytes += cell + "\r\n";
    }
  }
  ReplaceFileAtomically(file, bytes);
}

}  // namespace plotrak
