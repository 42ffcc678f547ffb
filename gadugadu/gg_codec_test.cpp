#include <gtest/gtest.h>

#include <cstdio>

#include "engine/cp1250.h"
#include "gadugadu/gg_decoder.h"
#include "gadugadu/gg_packets.h"
#include "gadugadu/gg_server_address.h"
#include "gadugadu/gg_test_support.h"

namespace plotrak::gg {
namespace {

using testing::B;
using testing::Block;
using testing::ContactRecord;
using testing::ImagePiece;
using testing::MessageFrom;
using testing::Raw;
using testing::RichText;
using testing::U32;

std::string Hex(std::string_view bytes) {
  std::string out;
  char two[3];
  for (unsigned char c : bytes) {
    std::snprintf(two, sizeof two, "%02x", c);
    out += two;
  }
  return out;
}

// Worked by hand from the definition, step by step (x, y after each operation).
TEST(GgLoginHashTest, MatchesHandWorkedVectors) {
  struct Case {
    std::string password;
    uint32_t seed, hash;
  } cases[] = {
      {"", 0xDEADBEEF, 0xDEADBEEF},  // no byte: the seed itself
      // y=1^0x61=0x60, +0x61=0xC1, ^0x6100=0x61C1, -0x610000=0xFF9F61C1,
      // ^0x61000000=0x9E9F61C1, rotated by 1
      {"a", 1, 0x3D3EC383},
      // the first byte leaves y=0x979868E0: a rotation by 0
      {"haslo", 16, 0xA29A3283},
      // Windows-1250 letters are bytes above 0x7F: no sign extension into x
      {FromUtf8("zażółć"), 0x3A5C7E91, 0x7237AFC8},
  };
  for (const Case& c : cases) EXPECT_EQ(LoginHash(c.password, c.seed), c.hash) << Hex(c.password);
}

TEST(GgPacketsTest, OutgoingPacketsHaveTheirBytes) {
  const std::string seventyOne(71, 'x');
  struct Case {
    std::string packet, hex;
  } cases[] = {
      {LoginPacket(1234567, 0x3D3EC383, 20),
       "15000000"
       "1f000000"
       "87d61200"
       "83c33e3d"
       "14000000"
       "21000000" +
           std::string(26, '0') +
           "14"
           "be"},
      {EmptyListPacket(), "1200000000000000"},
      {PingPacket(), "0800000000000000"},
      // description statuses and friends-only: 0x16 + 0x8000
      {StatusPacket(UserStatus::kInvisibleDesc, true, "ab", 0),
       "02000000"
       "07000000"
       "16800000"
       "616200"},
      {StatusPacket(UserStatus::kAvailable, false, "", 0x01020304),
       "02000000"
       "09000000"
       "02000000"
       "00"
       "04030201"},
      // cut to 70 characters: length 70 + 5
      {StatusPacket(UserStatus::kBusyDesc, false, seventyOne, 0),
       "02000000"
       "4b000000"
       "05000000" +
           Hex(std::string(70, 'x')) + "00"},
      {ContactsRequestPacket(2),
       "16000000"
       "01000000"
       "02"},
      {ContactsRequestPacket(0, "a;b"),
       "16000000"
       "04000000"
       "00"
       "613b62"},
      // one pair "<n>": block (0, 0), rich-text length 3, header length text + 19
      {MessagePacket(true, 42, {{0, "<n>"}}, "hej"),
       "0b000000"
       "16000000"
       "2a000000"
       "00000000"
       "04000000"
       "68656a00"
       "02"
       "0300"
       "000000"},
      // the colour only in the first pair; the last colour name present wins
      {MessagePacket(false, 7, {{0, "<c><blue><red>"}, {5, "<c><red><b>"}}, "x"),
       "0b000000"
       "1a000000"
       "07000000"
       "00000000"
       "08000000"
       "7800"
       "02"
       "0900"
       "000008"
       "ee1a1a"
       "050001"},
      // "<n>" clears bold, italic and underline
      {MessagePacket(false, 7, {{3, "<b><i><u>"}, {4, "<b><n>"}}, "x"),
       "0b000000"
       "17000000"
       "07000000"
       "00000000"
       "08000000"
       "7800"
       "02"
       "0600"
       "030007"
       "040000"},
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(c.packet), c.hex);

  const std::string cut = MessagePacket(true, 1, {}, std::string(2000, 'y'));
  EXPECT_EQ(cut.size(), 8 + 12 + 1988 + 1 + 3u);
  EXPECT_TRUE(IsVersionProbe("#KERNEL V"));
  EXPECT_FALSE(IsVersionProbe("which_version "));
}

// A readable summary of an event, to compare in tables.
std::string Describe(const Event& event) {
  struct V {
    std::string operator()(std::monostate) { return "-"; }
    std::string operator()(const UserNotify& n) {
      char text[200];
      std::snprintf(text, sizeof text, "notify %u s%d '%s' %.5f img%u ip%08x", n.userId,
                    static_cast<int>(n.status), n.description.c_str(), n.returnTime, n.maxImageSize,
                    n.ip);
      return text;
    }
    std::string operator()(const MessageAck& a) { return "ack " + std::to_string(a.status); }
    std::string operator()(const Message& m) {
      std::string text = "msg " + std::to_string(m.from) + " '" + m.body + "'";
      for (const FormatPair& p : m.format) text += " " + std::to_string(p.position) + p.format;
      return text;
    }
    std::string operator()(const ImageRequest& r) {
      return "imgreq " + std::to_string(r.size) + " " + std::to_string(r.crc32);
    }
    std::string operator()(const Image& i) {
      return "img " + std::to_string(i.size) + " from " + std::to_string(i.from) + " '" + i.body +
             "'";
    }
    std::string operator()(const Disconnecting&) { return "disconnecting"; }
    std::string operator()(const SearchReply& r) { return "search '" + r.text + "'"; }
    std::string operator()(const ContactsReply& r) { return "contacts '" + r.piece + "'"; }
  };
  return std::visit(V{}, event);
}

// Decodes one stream of packets, one event each; each packet is consumed whole.
std::vector<std::string> DecodeAll(const std::string& stream, ImageList& images) {
  MemorySource source(stream);
  std::vector<std::string> events;
  uint8_t raw[kHeaderSize];
  while (source.Read(raw, kHeaderSize) == kHeaderSize)
    events.push_back(Describe(ProcessPacket(DecodeHeader(raw), source, images)));
  return events;
}

TEST(GgProcessPacketTest, DecodesEveryPacketTypeAndConsumesItWhole) {
  const std::string desc = std::string("opis") + '\0';
  struct Case {
    std::string packet, event;
  } cases[] = {
      {Raw(kStatus, U32(777) + U32(2)), "notify 777 s1 '' 0.00000 img0 ip00000000"},
      // description and return time only for description statuses
      {Raw(kStatus, U32(777) + U32(4) + desc + U32(86400)),
       "notify 777 s3 'opis' 25570.04167 img0 ip00000000"},
      {Raw(kStatus, U32(777) + U32(2) + desc + U32(86400)),
       "notify 777 s1 '' 0.00000 img0 ip00000000"},
      {Raw(kStatus, U32(777) + U32(6)), "notify 777 s8 '' 0.00000 img0 ip00000000"},
      {Raw(kStatus, U32(777) + U32(7)), "-"},
      // the top byte of the number is not part of it
      {ContactRecord(kStatusChange, 0x40001234, 21, 0x0100007F, 9, desc),
       "notify 4660 s6 'opis' 0.00000 img9 ip0100007f"},
      {ContactRecord(kNotifyReply, 55, 22, 1, 2, "\x05" + desc + U32(3600)),
       "notify 55 s7 'opis' 25569.08334 img2 ip00000001"},
      {Raw(kSendMsgAck, U32(3) + U32(9) + U32(9)), "ack 3"},
      {MessageFrom(99, "hej"), "msg 99 'hej'"},
      {MessageFrom(99, "hej", RichText({{0, 0}, {2, 0x0B, 255, 0, 0}})),
       "msg 99 'hej' 0<n> 2<b><i><c><FF0000>"},
      {MessageFrom(99, "x",
                   B("\x02\x0d\x00\x01\x00\x80") + std::string(2, '\0') + U32(300) + U32(0xABCDEF)),
       "msg 99 'x' 1<img>0000012C=00ABCDEF"},
      {MessageFrom(5, "", "\x04" + U32(300) + U32(77)), "imgreq 300 77"},
      {MessageFrom(5, "", "\x09"), "-"},
      {Raw(kDisconnecting, ""), "disconnecting"},
      {Raw(kSearchReply, std::string(5, '\0') + "a" + '\0' + "b"), "search 'a%b'"},
      {Raw(kSearchReply, std::string(5, '\0')), "-"},
      {Raw(kContactsReply, "\x06;;Ala;"), "contacts ';;Ala;'"},
      {Raw(kContactsReply, "\x06"), "-"},
      {Raw(0x7777, std::string(10000, 'z')), "-"},
  };
  std::string stream;
  std::vector<std::string> expected;
  for (const Case& c : cases) {
    stream += c.packet;
    expected.push_back(c.event);
  }
  // a ping reply after all of them proves every body was consumed exactly
  stream += Raw(7, "");
  expected.push_back("-");
  ImageList images;
  EXPECT_EQ(DecodeAll(stream, images), expected);
}

TEST(GgProcessPacketTest, ImagePiecesAreAssembledOnceAndBounded) {
  ImageList images;
  const std::string three = MessageFrom(8, "", ImagePiece(true, 6, 1, "ab")) +
                            MessageFrom(8, "", ImagePiece(false, 6, 1, "cd")) +
                            MessageFrom(8, "", ImagePiece(false, 6, 1, "ef")) +
                            // the same image again: its pair is known, nothing is raised
                            MessageFrom(8, "", ImagePiece(true, 6, 1, "abcdef")) +
                            // a piece running past its size spoils that image only
                            MessageFrom(8, "", ImagePiece(true, 2, 2, "abc")) +
                            MessageFrom(8, "", ImagePiece(true, 1, 3, "z"));
  EXPECT_EQ(DecodeAll(three, images), (std::vector<std::string>{"-", "-", "img 6 from 8 'abcdef'",
                                                                "-", "-", "img 1 from 8 'z'"}));
  // endless new pairs of huge announced size cost a fixed amount of memory
  for (uint32_t crc = 0; crc < 5000; ++crc)
    DecodeAll(MessageFrom(8, "", ImagePiece(true, 0xFFFFFFF0, crc, std::string(100, 'q'))), images);
  for (uint32_t crc = 0; crc < 5000; ++crc)
    DecodeAll(MessageFrom(8, "", ImagePiece(true, kMaxImageBytes, crc, std::string(1000, 'q'))),
              images);
  EXPECT_LE(images.size(), kMaxImages);
  EXPECT_LE(images.bytesHeld(), kMaxImages * 4096);
}

TEST(GgProcessPacketTest, MalformedBodiesNeverReadPastThemselves) {
  struct Case {
    std::string bytes, event;
  } cases[] = {
      // rich-text length odd, negative, or past the body
      {MessageFrom(1, "a", B("\x02\x04\x00\x00\x00\x01")), "msg 1 'a' 0<b>"},
      {MessageFrom(1, "a", B("\x02\xff\xff\x00\x00\x01")), "msg 1 'a'"},
      {MessageFrom(1, "a", B("\x02\x40\x00\x00\x00\x08\x01")), "msg 1 'a' 0<c><010000>"},
      // a text without its 0 byte ends with the body
      {Raw(kRecvMsg, U32(1) + std::string(12, '\0') + "abc"), "msg 1 'abc'"},
      // fixed fields cut short
      {Raw(kStatusChange, "\x01\x02"), "-"},
      {Raw(kSendMsgAck, "\x01"), "ack 1"},
      {MessageFrom(1, "", "\x05\x01"), "-"},
  };
  for (const Case& c : cases) {
    ImageList images;
    MemorySource source(c.bytes);
    uint8_t raw[kHeaderSize];
    ASSERT_EQ(source.Read(raw, kHeaderSize), kHeaderSize);
    EXPECT_EQ(Describe(ProcessPacket(DecodeHeader(raw), source, images)), c.event);
    EXPECT_EQ(source.left(), 0u);
  }
  // a header that promises gigabytes the source does not have: nothing is allocated, the
  // read ends where the bytes end
  const std::string lie = B("\x0a\x00\x00\x00\xff\xff\xff\xff") + U32(3) + std::string(100, 'm');
  MemorySource source(lie);
  uint8_t raw[kHeaderSize];
  source.Read(raw, kHeaderSize);
  ImageList images;
  EXPECT_EQ(Describe(ProcessPacket(DecodeHeader(raw), source, images)),
            "msg 3 '" + std::string(88, 'm') + "'");
}

TEST(GgServerAddressTest, HostAndOptionalPort) {
  struct Case {
    const char* text;
    const char* host;  // nullptr: refused
    int port;
  } cases[] = {
      {"gadu-gadu.pl", "gadu-gadu.pl", 8074},
      {" 127.0.0.1:8075 ", "127.0.0.1", 8075},
      {"[::1]:9000", "::1", 9000},
      {"::1", "::1", 8074},
      {"host:", nullptr, 0},
      {"host:0", nullptr, 0},
      {"host:65536", nullptr, 0},
      {"host:80a", nullptr, 0},
      {"", nullptr, 0},
      {":8074", nullptr, 0},
  };
  for (const Case& c : cases) {
    const auto address = ParseServerAddress(c.text);
    if (!c.host) {
      EXPECT_FALSE(address) << c.text;
      continue;
    }
    ASSERT_TRUE(address) << c.text;
    EXPECT_EQ(address->host, c.host);
    EXPECT_EQ(address->port, c.port);
  }
}

}  // namespace
}  // namespace plotrak::gg
