// A blocking-style TCP client socket for the messenger client, shared by two threads: the
// receive thread reads headers, the main thread reads bodies and writes. Connects with a
// timeout (non-blocking connect and poll), optionally through a SOCKS5 proxy, optionally in
// TLS with the server's certificate and name verified. Every wait is a poll with a timeout;
// TLS calls are made under one lock so that one TLS connection is never read and written at
// once, and the waits for readability happen outside that lock. Never throws; errors are
// texts that name the host or the step, nothing else.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

typedef struct ssl_st SSL;

namespace plotrak::gg {

struct SocketOptions {
  bool tls = false;
  bool proxy = false;  // SOCKS5 at proxyHost:proxyPort, no authentication
  std::string proxyHost;
  int proxyPort = 1080;
  int timeoutMs = 15000;  // connect, handshakes, and every wait of a body read or write
  std::string caFile;     // trust anchors for TLS besides the system's (tests)
};

class Socket {
 public:
  Socket() = default;
  ~Socket();
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  enum class OpenResult { kOk, kHostNotFound, kFailed };
  // Connects to host:port; on failure `error` says why and nothing is left open. Only while
  // no other thread uses the socket.
  OpenResult Open(const std::string& host, int port, const SocketOptions& options,
                  std::string& error);
  bool IsOpen() const { return fd_.load() >= 0; }

  // Reads exactly `n` bytes. Each wait lasts at most `timeoutMs` (-1: no limit) and ends
  // early when `*abort` becomes true. False on timeout, end of stream, error or abort.
  bool ReadExact(uint8_t* out, size_t n, int timeoutMs, const std::atomic<bool>* abort = nullptr);
  // Reads 1..n bytes; 0 on timeout, end of stream or error.
  size_t ReadSome(uint8_t* out, size_t n, int timeoutMs, const std::atomic<bool>* abort = nullptr);
  // Writes all bytes; false on failure or when a wait exceeds `timeoutMs`.
  bool WriteAll(std::string_view bytes, int timeoutMs);

  // Any thread: ends the connection for both directions, waking a blocked read. The
  // descriptor stays allocated until Close.
  void Shutdown();
  // Frees the descriptor and the TLS state. Only while no other thread uses the socket.
  void Close();

 private:
  bool PollFor(bool write, int timeoutMs, const std::atomic<bool>* abort);
  bool StartTls(const std::string& host, const SocketOptions& options, std::string& error);

  std::atomic<int> fd_{-1};
  std::mutex tlsLock_;
  SSL* ssl_ = nullptr;  // under tlsLock_
};

// The SOCKS5 exchange on a connected stream (no authentication, CONNECT by host name):
// `send` and `recv` move whole buffers. Kept apart from the socket so that it can be tested
// over memory. False with `error` set when the proxy refuses or answers nonsense.
struct Socks5Io {
  virtual ~Socks5Io() = default;
  virtual bool Send(std::string_view bytes) = 0;
  virtual bool Recv(uint8_t* out, size_t n) = 0;
};
bool Socks5Connect(Socks5Io& io, const std::string& host, int port, std::string& error);

}  // namespace plotrak::gg
