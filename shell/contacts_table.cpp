#include "shell/contacts_table.h"

#include <fstream>

#include "engine/atomic_file.h"
#include "engine/incoming_text.h"
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
  ReplaceFileAtomically(file, bytes, 0600);  // numbers of people: the owner's only
}

void ContactsTable::AddEmptyRow() {
  rows.emplace_back();
  Changed();
}

bool ContactsTable::RemoveLastRow() {
  if (rows.size() < 3) return false;
  rows.pop_back();
  if (selectedRow >= static_cast<int>(rows.size())) selectedRow = static_cast<int>(rows.size()) - 1;
  Changed();
  return true;
}

bool ContactsTable::RemoveSelectedRow() {
  if (rows.size() <= 2 || selectedRow < 1 || selectedRow >= static_cast<int>(rows.size()))
    return false;
  rows.erase(rows.begin() + selectedRow);
  if (selectedRow >= static_cast<int>(rows.size())) selectedRow = static_cast<int>(rows.size()) - 1;
  Changed();
  return true;
}

void ContactsTable::SetAllTalk(bool talk) {
  for (size_t i = 1; i < rows.size(); ++i)
    if (!rows[i][0].empty()) rows[i][2].assign(1, talk ? 'T' : 'N');
  Changed();
}

std::string ContactsTable::DisplayName(const std::string& number) const {
  std::string value = number;
  for (size_t i = 1; i < rows.size(); ++i)
    if (rows[i][1] == value) value = rows[i][0];
  return value;
}

std::string ContactsTable::NumberOf(const std::string& name) const {
  std::string value = name;
  for (size_t i = 1; i < rows.size(); ++i)
    if (rows[i][0] == value) value = rows[i][1];
  return value;
}

bool ContactsTable::IsSilent(const std::string& number) const {
  for (size_t i = 1; i < rows.size(); ++i)
    if (rows[i][1] == number && rows[i][2] == "N") return true;
  return false;
}

bool ContactsTable::ImportPiece(const std::string& piece) {
  if (importText_.size() + piece.size() > kMaxImportText) {
    importText_.clear();
    return false;
  }
  importText_ += piece;
  const size_t end = importText_.find("i;;;;");
  if (end != std::string::npos) importText_.resize(end);
  size_t separators = 0;
  for (char c : importText_) separators += c == ';';
  if (separators % 13 != 0) return false;
  ParseImport();
  Changed();
  return true;
}

void ContactsTable::ParseImport() {
  const std::string& text = importText_;
  size_t pos = 0;
  // past the next `n` separators; false when the text has fewer
  auto skip = [&](int n) {
    for (; n > 0; --n) {
      const size_t next = text.find(';', pos);
      if (next == std::string::npos) return false;
      pos = next + 1;
    }
    return true;
  };
  auto field = [&](std::string& out) {
    const size_t next = text.find(';', pos);
    if (next == std::string::npos) return false;
    out = CleanIncomingText(std::string_view(text).substr(pos, next - pos));
    pos = next + 1;
    return true;
  };
  size_t k = 0;
  while (text.size() >= 2 && pos < text.size() - 2) {
    std::string nick, number;
    if (!skip(3) || !field(nick) || !skip(2) || !field(number) || !skip(6)) break;
    ++k;
    if (k >= rows.size()) rows.resize(k + 1);
    rows[k] = {nick, number, "T"};
  }
}

std::string ContactsTable::ExportText() const {
  std::string list;
  for (size_t i = 1; i < rows.size(); ++i) {
    const Row& r = rows[i];
    if (r[0].empty()) continue;
    for (const std::string_view part :
         {";;", r[0].c_str(), ";", r[0].c_str(), ";;;", r[1].c_str(), ";;0;;0;;0;\r\n"})
      list.append(part);
  }
  return list;
}

}  // namespace plotrak
