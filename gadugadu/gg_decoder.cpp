#include "gadugadu/gg_decoder.h"

#include <cstdio>

namespace plotrak::gg {
namespace {

// Status (2), status change (15) and notify reply (17): the part after the fixed fields.
Event Notify(BodyReader& body, uint32_t length, uint32_t fixed, UserNotify notify, uint32_t code,
             bool lengthByte) {
  std::string description;
  uint32_t returnTime = 0;
  if (length > fixed) {
    if (lengthByte) body.U8();
    body.CString(description, kMaxKeptText);
    if (body.remaining() >= 4) returnTime = body.U32();
  }
  body.Drain();
  if (!StatusFromCode(code, notify.status)) return {};
  if (HasDescription(notify.status)) {
    notify.description = std::move(description);
    notify.returnTime = returnTime ? ReturnTimeToDays(returnTime) : 0;
  }
  return notify;
}

// A record of 14 bytes: number (low 24 bits), status, IP, maximum image size.
Event ContactRecord(BodyReader& body, uint32_t length, bool lengthByte) {
  UserNotify notify;
  notify.userId = body.U32() & 0x00FFFFFFu;
  const uint32_t code = body.U8();
  notify.ip = body.U32();
  body.Skip(3);
  notify.maxImageSize = body.U8();
  body.Skip(1);
  return Notify(body, length, 14, std::move(notify), code, lengthByte);
}

std::string Hex(uint32_t value, int digits) {
  char text[9];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

std::vector<FormatPair> RichText(BodyReader& body) {
  std::vector<FormatPair> pairs;
  int32_t left = static_cast<int16_t>(body.U16());
  while (left > 0 && !body.failed() && body.remaining() >= 3) {
    FormatPair pair;
    pair.position = static_cast<int16_t>(body.U16());
    const uint8_t flags = body.U8();
    left -= 3;
    if (flags == 0) pair.format = "<n>";
    if (flags & 1) pair.format += "<b>";
    if (flags & 2) pair.format += "<i>";
    if (flags & 4) pair.format += "<u>";
    if (flags & 8) {
      const uint8_t red = body.U8(), green = body.U8(), blue = body.U8();
      left -= 3;
      pair.format += "<c><" + Hex(red, 2) + Hex(green, 2) + Hex(blue, 2) + ">";
    }
    if (flags & 0x80) {
      body.Skip(2);
      const uint32_t size = body.U32(), crc = body.U32();
      left -= 10;
      pair.format += "<img>" + Hex(size, 8) + "=" + Hex(crc, 8);
    }
    pairs.push_back(std::move(pair));
  }
  return pairs;
}

// The data of an image piece is the rest of the body.
Event ImagePiece(BodyReader& body, ImageList& images, bool first, uint32_t size, uint32_t crc,
                 uint32_t from) {
  std::string data;
  body.Bytes(data, body.remaining(), kMaxImageBytes + 1);
  if (body.failed()) return {};
  auto whole = first ? images.FirstPiece(size, crc, data) : images.FurtherPiece(size, crc, data);
  if (!whole) return {};
  return Image{size, crc, from, std::move(*whole)};
}

Event ReceivedMessage(BodyReader& body, ImageList& images) {
  Message message;
  message.from = body.U32();
  body.Skip(12);
  body.CString(message.body, kMaxKeptText);
  if (body.remaining() < 1 || body.failed()) return message;
  switch (body.U8()) {
    case 2:
      message.format = RichText(body);
      return message;
    case 4: {
      ImageRequest request;
      request.size = body.U32();
      request.crc32 = body.U32();
      request.from = message.from;
      return request;
    }
    case 5: {
      const uint32_t size = body.U32(), crc = body.U32();
      std::string name;
      body.CString(name, 0);
      return ImagePiece(body, images, true, size, crc, message.from);
    }
    case 6: {
      const uint32_t size = body.U32(), crc = body.U32();
      return ImagePiece(body, images, false, size, crc, message.from);
    }
    default:
      return {};
  }
}

}  // namespace

double ReturnTimeToDays(uint32_t seconds) {
  return seconds / 60.0 / 60.0 / 24.0 + 25569.04167;
}

Event ProcessPacket(const Header& header, ByteSource& source, ImageList& images) {
  BodyReader body(source, header.length);
  Event event;
  switch (header.type) {
    case kStatus: {
      UserNotify notify;
      notify.userId = body.U32();
      const uint32_t code = body.U32();
      event = Notify(body, header.length, 8, std::move(notify), code, false);
      break;
    }
    case kStatusChange:
      event = ContactRecord(body, header.length, false);
      break;
    case kNotifyReply:
      event = ContactRecord(body, header.length, true);
      break;
    case kSendMsgAck: {
      MessageAck ack{body.U32()};
      body.Skip(8);
      event = ack;
      break;
    }
    case kRecvMsg:
      event = ReceivedMessage(body, images);
      break;
    case kDisconnecting:
      event = Disconnecting{};
      break;
    case kSearchReply:
      body.Skip(5);
      if (header.length > 5) {
        SearchReply reply;
        body.Bytes(reply.text, body.remaining(), kMaxKeptText);
        for (char& c : reply.text)
          if (c == '\0') c = '%';
        event = std::move(reply);
      }
      break;
    case kContactsReply:
      body.U8();
      if (header.length > 1) {
        ContactsReply reply;
        body.Bytes(reply.piece, body.remaining(), kMaxContactsPiece);
        if (body.failed() || reply.piece.size() == kMaxContactsPiece) break;
        event = std::move(reply);
      }
      break;
    default:
      break;
  }
  body.Drain();
  return event;
}

}  // namespace plotrak::gg
