#include "ptk/file_io.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace plotrak::ptk {

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path.string());
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw std::runtime_error("cannot read " + path.string());
  return bytes;
}

void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::path tmp = path;
  tmp += ".ptk-tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot create " + tmp.string());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::filesystem::remove(tmp);
      throw std::runtime_error("cannot write " + tmp.string());
    }
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  if (ec) {
    std::filesystem::remove(tmp);
    throw std::runtime_error("cannot replace " + path.string() + ": " + ec.message());
  }
}

}  // namespace plotrak::ptk
