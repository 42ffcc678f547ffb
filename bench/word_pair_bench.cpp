// Answer speed on bases of everyday two-word keys ("$@JAK LUBISZ@$", the shape learning and
// base authors produce), at 1,000, 10,000 and 100,000 keys, for messages of 5 to 10 common
// words said by 64 people in turn. The answer rate should hardly depend on the key count.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/normalize.h"
#include "engine/respond.h"
#include "engine/text_codec.h"

namespace plotrak {
namespace {

// Common Polish words, folded to ASCII as the matcher sees them.
const std::vector<std::string> kWords = {
    "a",           "albo",       "ale",
    "ani",         "autobus",    "babcia",
    "bardzo",      "bede",       "bedzie",
    "bialy",       "biedny",     "biegac",
    "bo",          "bogaty",     "bot",
    "brac",        "brat",       "brzydki",
    "byc",         "byl",        "byla",
    "bylo",        "calkiem",    "cena",
    "chce",        "chcesz",     "chcialbym",
    "chciec",      "chleb",      "chlopak",
    "chmura",      "chociaz",    "chory",
    "chyba",       "cialo",      "ciekawy",
    "cieply",      "ciocia",     "co",
    "corka",       "cukier",     "czarny",
    "czas",        "czasem",     "czemu",
    "czerwony",    "czesc",      "czesto",
    "czlowiek",    "czy",        "czyj",
    "czytac",      "czytasz",    "dac",
    "deszcz",      "dlaczego",   "do",
    "dobra",       "dobre",      "dobry",
    "dobrze",      "dokad",      "dom",
    "domu",        "dopoki",     "droga",
    "drzewo",      "duzo",       "duzy",
    "dziadek",     "dzieci",     "dziecko",
    "dzieki",      "dziekuje",   "dzien",
    "dziewczyna",  "dzisiaj",    "dziwny",
    "fajny",       "film",       "filmy",
    "gazeta",      "gdy",        "gdzie",
    "glodny",      "glowa",      "glupi",
    "godzina",     "goracy",     "gory",
    "gra",         "grac",       "gram",
    "grasz",       "grudzien",   "gry",
    "hej",         "herbata",    "i",
    "ide",         "idziesz",    "ile",
    "imie",        "internet",   "isc",
    "ja",          "jak",        "jaka",
    "jaki",        "jakie",      "jechac",
    "jedzenie",    "jem",        "jesc",
    "jesien",      "jesli",      "jest",
    "jestem",      "jestes",     "jestesmy",
    "jesz",        "jeszcze",    "jezeli",
    "jezioro",     "jutro",      "juz",
    "kawa",        "kiedy",      "kiedys",
    "kierowca",    "klamstwo",   "kobieta",
    "kochac",      "kocham",     "kolacja",
    "kolega",      "kolezanka",  "kolor",
    "komputer",    "kon",        "koniec",
    "kot",         "kota",       "kraj",
    "krowa",       "ksiazka",    "ksiazki",
    "kto",         "ktory",      "kupic",
    "kura",        "kwiat",      "ladny",
    "las",         "lat",        "lato",
    "latwy",       "lekarz",     "lub",
    "lubic",       "lubie",      "lubisz",
    "ludzie",      "ma",         "macie",
    "madry",       "maj",        "maja",
    "malo",        "maly",       "mam",
    "mama",        "mamy",       "marzenie",
    "maslo",       "masz",       "mezczyzna",
    "miasto",      "miec",       "miejsce",
    "miescie",     "miesiac",    "mieso",
    "mieszkac",    "milosc",     "mily",
    "mimo",        "minuta",     "mleko",
    "mlody",       "mniej",      "moc",
    "morze",       "mowic",      "mowie",
    "mowisz",      "moze",       "mozna",
    "musiec",      "muzyka",     "my",
    "mysle",       "myslec",     "myslisz",
    "mysz",        "na",         "nadzieja",
    "najbardziej", "naprawde",   "nara",
    "nauczyciel",  "nawet",      "nazwisko",
    "nie",         "niebieski",  "niebo",
    "nigdy",       "niski",      "no",
    "noc",         "noga",       "normalny",
    "nos",         "nowy",       "nudny",
    "o",           "obiad",      "oczy",
    "od",          "odpowiedz",  "ogladac",
    "okej",        "oko",        "okropny",
    "on",          "ona",        "oni",
    "oraz",        "pa",         "pan",
    "pani",        "patrzec",    "pewnie",
    "pic",         "pieniadze",  "pies",
    "pije",        "pijesz",     "pisac",
    "pisze",       "piszesz",    "piwo",
    "pizza",       "plotrak",    "plywac",
    "po",          "pociag",     "poczatek",
    "podrozowac",  "pole",       "policjant",
    "polsce",      "polska",     "pomysl",
    "poniewaz",    "pora",       "potem",
    "praca",       "pracowac",   "pracy",
    "prawda",      "prawdziwy",  "prawie",
    "problem",     "program",    "prosze",
    "przepraszam", "przyjaciel", "przyjaciolka",
    "psa",         "ptak",       "pytanie",
    "radio",       "radosc",     "rano",
    "reka",        "robic",      "robie",
    "robisz",      "robot",      "rodzina",
    "rok",         "roku",       "rower",
    "rowniez",     "rozmowa",    "ryba",
    "rzadko",      "rzecz",      "rzeka",
    "sa",          "samochod",   "samolot",
    "sasiad",      "sekunda",    "sen",
    "ser",         "serce",      "serio",
    "sie",         "siema",      "siostra",
    "skad",        "sklep",      "slonce",
    "sluchac",     "slyszysz",   "smierc",
    "smutny",      "sniadanie",  "snieg",
    "sok",         "sol",        "sorry",
    "spac",        "spie",       "spiewac",
    "spisz",       "spoko",      "sposob",
    "sprawa",      "sprzedac",   "stary",
    "statek",      "strach",     "strona",
    "student",     "styczen",    "super",
    "swiat",       "swiecie",    "swietny",
    "swinia",      "syn",        "szczescie",
    "szef",        "szkoda",     "szkola",
    "szkole",      "szybki",     "tak",
    "takze",       "tanczyc",    "tata",
    "telefon",     "telewizja",  "temat",
    "teraz",       "tez",        "to",
    "trawa",       "troche",     "trudny",
    "trzeba",      "twarz",      "ty",
    "tydzien",     "tylko",      "ucho",
    "uczen",       "uczyc",      "ulica",
    "usta",        "w",          "wcale",
    "wczoraj",     "wesoly",     "wiatr",
    "widze",       "widzisz",    "wie",
    "wiec",        "wiecej",     "wieczor",
    "wiedziec",    "wiek",       "wiem",
    "wiesz",       "wino",       "wiosna",
    "witaj",       "witam",      "wlasnie",
    "wlosy",       "woda",       "wolny",
    "wujek",       "wy",         "wysoki",
    "wziac",       "z",          "za",
    "zakupy",      "zanim",      "zawsze",
    "zdrowy",      "ze",         "zegnaj",
    "zielony",     "zima",       "zimny",
    "zla",         "zle",        "zlosc",
    "zly",         "zmeczony",   "znam",
    "znasz",       "zolty",      "zreszta",
    "zrobic",      "zupa",       "zupelnie",
    "zwierze",     "zwierzeta",  "zycie",
};

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  return s;
}

// `keys` distinct word pairs in random order, two answers each, and a few static questions.
std::string WordPairBase(int keys) {
  std::mt19937 gen(2026);
  std::vector<std::pair<int, int>> pairs;
  const int n = static_cast<int>(kWords.size());
  for (int a = 0; a < n; ++a) {
    for (int b = 0; b < n; ++b) pairs.emplace_back(a, b);
  }
  std::shuffle(pairs.begin(), pairs.end(), gen);
  std::string out = EncodeText("slowa");
  out += '\xC8';
  for (int i = 0; i < keys; ++i) {
    const auto [a, b] = pairs[i];
    out += '\xC9' + EncodeText("$@" + Upper(kWords[a]) + " " + Upper(kWords[b]) + "@$");
    out += '\xCA' + EncodeText("A co do " + kWords[b] + "?");
    out += '\xCA' + EncodeText("Mowisz o " + kWords[a] + ".");
  }
  out += '\xC9' + EncodeText("$1111111111$") + '\xCA' + EncodeText("Zagramy?");
  out += '\xC8';
  for (int i = 0; i < 100; ++i) {
    out += '\xC9' + EncodeText("pytanie " + kWords[i]) + '\xCA' + EncodeText("tak");
  }
  out += '\xC8';
  out += '\xC9' + EncodeText("co to jest");
  return out;
}

std::vector<std::string> Messages(int count) {
  std::mt19937 gen(7);
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) {
    const int len = std::uniform_int_distribution<int>(5, 10)(gen);
    std::string m;
    for (int w = 0; w < len; ++w) {
      if (w) m += ' ';
      m += kWords[gen() % kWords.size()];
    }
    out.push_back(m);
  }
  return out;
}

