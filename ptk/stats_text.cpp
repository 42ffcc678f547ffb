#include "ptk/stats_text.h"

#include "engine/cp1250.h"
#include "ptk/base_image.h"

namespace plotrak::ptk {

std::string StatsText(const BaseSource& source) {
  KnowledgeBase base;
  // Counting through a real load keeps ptk's figures equal to the program's.
  ReloadBaseFromBytes(base, BuildBaseBytes(source));
  const struct {
    const char* label;
    int value;
  } lines[] = {
      {"Ilość kluczy w bazie matce: ", base.motherKeys},
      {"ilość odpowiedzi w bazie matce: ", base.motherAnswers},
      {"ilość kluczy w bazie statycznej: ", base.staticKeys},
      {"ilość odpowiedzi w bazie statycznej: ", base.staticAnswers},
      {"ilość pozycji w bazie dynamicznej: ", base.dynamicPositions},
  };
  std::string text = "Wersja bazy " + ToUtf8(base.baseVersion) + "\n";
  for (const auto& l : lines) text += std::string(l.label) + std::to_string(l.value) + "\n";
  return text;
}

}  // namespace plotrak::ptk
