#include "gadugadu/gg_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "gadugadu/gg_packets.h"
#include "gadugadu/gg_wire.h"

namespace plotrak::gg::testing {

TestServer::TestServer(ServerConfig config) : config_(std::move(config)) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listenFd_, 4) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("test server cannot listen");
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Run(); });
  writer_ = std::thread([this] { Write(); });
}

TestServer::~TestServer() {
  stop_ = true;
  DropClient();
  outboxReady_.notify_all();
  thread_.join();
  writer_.join();
  ::close(listenFd_);
}

int TestServer::logins() const {
  std::lock_guard guard(lock_);
  return logins_;
}
int TestServer::accepted() const {
  std::lock_guard guard(lock_);
  return accepted_;
}
uint32_t TestServer::lastHash() const {
  std::lock_guard guard(lock_);
  return lastHash_;
}
std::string TestServer::lastLogin() const {
  std::lock_guard guard(lock_);
  return lastLogin_;
}
std::vector<Packet> TestServer::Received() const {
  std::lock_guard guard(lock_);
  return received_;
}
size_t TestServer::Count(uint32_t type) const {
  std::lock_guard guard(lock_);
  size_t n = 0;
  for (const Packet& p : received_) n += p.type == type;
  return n;
}
bool TestServer::clientConnected() const {
  std::lock_guard guard(lock_);
  return clientFd_ >= 0;
}

bool TestServer::Send(const std::string& bytes) {
  std::lock_guard guard(lock_);
  if (clientFd_ < 0) return false;
  outbox_.push_back(bytes);
  outboxReady_.notify_all();
  return true;
}

void TestServer::Write() {
  for (;;) {
    std::unique_lock guard(lock_);
    outboxReady_.wait(guard, [this] { return stop_ || !outbox_.empty(); });
    if (stop_) return;
    const std::string bytes = std::move(outbox_.front());
    outbox_.pop_front();
    std::lock_guard write(writing_);
    const int fd = clientFd_;
    guard.unlock();
    size_t done = 0;
    while (fd >= 0 && done < bytes.size()) {
      const ssize_t r = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
      if (r <= 0) break;
      done += static_cast<size_t>(r);
    }
  }
}

// Server-thread writes during the handshake, before any queued bytes exist.
void TestServer::SendNow(int fd, const std::string& bytes) {
  std::lock_guard write(writing_);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t r = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (r <= 0) return;
    done += static_cast<size_t>(r);
  }
}

void TestServer::DropClient() {
  std::lock_guard guard(lock_);
  if (clientFd_ >= 0) ::shutdown(clientFd_, SHUT_RDWR);
}

bool TestServer::ReadExact(int fd, void* out, size_t n) {
  auto* p = static_cast<char*>(out);
  while (n > 0) {
    pollfd pfd{fd, POLLIN, 0};
    const int ready = ::poll(&pfd, 1, 50);
    if (stop_) return false;
    if (ready <= 0) continue;
    const ssize_t r = ::recv(fd, p, n, 0);
    if (r <= 0) return false;
    p += r;
    n -= static_cast<size_t>(r);
  }
  return true;
}

void TestServer::Run() {
  while (!stop_) {
    pollfd pfd{listenFd_, POLLIN, 0};
    if (::poll(&pfd, 1, 50) <= 0) continue;
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    {
      std::lock_guard guard(lock_);
      clientFd_ = fd;
    }
    Serve(fd);
    {
      std::lock_guard guard(lock_);
      clientFd_ = -1;
      outbox_.clear();
      ::shutdown(fd, SHUT_RDWR);  // ends a write under way
    }
    std::lock_guard write(writing_);
    ::close(fd);
  }
}

bool TestServer::SocksHandshake(int fd) {
  uint8_t greeting[3];
  if (!ReadExact(fd, greeting, 3) || greeting[0] != 5) return false;
  SendNow(fd, std::string("\x05\x00", 2));
  uint8_t request[5];
  if (!ReadExact(fd, request, 5) || request[1] != 1 || request[3] != 3) return false;
  std::string host(request[4], '\0');
  uint8_t port[2];
  if (!ReadExact(fd, host.data(), host.size()) || !ReadExact(fd, port, 2)) return false;
  const bool ok = host == config_.socksHost && (port[0] << 8 | port[1]) == port_;
  SendNow(fd, std::string(ok ? "\x05\x00\x00\x01" : "\x05\x05\x00\x01", 4) + std::string(6, '\0'));
  return ok;
}

void TestServer::Serve(int fd) {
  using W = ServerConfig::Welcome;
  if (config_.socks5 && !SocksHandshake(fd)) return;
  if (config_.welcome == W::kCloseInstead) return;
  if (config_.welcome == W::kSilent) {
    uint8_t none;
    ReadExact(fd, &none, 1);  // until the client gives up
    return;
  }
  PacketWriter welcome(config_.welcome == W::kWrongType ? kLoginOk : kWelcome);
  welcome.U32(config_.seed);
  SendNow(fd, welcome.Finish());
  if (config_.welcome == W::kCloseAfter) return;

  uint8_t raw[kHeaderSize];
  if (!ReadExact(fd, raw, sizeof raw)) return;
  Header header = DecodeHeader(raw);
  if (header.length > 1024) return;
  std::string login(header.length, '\0');
  if (!ReadExact(fd, login.data(), login.size())) return;
  bool ok = false;
  {
    std::lock_guard guard(lock_);
    ++logins_;
    lastLogin_ = login;
    if (header.type == kLogin && login.size() == 31) {
      const auto* bytes = reinterpret_cast<const uint8_t*>(login.data());
      lastHash_ = LoadU32(bytes + 4);
      ok = LoadU32(bytes) == config_.number &&
           lastHash_ == LoginHash(config_.password, config_.seed);
      accepted_ += ok;
    }
  }
  SendNow(fd, PacketWriter(ok ? kLoginOk : kLoginFailed).Finish());
  if (!ok || config_.closeAfterLoginOk) return;

  while (!stop_) {
    if (!ReadExact(fd, raw, sizeof raw)) return;
    header = DecodeHeader(raw);
    if (header.length > (1u << 24)) return;
    Packet packet{header.type, std::string(header.length, '\0')};
    if (!ReadExact(fd, packet.body.data(), packet.body.size())) return;
    const bool notAvailable =
        packet.type == kNewStatus && packet.body.size() >= 4 &&
        (LoadU32(reinterpret_cast<const uint8_t*>(packet.body.data())) & 0xFF) == 1;
    {
      std::lock_guard guard(lock_);
      received_.push_back(std::move(packet));
    }
    if (notAvailable && config_.closeOnNotAvailable) return;
  }
}

}  // namespace plotrak::gg::testing