// An engine on a word-pair base of `keys` keys, written to a file and loaded.
struct WordPairEngine {
  explicit WordPairEngine(int keys) {
    const auto path = dir / ("pairs" + std::to_string(keys) + ".ptk");
    { std::ofstream(path, std::ios::binary) << WordPairBase(keys); }
    engine.LoadBaseFile(path);
  }
  std::filesystem::path dir = [] {
    const auto d = std::filesystem::temp_directory_path() / "plotrak-bench";
    std::filesystem::create_directories(d);
    return d;
  }();
  FixedClock clock{LocalTime{2026, 12, 7, 12, 0, 0}};
  Random random{1};
  StatusLines status;
  Engine engine{dir, clock, random, status};
};

// Messages said in turn by `people` people on a word-pair base of state.range(0) keys.
void RespondOnWordPairs(benchmark::State& state, int people) {
  WordPairEngine pairs(static_cast<int>(state.range(0)));
  Engine& engine = pairs.engine;
  engine.settings.serviceLog = false;
  engine.settings.fixedVsRandom = 0;  // unanswered lines get the functional question, no save
  const std::vector<std::string> messages = Messages(4096);
  std::vector<std::string> speakers;
  for (int i = 0; i < people; ++i) speakers.push_back("osoba" + std::to_string(i));
  size_t i = 0, mother = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        Respond(engine, speakers[i % people], messages[i % 4096], false, "chat"));
    mother += engine.trace.how.rfind("mother", 0) == 0;
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["mother_share"] = static_cast<double>(mother) / std::max<size_t>(i, 1);
}
void BM_RespondWordPairs(benchmark::State& state) {
  RespondOnWordPairs(state, 64);
}
BENCHMARK(BM_RespondWordPairs)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// One person saying everything: his answer memory grows to thousands of keys, and the
// answer time should not grow with it.
void BM_RespondWordPairsOnePerson(benchmark::State& state) {
  RespondOnWordPairs(state, 1);
}
BENCHMARK(BM_RespondWordPairsOnePerson)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The key filter alone on the same bases and messages: the part of an answer that depends
// on the number of keys.
void BM_MotherCandidatesWordPairs(benchmark::State& state) {
  WordPairEngine pairs(static_cast<int>(state.range(0)));
  Engine& engine = pairs.engine;
  engine.motherIndex.Refresh(engine.base);
  std::vector<std::string> messages;
  for (const std::string& m : Messages(4096))
    messages.push_back(NormalizeText(m, NormalizeMode::kKeepAll));
  size_t i = 0, candidates = 0;
  for (auto _ : state) {
    candidates += engine.motherIndex.AllCandidates(messages[i % 4096])->size();
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["candidates"] = static_cast<double>(candidates) / std::max<size_t>(i, 1);
}
BENCHMARK(BM_MotherCandidatesWordPairs)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace plotrak
