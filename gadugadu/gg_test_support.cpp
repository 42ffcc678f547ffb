#include "gadugadu/gg_test_support.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "gadugadu/gg_wire.h"

namespace plotrak::gg::testing {

bool PumpUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return true;
}

void Pump(int ms) {
  PumpUntil([] { return false; }, ms);
}

std::string U32(uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
  return bytes;
}

std::string Raw(uint32_t type, const std::string& body) {
  PacketWriter p(type);
  p.Bytes(body);
  return p.Finish();
}

std::string MessageFrom(uint32_t from, const std::string& text, const std::string& attributes) {
  return Raw(kRecvMsg,
             U32(from) + std::string(12, '\x01') + text + std::string(1, '\0') + attributes);
}

std::string RichText(const std::vector<Block>& blocks) {
  std::string body;
  for (const Block& b : blocks) {
    body += static_cast<char>(b.position & 0xFF);
    body += static_cast<char>(b.position >> 8);
    body += static_cast<char>(b.flags);
    if (b.flags & 8) body += std::string{char(b.red), char(b.green), char(b.blue)};
  }
  return std::string{'\x02', char(body.size() & 0xFF), char(body.size() >> 8)} + body;
}

std::string ImagePiece(bool first, uint32_t size, uint32_t crc32, const std::string& data) {
  return std::string(1, first ? '\x05' : '\x06') + U32(size) + U32(crc32) +
         (first ? std::string("obraz.jpg") + '\0' : std::string()) + data;
}

std::string ContactRecord(uint32_t type, uint32_t number, uint8_t status, uint32_t ip,
                          uint8_t maxImage, const std::string& tail) {
  const std::string record =
      U32(number) + char(status) + U32(ip) + std::string(3, '\x07') + char(maxImage) + '\x07';
  return Raw(type, record + tail);
}

}  // namespace plotrak::gg::testing
