#include "applet/test_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

namespace plotrak::testing {
namespace {

int Connect(uint16_t port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

bool SendAll(int fd, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

ClientResult RunClient(uint16_t port, const ClientScript& script) {
  ClientResult result;
  const int fd = Connect(port);
  if (fd < 0) return result;
  result.connected = true;
  for (size_t i = 0; i < script.pieces.size(); ++i) {
    if (i > 0 && script.pause.count() > 0) std::this_thread::sleep_for(script.pause);
    if (!SendAll(fd, script.pieces[i])) break;
  }
  if (script.reset) {
    linger hard{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    close(fd);
    return result;
  }
  if (script.endOwnSide) shutdown(fd, SHUT_WR);
  const auto until = std::chrono::steady_clock::now() + script.readLimit;
  char buffer[4096];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) {
      result.closedByServer = true;
      break;
    }
    result.received.append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  return result;
}

int OpenIdleConnection(uint16_t port) {
  return Connect(port);
}

bool ServerClosed(int fd, std::chrono::milliseconds wait) {
  pollfd p{fd, POLLIN, 0};
  if (poll(&p, 1, static_cast<int>(wait.count())) <= 0) return false;
  char byte;
  return recv(fd, &byte, 1, MSG_DONTWAIT) <= 0;
}

void CloseConnection(int fd) {
  close(fd);
}

}  // namespace plotrak::testing
