#include "update/base_file_check.h"

#include <algorithm>
#include <exception>

#include "engine/knowledge_base.h"

namespace plotrak {
namespace {

constexpr unsigned char kSectionSeparator = 200;
constexpr unsigned char kEntrySeparator = 201;
constexpr unsigned char kAnswerSeparator = 202;
constexpr unsigned char kHighestCodeByte = 128;

}  // namespace

bool LooksLikeBaseFile(std::string_view bytes) {
  const size_t header = bytes.find(static_cast<char>(kSectionSeparator));
  if (header == std::string_view::npos || header + 1 >= bytes.size()) return false;
  if (static_cast<unsigned char>(bytes[header + 1]) != kEntrySeparator) return false;
  int sections = 0;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b == kSectionSeparator)
      ++sections;
    else if (b > kHighestCodeByte && b != kEntrySeparator && b != kAnswerSeparator)
      return false;
  }
  if (sections < 3) return false;
  try {
    KnowledgeBase scratch;
    ReloadBaseFromBytes(scratch, bytes);
    return scratch.motherKeys > 0;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace plotrak
