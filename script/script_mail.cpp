// E-mail addresses: taken from what people say and, when the switch is on, kept in
// "emaile.txt" (one lower-case address per CR LF line, each address once).
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "engine/cp1250.h"
#include "engine/engine.h"
#include "engine/knowledge_base.h"
#include "engine/normalize.h"
#include "script/script_call.h"

namespace plotrak {

namespace {

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// Appends the address unless the file already holds it (in any letter case). True when
// it was appended.
bool SaveAddress(const std::filesystem::path& path, const std::string& address) {
  MakeWritable(path);
  std::string contents;
  {
    std::ifstream in(path, std::ios::binary);
    if (in) {
      contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      if (in.bad()) throw std::runtime_error("I/O error reading " + path.string());
    }
  }
  const std::string wanted = UpperAscii(address);
  size_t start = 0;
  while (start < contents.size()) {
    size_t end = contents.find('\n', start);
    if (end == std::string::npos) end = contents.size();
    std::string_view line(contents.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (UpperAscii(line) == wanted) return false;
    start = end + 1;
  }
  std::ofstream out(path, std::ios::binary | std::ios::app);
  // A last line without its line end must not swallow the new address.
  if (!contents.empty() && contents.back() != '\n') out << "\r\n";
  out << LowerAscii(address) << "\r\n";
  out.flush();
  if (!out) throw std::runtime_error("I/O error writing " + path.string());
  return true;
}

}  // namespace

void CaptureEmail(Engine& engine, const std::string& speaker, const std::string& input) {
  const size_t at = input.find('@');
  if (at == std::string::npos) {
    WriteRecord(engine, speaker).email.clear();
    return;
  }
  const size_t space = input.rfind(' ', at);
  const size_t begin = space == std::string::npos ? 0 : space + 1;
  const size_t stop = input.find(' ', at);
  const std::string word =
      input.substr(begin, (stop == std::string::npos ? input.size() : stop) - begin);
  WriteRecord(engine, speaker).email = LowerAscii(word);
  if (!engine.settings.saveEmails) return;
  if (SaveAddress(engine.DataFile("emaile.txt"), word)) {
    ++engine.script.savedEmailCount;
    static const std::string kCaption = FromUtf8("Zapisanych adresów e-mail: ");
    engine.status.Show(kCaption, std::to_string(engine.script.savedEmailCount));
  }
}

}  // namespace plotrak
