#include "gadugadu/gg_socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>

namespace plotrak::gg {
namespace {

using Clock = std::chrono::steady_clock;

// Long waits are cut into slices so that an abort flag is seen soon.
constexpr int kSliceMs = 100;

int MsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

// Non-blocking connect to one address with a deadline; the descriptor or -1.
int ConnectOne(const addrinfo* ai, int timeoutMs, std::string& error) {
  const int fd =
      ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
  if (fd < 0) {
    error = std::strerror(errno);
    return -1;
  }
  if (::connect(fd, ai->ai_addr, ai->ai_addrlen) == 0) return fd;
  if (errno == EINPROGRESS) {
    pollfd p{fd, POLLOUT, 0};
    int r;
    do r = ::poll(&p, 1, timeoutMs);
    while (r < 0 && errno == EINTR);
    if (r == 0) {
      error = "connection timed out";
    } else {
      int so = 0;
      socklen_t len = sizeof so;
      if (r > 0 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &so, &len) == 0 && so == 0) return fd;
      error = std::strerror(r > 0 ? so : errno);
    }
  } else {
    error = std::strerror(errno);
  }
  ::close(fd);
  return -1;
}

int ConnectTcp(const std::string& host, int port, int timeoutMs, std::string& error,
               bool& hostNotFound) {
  if (port <= 0 || port > 65535) {
    error = "bad port " + std::to_string(port);
    return -1;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  const int rc = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list);
  if (rc != 0) {
    error = "cannot find host " + host + ": " + ::gai_strerror(rc);
    hostNotFound = true;
    return -1;
  }
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  int fd = -1;
  std::string why = "no address";
  for (const addrinfo* ai = list; ai && fd < 0; ai = ai->ai_next)
    fd = ConnectOne(ai, MsLeft(deadline), why);
  ::freeaddrinfo(list);
  if (fd < 0) error = "cannot connect to " + host + ":" + std::to_string(port) + ": " + why;
  return fd;
}

SSL_CTX* TlsContext(const std::string& caFile) {
  SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
  if (!ctx) return nullptr;
  SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION);
  SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
  SSL_CTX_set_default_verify_paths(ctx);
  if (!caFile.empty()) SSL_CTX_load_verify_locations(ctx, caFile.c_str(), nullptr);
  SSL_CTX_set_mode(ctx, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  return ctx;
}

std::string TlsErrorText() {
  const unsigned long e = ERR_get_error();
  ERR_clear_error();
  if (!e) return "TLS failure";
  char text[256];
  ERR_error_string_n(e, text, sizeof text);
  return text;
}

// The SOCKS5 exchange over the raw descriptor.
class FdSocksIo : public Socks5Io {
 public:
  FdSocksIo(Socket& socket, int timeoutMs) : socket_(socket), timeoutMs_(timeoutMs) {}
  bool Send(std::string_view bytes) override { return socket_.WriteAll(bytes, timeoutMs_); }
  bool Recv(uint8_t* out, size_t n) override { return socket_.ReadExact(out, n, timeoutMs_); }

 private:
  Socket& socket_;
  int timeoutMs_;
};

}  // namespace

bool Socks5Connect(Socks5Io& io, const std::string& host, int port, std::string& error) {
  if (host.empty() || host.size() > 255) {
    error = "SOCKS5: host name too long";
    return false;
  }
  uint8_t reply[4];
  if (!io.Send(std::string("\x05\x01\x00", 3)) || !io.Recv(reply, 2)) {
    error = "SOCKS5: proxy closed the connection";
    return false;
  }
  if (reply[0] != 5 || reply[1] != 0) {
    error = "SOCKS5: proxy wants an authentication we do not offer";
    return false;
  }
  std::string request("\x05\x01\x00\x03", 4);
  request += static_cast<char>(host.size());
  request += host;
  request += static_cast<char>(port >> 8);
  request += static_cast<char>(port & 0xFF);
  if (!io.Send(request) || !io.Recv(reply, 4)) {
    error = "SOCKS5: proxy closed the connection";
    return false;
  }
  if (reply[0] != 5 || reply[1] != 0) {
    error = "SOCKS5: proxy refused the connection (code " + std::to_string(reply[1]) + ")";
    return false;
  }
  // the bound address: its length depends on its type
  size_t skip = 0;
  uint8_t length = 0;
  switch (reply[3]) {
    case 1:
      skip = 4;
      break;
    case 4:
      skip = 16;
      break;
    case 3:
      if (!io.Recv(&length, 1)) break;
      skip = length;
      break;
    default:
      error = "SOCKS5: unknown address type in the reply";
      return false;
  }
  uint8_t rest[258];
  if (!io.Recv(rest, skip + 2)) {
    error = "SOCKS5: proxy closed the connection";
    return false;
  }
  return true;
}

Socket::~Socket() {
  Close();
}

Socket::OpenResult Socket::Open(const std::string& host, int port, const SocketOptions& options,
                                std::string& error) {
  Close();
  bool hostNotFound = false;
  const int fd = options.proxy ? ConnectTcp(options.proxyHost, options.proxyPort, options.timeoutMs,
                                            error, hostNotFound)
                               : ConnectTcp(host, port, options.timeoutMs, error, hostNotFound);
  if (fd < 0) return hostNotFound ? OpenResult::kHostNotFound : OpenResult::kFailed;
  const int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  fd_ = fd;
  if (options.proxy) {
    FdSocksIo io(*this, options.timeoutMs);
    if (!Socks5Connect(io, host, port, error)) {
      Close();
      return OpenResult::kFailed;
    }
  }
  if (options.tls && !StartTls(host, options, error)) {
    Close();
    return OpenResult::kFailed;
  }
  return OpenResult::kOk;
}

