#include <gtest/gtest.h>

#include <string>

#include "web/rate_limiter.h"
#include "web/request_guard.h"
#include "web/web_policy.h"

namespace plotrak {
namespace {

using Verdict = RequestGuard::Verdict;

TEST(RequestGuard, HeadsArriveInPiecesAndPipelined) {
  const std::string two =
      "GET /widget.js HTTP/1.1\r\nHost: a:8080\r\n\r\nGET /ws?id=abc HTTP/1.1\r\nHost: a\r\n"
      "Origin: http://a\r\nUpgrade: WebSocket\r\nConnection: Upgrade\r\n\r\n\x81\x85garbage";
  // Any split of the bytes gives the same outcome.
  for (size_t split = 0; split <= two.size(); ++split) {
    RequestGuard guard;
    const Verdict first = guard.Feed(std::string_view(two).substr(0, split));
    const Verdict second = guard.Feed(std::string_view(two).substr(split));
    EXPECT_NE(first, Verdict::kReject);
    EXPECT_TRUE(second == Verdict::kUpgrade || first == Verdict::kUpgrade) << split;
    EXPECT_EQ(guard.head().path, "/ws");
    EXPECT_EQ(guard.head().query, "id=abc");
    EXPECT_EQ(guard.head().origin, "http://a");
    EXPECT_EQ(guard.requests(), 2);
  }
  RequestGuard guard;
  EXPECT_EQ(guard.Feed("GET / HTTP/1.1\r\nHost: x\r\n"), Verdict::kMore);
  EXPECT_EQ(guard.Feed("\r\n"), Verdict::kPass);
  EXPECT_EQ(guard.Feed(std::string(RequestGuard::kMaxHead + 1, 'a')), Verdict::kReject);
  EXPECT_EQ(guard.status(), 431);
  EXPECT_EQ(guard.Feed("GET / HTTP/1.1\r\nHost: x\r\n\r\n"), Verdict::kReject);  // stays
}

TEST(WebPolicy, OriginsAndAllowedSites) {
  struct Case {
    const char* text;
    const char* normal;
  };
  const Case cases[] = {
      {"http://Example.COM", "http://example.com"},
      {"https://a.pl:443", "https://a.pl"},
      {"http://a.pl:80/", "http://a.pl"},
      {"http://a.pl:8080", "http://a.pl:8080"},
      {"http://127.0.0.1:08080", "http://127.0.0.1:8080"},
      {"http://[::1]:81", "http://[::1]:81"},
      {"http://a.pl/path", ""},
      {"ftp://a.pl", ""},
      {"null", ""},
      {"http://u@a.pl", ""},
      {"http://a.pl:99999", ""},
      {"http://", ""},
      {"http://a.pl:", ""},
      {"http://a.pl?x", ""},
      {"http://::1", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(NormalizeOrigin(c.text), c.normal) << c.text;

  const auto sites =
      ParseAllowedSites("  http://a.pl https://B.pl/ zle http://a.pl\thttp://c.pl:81 ");
  EXPECT_EQ(sites, (std::vector<std::string>{"http://a.pl", "https://b.pl", "http://c.pl:81"}));
  EXPECT_TRUE(OriginAllowed("http://127.0.0.1:8080", "127.0.0.1:8080", {}));
  EXPECT_TRUE(OriginAllowed("https://plotrak.pl", "plotrak.pl", {}));  // behind a TLS proxy
  EXPECT_FALSE(OriginAllowed("http://127.0.0.1:8081", "127.0.0.1:8080", {}));
  EXPECT_TRUE(OriginAllowed("http://c.pl:81", "127.0.0.1:8080", sites));
  EXPECT_FALSE(OriginAllowed("http://c.pl", "127.0.0.1:8080", sites));
  EXPECT_FALSE(OriginAllowed("", "127.0.0.1:8080", sites));
  EXPECT_FALSE(OriginAllowed("http://127.0.0.1:8080", "", {}));
}

TEST(WebPolicy, IdentifiersQueriesAndFrames) {
  EXPECT_TRUE(ValidConversationId("abcdEFGH-_09"));
  EXPECT_FALSE(ValidConversationId("short"));
  EXPECT_FALSE(ValidConversationId(std::string(65, 'a')));
  EXPECT_FALSE(ValidConversationId("abcdefgh/.."));
  EXPECT_EQ(QueryValue("x=1&id=abc&id=def", "id"), "abc");
  EXPECT_EQ(QueryValue("xid=1", "id"), "");
  EXPECT_EQ(CountCodePoints("zażółć"), 6u);
  EXPECT_EQ(AnswerFrame("<b>\"a\\\n</b> ż", 180),
            "{\"type\":\"answer\",\"text\":\"\\u003cb\\u003e\\\"a\\\\\\u000a\\u003c/b\\u003e ż\","
            "\"letterMs\":180}");
  // Broken UTF-8 (a lone continuation, a cut sequence, an encoded surrogate) never passes.
  EXPECT_EQ(JsonString("a\x80z\xC5"), "\"a\\ufffdz\\ufffd\"");
  EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"\\ufffd\\ufffd\\ufffd\"");
  EXPECT_EQ(NoticeFrame("rate"), "{\"type\":\"notice\",\"code\":\"rate\"}");
}

TEST(RateLimiter, BurstThenRateAndBoundedTable) {
  RateLimiter limiter(5, 5, 3);
  int allowed = 0;
  for (int i = 0; i < 10; ++i) allowed += limiter.Allow("a", 1000);
  EXPECT_EQ(allowed, 5);
  EXPECT_FALSE(limiter.Allow("a", 1100));
  EXPECT_TRUE(limiter.Allow("a", 1200));  // one token per 200 ms
  EXPECT_TRUE(limiter.Allow("b", 1250));  // others are not affected
  limiter.Allow("c", 1300);
  limiter.Allow("d", 1400);
  EXPECT_EQ(limiter.size(), 3u);
  EXPECT_TRUE(
      limiter.Allow("a", 500));  // forgotten as the longest idle; a clock going back is harmless
}

}  // namespace
}  // namespace plotrak
