#include "engine/engine.h"

#include "engine/cp1250.h"

namespace plotrak {

void Engine::ShowBaseStatistics() {
  static const std::string kMotherKeys = FromUtf8("Ilość kluczy w bazie matce: ");
  static const std::string kMotherAnswers = FromUtf8("ilość odpowiedzi w bazie matce: ");
  static const std::string kStaticKeys = FromUtf8("ilość kluczy w bazie statycznej: ");
  static const std::string kStaticAnswers = FromUtf8("ilość odpowiedzi w bazie statycznej: ");
  static const std::string kDynamic = FromUtf8("ilość pozycji w bazie dynamicznej: ");
  status.Show(kMotherKeys, std::to_string(base.motherKeys));
  status.Show(kMotherAnswers, std::to_string(base.motherAnswers));
  status.Show(kStaticKeys, std::to_string(base.staticKeys));
  status.Show(kStaticAnswers, std::to_string(base.staticAnswers));
  status.Show(kDynamic, std::to_string(base.dynamicPositions));
}

bool Engine::LoadBaseFile(const std::filesystem::path& path) {
  if (!ReloadBase(base, path)) {
    dataFileFailure = true;
    return false;
  }
  motherIndex.Refresh(base);
  return true;
}

void Engine::SaveBase() {
  SaveBaseFile(base, DataFile("baza.ptk"));
}

std::string Engine::RandomKey(int section) {
  // Entries from 1 up to the first empty key, never the table's last row.
  const int count = std::min(base.FirstEmptyKey(section), base.LastEntry()) - 1;
  if (count <= 0) return base.Cell(section, 1, 1);
  return base.Cell(section, random.Uniform(1, count), 1);
}

int32_t Engine::NowSeconds() const {
  return plotrak::NowSeconds(clock.Now());
}

}  // namespace plotrak