bool Socket::StartTls(const std::string& host, const SocketOptions& options, std::string& error) {
  // a peer that goes away during a TLS write must not kill the program
  std::signal(SIGPIPE, SIG_IGN);
  SSL_CTX* ctx = TlsContext(options.caFile);
  if (!ctx) {
    error = TlsErrorText();
    return false;
  }
  SSL* ssl = SSL_new(ctx);
  SSL_CTX_free(ctx);  // the connection holds its own reference
  if (!ssl) {
    error = TlsErrorText();
    return false;
  }
  SSL_set_fd(ssl, fd_);
  SSL_set_tlsext_host_name(ssl, host.c_str());
  SSL_set1_host(ssl, host.c_str());
  {
    std::lock_guard lock(tlsLock_);
    ssl_ = ssl;
  }
  const auto deadline = Clock::now() + std::chrono::milliseconds(options.timeoutMs);
  for (;;) {
    int r, e;
    {
      std::lock_guard lock(tlsLock_);
      r = SSL_connect(ssl_);
      e = SSL_get_error(ssl_, r);
    }
    if (r == 1) return true;
    if ((e != SSL_ERROR_WANT_READ && e != SSL_ERROR_WANT_WRITE) ||
        !PollFor(e == SSL_ERROR_WANT_WRITE, MsLeft(deadline), nullptr) || MsLeft(deadline) == 0) {
      const long verify = SSL_get_verify_result(ssl);
      error = verify != X509_V_OK ? std::string("certificate of ") + host +
                                        " not accepted: " + X509_verify_cert_error_string(verify)
                                  : "TLS handshake with " + host + " failed: " + TlsErrorText();
      return false;
    }
  }
}

bool Socket::PollFor(bool write, int timeoutMs, const std::atomic<bool>* abort) {
  const int fd = fd_.load();
  if (fd < 0) return false;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
  for (;;) {
    if (abort && abort->load()) return false;
    int slice = abort ? kSliceMs : -1;
    if (timeoutMs >= 0) {
      const int left = MsLeft(deadline);
      if (left == 0) return false;
      slice = slice < 0 ? left : std::min(slice, left);
    }
    pollfd p{fd, static_cast<short>(write ? POLLOUT : POLLIN), 0};
    const int r = ::poll(&p, 1, slice);
    if (r > 0) return true;  // ready, or an error/hang-up the next call reports
    if (r < 0 && errno != EINTR) return false;
  }
}

size_t Socket::ReadSome(uint8_t* out, size_t n, int timeoutMs, const std::atomic<bool>* abort) {
  for (;;) {
    const int fd = fd_.load();
    if (fd < 0 || n == 0) return 0;
    bool wantWrite = false;
    {
      std::lock_guard lock(tlsLock_);
      if (ssl_) {
        size_t got = 0;
        const int r = SSL_read_ex(ssl_, out, n, &got);
        if (r == 1) return got;
        const int e = SSL_get_error(ssl_, r);
        if (e != SSL_ERROR_WANT_READ && e != SSL_ERROR_WANT_WRITE) {
          ERR_clear_error();
          return 0;
        }
        wantWrite = e == SSL_ERROR_WANT_WRITE;
      } else {
        const ssize_t r = ::recv(fd, out, n, MSG_DONTWAIT);
        if (r > 0) return static_cast<size_t>(r);
        if (r == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) return 0;
      }
    }
    if (!PollFor(wantWrite, timeoutMs, abort)) return 0;
  }
}

bool Socket::ReadExact(uint8_t* out, size_t n, int timeoutMs, const std::atomic<bool>* abort) {
  while (n > 0) {
    const size_t got = ReadSome(out, n, timeoutMs, abort);
    if (got == 0) return false;
    out += got;
    n -= got;
  }
  return true;
}

bool Socket::WriteAll(std::string_view bytes, int timeoutMs) {
  while (!bytes.empty()) {
    const int fd = fd_.load();
    if (fd < 0) return false;
    bool wantWrite = true;
    {
      std::lock_guard lock(tlsLock_);
      if (ssl_) {
        size_t put = 0;
        const int r = SSL_write_ex(ssl_, bytes.data(), bytes.size(), &put);
        if (r == 1) {
          bytes.remove_prefix(put);
          continue;
        }
        const int e = SSL_get_error(ssl_, r);
        if (e != SSL_ERROR_WANT_READ && e != SSL_ERROR_WANT_WRITE) {
          ERR_clear_error();
          return false;
        }
        wantWrite = e == SSL_ERROR_WANT_WRITE;
      } else {
        const ssize_t r = ::send(fd, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (r > 0) {
          bytes.remove_prefix(static_cast<size_t>(r));
          continue;
        }
        if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
      }
    }
    if (!PollFor(wantWrite, timeoutMs, nullptr)) return false;
  }
  return true;
}

void Socket::Shutdown() {
  const int fd = fd_.load();
  if (fd >= 0) ::shutdown(fd, SHUT_RDWR);
}

void Socket::Close() {
  {
    std::lock_guard lock(tlsLock_);
    if (ssl_) SSL_free(ssl_);
    ssl_ = nullptr;
  }
  const int fd = fd_.exchange(-1);
  if (fd >= 0) ::close(fd);
}

}  // namespace plotrak::gg
