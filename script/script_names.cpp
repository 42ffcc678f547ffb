#include "script/script_names.h"

#include <string>

#include "engine/normalize.h"

namespace plotrak {

namespace {

using enum NameCase;
using enum CallKind;
using Id = ScriptFunctionId;

constexpr ScriptFunction kAnswerTable[] = {
    {"zegarynka", kExact, "", kExact, kValue, 0, Id::kClock},
    {"WERSJA", kAnyCase, "", kExact, kValue, 0, Id::kVersion},
    {"ROZMAWIAL_DZIS", kAnyCase, "", kExact, kValue, 0, Id::kTalkedToday},
    {"ROZMAWIAL", kAnyCase, "", kExact, kValue, 0, Id::kTalkedTotal},
    {"ILE_DZIALA", kAnyCase, "", kExact, kValue, 0, Id::kUptime},
    {"kalendarz", kExact, "", kExact, kValue, 0, Id::kCalendar},
    // Our own calls: the weekday, the days until a date, the next Easter.
    {"dzien_tygodnia", kExact, "", kExact, kValue, 0, Id::kWeekday},
    {"dni_do", kExact, "", kExact, kValue, 0, Id::kDaysUntil},
    {"wielkanoc", kExact, "", kExact, kValue, 0, Id::kEaster},
    {"wiek", kExact, "LAT", kAnyCase, kValue, 0, Id::kBotAge},
    {"wiek", kExact, "RESZTA", kAnyCase, kValue, 0, Id::kBotAge},
    {"imie", kExact, "czy_jest", kExact, kCondition, 0, Id::kNameTest},
    {"imie", kExact, "czy_zmienil", kExact, kCondition, 0, Id::kNameTest},
    {"imie", kExact, "PODAJ", kAnyCase, kValue, 0, Id::kNameValue},
    {"UCZUCIA", kAnyCase, "PODAJ", kAnyCase, kValue, 0, Id::kMoodValue},
    {"czy_uczucia", kExact, "", kExact, kCondition, kSlot1 | kSlot2, Id::kMoodRange},
    {"MATH", kAnyCase, "WYNIK", kAnyCase, kValueOrCondition, 0, Id::kMath},
    {"MATH", kAnyCase, "OK", kAnyCase, kCondition, 0, Id::kMath},
    {"MATH", kAnyCase, "PRZYBLIZENIE", kAnyCase, kCondition, 0, Id::kMath},
    {"MATH", kAnyCase, "BLAD", kAnyCase, kCondition, 0, Id::kMath},
    {"MATH", kAnyCase, "ZADUZO", kAnyCase, kCondition, 0, Id::kMath},
    {"MATH", kAnyCase, kOtherSelector, kAnyCase, kCondition, 0, Id::kMath},  // always fails
    {"OSTATNI", kAnyCase, "", kExact, kEffect, 0, Id::kSetMarker},
    {"KONIEC_ROZMOWY", kAnyCase, "", kExact, kEffect, 0, Id::kEndConversation},
    {"CZY_KOBIETA", kAnyCase, "", kExact, kCondition, 0, Id::kIsWoman},
    {"gra", kExact, "wylosuj", kExact, kEffect, 0, Id::kGameDraw},
    {"gra", kExact, "sprawdz", kExact, kCondition, 0, Id::kGameCheck},
    {"gra", kExact, "ktory_raz", kExact, kValue, 0, Id::kGameTry},
    {"gra", kExact, "podaj", kExact, kValue, 0, Id::kGameDigits},
    {"TEMAT", kAnyCase, "", kExact, kEffect, 0, Id::kSetTopic},
    {"WIEK3", kAnyCase, "CZY_JEST", kAnyCase, kCondition, kSlot2 | kSlot3, Id::kAgeRange},
    {"WIEK3", kAnyCase, "PODAJ", kAnyCase, kValue, 0, Id::kAgeValue},
    {"WIEK_KASUJ", kAnyCase, "", kExact, kEffect, 0, Id::kAgeClear},
    {"MAIL", kAnyCase, "CZY_JEST", kAnyCase, kCondition, 0, Id::kMailKnown},
    {"MAIL", kAnyCase, "PODAJ", kAnyCase, kValue, 0, Id::kMailValue},
    {"CZY_LOSUJ", kAnyCase, "", kExact, kCondition, kSlot1, Id::kDrawnIs},
};

constexpr ScriptFunction kKeyTable[] = {
    {"IMIE", kAnyCase, "POBIERZ", kAnyCase, kEffect, 0, Id::kNameCapture},
    {"UCZUCIA", kAnyCase, "PODAJ", kAnyCase, kEffectAndCondition, 0, Id::kMoodOperation},
    {"UCZUCIA", kAnyCase, "DODAJ", kAnyCase, kEffectAndCondition, kSlot2, Id::kMoodOperation},
    {"UCZUCIA", kAnyCase, "ODEJMIJ", kAnyCase, kEffectAndCondition, kSlot2, Id::kMoodOperation},
    {"UCZUCIA", kAnyCase, "MAX", kAnyCase, kEffectAndCondition, kSlot2, Id::kMoodOperation},
    {"UCZUCIA", kAnyCase, kOtherSelector, kAnyCase, kEffectAndCondition, 0, Id::kMoodOperation},
    {"CZY_UCZUCIA", kAnyCase, "", kAnyCase, kCondition, kSlot1 | kSlot2, Id::kMoodRange},
    {"CZY_MATH", kAnyCase, "", kAnyCase, kCondition, 0, Id::kHasMath},
    {"CZY_POWTORZYL", kAnyCase, "", kAnyCase, kCondition, 0, Id::kRepeated},
    {"ZEROWE_OPOZNIENIE", kAnyCase, "", kAnyCase, kEffect, 0, Id::kZeroDelay},
    {"OSTATNI", kAnyCase, "", kAnyCase, kEffect, 0, Id::kSetMarker},
    {"CZY_OSTATNI", kAnyCase, "", kAnyCase, kCondition, 0, Id::kMarkerIs},
    {"KOBIETA", kAnyCase, "", kAnyCase, kEffect, 0, Id::kSetWoman},
    {"TEMAT", kAnyCase, "", kAnyCase, kEffect, 0, Id::kSetTopic},
    {"CZY_TEMAT", kAnyCase, "", kAnyCase, kCondition, 0, Id::kTopicIs},
    {"LOSUJ", kAnyCase, "", kAnyCase, kEffect, kSlot1, Id::kDraw},
    {"WIEK2", kAnyCase, "POBIERZ", kAnyCase, kEffect, 0, Id::kAgeCapture},
    {"MAIL", kAnyCase, "POBIERZ", kAnyCase, kEffect, 0, Id::kMailCapture},
};

bool Same(std::string_view written, std::string_view tableWord, NameCase rule) {
  if (rule == kExact) return written == tableWord;
  return SameUpperAscii(written, tableWord);  // the table's words are upper case
}

}  // namespace

std::span<const ScriptFunction> ScriptFunctions(ScriptPlace place) {
  if (place == ScriptPlace::kKey) return kKeyTable;
  return kAnswerTable;
}

bool IsScriptName(ScriptPlace place, std::string_view name) {
  const bool key = place == ScriptPlace::kKey;
  for (const ScriptFunction& row : ScriptFunctions(place)) {
    if (Same(name, row.name, key ? kAnyCase : row.nameCase)) return true;
  }
  return false;
}

const ScriptFunction* FindScriptFunction(ScriptPlace place, std::string_view name,
                                         std::string_view selector) {
  const bool key = place == ScriptPlace::kKey;
  for (const ScriptFunction& row : ScriptFunctions(place)) {
    if (!Same(name, row.name, key ? kAnyCase : row.nameCase)) continue;
    if (row.selector.empty() || row.selector == kOtherSelector) return &row;
    if (Same(selector, row.selector, key ? kAnyCase : row.selectorCase)) return &row;
  }
  return nullptr;
}

}  // namespace plotrak
