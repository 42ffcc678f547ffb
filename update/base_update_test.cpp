#include "update/base_update.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "applet/applet_test_support.h"
#include "applet/qt_test_support.h"
#include "update/base_file_check.h"
#include "update/http_get.h"
#include "update/test_http_server.h"

namespace plotrak {
namespace {

using testing::HttpResponse;
using testing::PumpUntil;
using testing::ReadFile;
using testing::TestBaseBytes;

class BaseUpdateTest : public ::testing::Test {
 protected:
  BaseUpdateTest() {
    update.transferTimeoutMs = 2000;
    update.onChange = [this] {
      history.push_back({ToUtf8(update.statusText()), update.statusColour(), update.progress()});
    };
  }
  void Download(const std::string& path, const std::filesystem::path& target) {
    t.app.model.settings.SetText(SettingId::kUpdateUrl, http.Url(path));
    history.clear();
    t.app.hooks.downloadBase(target);
    ASSERT_TRUE(PumpUntil([this] { return !update.running(); }));
  }
  std::filesystem::path Base() const { return t.dir.path() / "baza.ptk"; }

  struct Seen {
    std::string text;
    UpdateColour colour;
    int progress;
  };
  QCoreApplication& qt = testing::QtApplication();
  testing::StartedApp t;
  BaseUpdate update{t.app};
  testing::TestHttpServer http;
  std::vector<Seen> history;
};

TEST_F(BaseUpdateTest, InstallsOnlyAWholeBaseAndKeepsTheOldOne) {
  const std::string newBase = TestBaseBytes("wersja nowa");
  const std::string oldBase = ReadFile(Base());
  chmod(Base().c_str(), 0600);
  http.responses["/baza.ptk"] = {200, newBase};
  http.responses["/bez-dlugosci.ptk"] = {200, newBase, false};
  http.responses["/krotszy.ptk"] = {200, newBase.substr(0, newBase.size() - 1), true,
                                    static_cast<int64_t>(newBase.size())};
  http.responses["/strona.ptk"] = {200, "<html><body>Nie ma takiej strony</body></html>"};
  http.responses["/obciety.ptk"] = {200, newBase.substr(0, newBase.size() / 2)};

  // every broken download leaves the base, its file and the loaded version as they were
  for (const char* path :
       {"/bez-dlugosci.ptk", "/krotszy.ptk", "/brak.ptk", "/strona.ptk", "/obciety.ptk"}) {
    Download(path, Base());
    ASSERT_FALSE(history.empty()) << path;
    EXPECT_EQ(history.back().text, "Wystąpił błąd") << path;
    EXPECT_EQ(history.back().colour, UpdateColour::kRed) << path;
    EXPECT_EQ(ReadFile(Base()), oldBase) << path;
    EXPECT_EQ(t.app.engine.base.baseVersion, "wersja testowa") << path;
    EXPECT_FALSE(std::filesystem::exists(t.dir.path() / "baza.ptk.bak")) << path;
  }
  // an address nobody listens on,
  const uint16_t closedPort = [] {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
  }();
  // and https to a server that speaks only plain HTTP
  for (const std::string& address :
       {"127.0.0.1:" + std::to_string(closedPort) + "/baza.ptk",
        "https://127.0.0.1:" + std::to_string(http.port()) + "/baza.ptk"}) {
    t.app.model.settings.SetText(SettingId::kUpdateUrl, address);
    t.app.hooks.downloadBase(Base());
    ASSERT_TRUE(PumpUntil([this] { return !update.running(); }));
    EXPECT_EQ(ToUtf8(update.statusText()), "Wystąpił błąd") << address;
    EXPECT_EQ(ReadFile(Base()), oldBase) << address;
  }

  // a whole base: installed with the old file's mode, the old one kept, the new one loaded
  Download("/baza.ptk", Base());
  EXPECT_EQ(history.back().text, "Aktualizacja zakończona");
  EXPECT_EQ(history.back().colour, UpdateColour::kGreen);
  EXPECT_EQ(history.back().progress, 100);
  EXPECT_EQ(ReadFile(Base()), newBase);
  EXPECT_EQ(ReadFile(t.dir.path() / "baza.ptk.bak"), oldBase);
  struct stat mode {};
  ASSERT_EQ(stat(Base().c_str(), &mode), 0);
  EXPECT_EQ(mode.st_mode & 0777, 0600u);
  EXPECT_FALSE(std::filesystem::exists(t.dir.path() / "tmp.ptk"));
  EXPECT_EQ(t.app.engine.base.baseVersion, "wersja nowa");
  EXPECT_EQ(t.Line("Wersja bazy "), "Wersja bazy wersja nowa");
  EXPECT_EQ(ToUtf8(t.app.model.statusBar()), "Aktualizacja zakończona");

  // saved under another name through the dialog: installed there and loaded from there
  http.responses["/baza.ptk"].body = TestBaseBytes("wersja trzecia");
  Download("/baza.ptk", t.dir.path() / "inna.ptk");
  EXPECT_EQ(ReadFile(t.dir.path() / "inna.ptk"), TestBaseBytes("wersja trzecia"));
  EXPECT_EQ(ReadFile(Base()), newBase);
  EXPECT_EQ(t.app.engine.base.baseVersion, "wersja trzecia");
}

TEST_F(BaseUpdateTest, ShowsProgressAndRefusesASecondUpdate) {
  std::string big = TestBaseBytes("wersja powolna");
  // padding answers make the file long enough for many chunks
  for (int i = 0; i < 40; ++i) big += static_cast<char>(202) + std::string(100, '8');
  big += static_cast<char>(200);
  ASSERT_TRUE(LooksLikeBaseFile(big));
  http.responses["/baza.ptk"] = {200, big, true, -1, 500, 10};
  t.app.model.settings.SetText(SettingId::kUpdateUrl, http.Url("/baza.ptk"));
  t.app.hooks.downloadBase(Base());
  ASSERT_TRUE(update.running());
  t.app.hooks.downloadBase(Base());  // refused: the first goes on alone
  EXPECT_EQ(ToUtf8(t.app.model.statusBar()),
            "Aktualizacja bazy już trwa: następna dopiero po jej zakończeniu");
  ASSERT_TRUE(PumpUntil([this] { return !update.running(); }));
  EXPECT_EQ(http.requests.size(), 1u);
  // the label climbs in black through the percentages to the green end
  ASSERT_GE(history.size(), 5u);
  for (size_t i = 0; i + 1 < history.size(); ++i) {
    EXPECT_EQ(history[i].text, "Aktualizacja w toku " + std::to_string(history[i].progress) + "%");
    EXPECT_EQ(history[i].colour, UpdateColour::kBlack);
    if (i > 0) {
      EXPECT_GE(history[i].progress, history[i - 1].progress);
    }
  }
  EXPECT_EQ(history.back().text, "Aktualizacja zakończona");
  EXPECT_EQ(t.app.engine.base.baseVersion, "wersja powolna");
  EXPECT_EQ(UpdatePercent(512, 1024), 50);
  EXPECT_EQ(UpdatePercent(1, 8), 12);  // 12.5: halves to even
  EXPECT_EQ(UpdatePercent(3, 8), 38);  // 37.5

  // no address: nothing at start-up, a red line for "Pobierz teraz"
  t.app.model.settings.SetText(SettingId::kUpdateUrl, "");
  t.app.hooks.startBaseUpdate();
  EXPECT_FALSE(update.running());
  t.app.hooks.downloadBase(Base());
  EXPECT_FALSE(update.running());
  EXPECT_EQ(update.statusColour(), UpdateColour::kRed);
  EXPECT_NE(ToUtf8(update.statusText()).find("adresu aktualizacji"), std::string::npos);
  EXPECT_EQ(http.requests.size(), 1u);
}

TEST_F(BaseUpdateTest, DownloadSendsItsRequestFormAndHonoursBinaryData) {
  http.responses["/f"] = {200, "abc", false};
  struct Case {
    std::string postQuery, referer;
    bool useCache, binaryData;
    bool done;
    std::vector<std::string> inHead, notInHead;
  };
  const Case cases[] = {
      {"",
       "http://127.0.0.1/strona",
       false,
       false,
       false,
       {"GET /f ", "Referer: http://127.0.0.1/strona", "no-cache", "User-Agent: Tavolin HTTPGet",
        "Accept: */*"},
       {}},
      {"a=1&b=2",
       "",
       true,
       true,
       false,
       {"POST /f ", "application/x-www-form-urlencoded"},
       {"no-cache", "Referer"}},
  };
  for (const Case& c : cases) {
    THTTPGet get;
    get.URL = http.Url("/f");
    get.FileName = (t.dir.path() / "plik").string();
    get.PostQuery = c.postQuery;
    get.Referer = c.referer;
    get.UseCache = c.useCache;
    get.BinaryData = c.binaryData;
    bool ended = false, done = false;
    get.OnDoneFile = [&](THTTPGet*, const std::string&, int64_t) { ended = done = true; };
    get.OnError = [&](THTTPGet*) { ended = true; };
    get.GetFile();
    ASSERT_TRUE(PumpUntil([&] { return ended; }));
    EXPECT_EQ(done, c.done);
    const std::string& head = http.requests.back();
    for (const std::string& part : c.inHead) EXPECT_NE(head.find(part), std::string::npos) << part;
    for (const std::string& part : c.notInHead)
      EXPECT_EQ(head.find(part), std::string::npos) << part;
    // without Content-Length the body is kept unless BinaryData says not to read it
    EXPECT_EQ(ReadFile(t.dir.path() / "plik"), c.binaryData ? "" : "abc");
    std::filesystem::remove(t.dir.path() / "plik");
  }
  // an abort ends the worker at once with its error
  http.responses["/wolno"] = {200, std::string(100000, 'x'), true, -1, 100, 50};
  THTTPGet slow;
  slow.URL = http.Url("/wolno");
  slow.FileName = (t.dir.path() / "wolno").string();
  bool failed = false;
  slow.OnError = [&](THTTPGet*) { failed = true; };
  slow.GetFile();
  PumpUntil([] { return false; }, std::chrono::milliseconds(200));
  slow.Abort();
  EXPECT_TRUE(PumpUntil([&] { return failed; }, std::chrono::seconds(2)));
  EXPECT_FALSE(slow.result());
}

}  // namespace
}  // namespace plotrak
