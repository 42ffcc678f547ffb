// A messenger server for the tests, on 127.0.0.1 and a free port, on its own thread: sends
// the welcome seed, checks the login packet and its hash, accepts or refuses, records every
// packet the client sends afterwards, and sends whatever the test hands it. A not-available
// status from the client ends the connection, as a real server does.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace plotrak::gg::testing {

struct ServerConfig {
  uint32_t seed = 0x3A5C7E91;
  uint32_t number = 0;    // the account that may log in
  std::string password;   // its password (Windows-1250)
  bool socks5 = false;    // a SOCKS5 greeting and request come first
  std::string socksHost;  // the host the request must name
  enum class Welcome { kNormal, kWrongType, kCloseInstead, kCloseAfter, kSilent };
  Welcome welcome = Welcome::kNormal;
  bool closeAfterLoginOk = false;  // drop the client right after accepting it
  bool closeOnNotAvailable = true;
};

struct Packet {
  uint32_t type = 0;
  std::string body;
};

class TestServer {
 public:
  explicit TestServer(ServerConfig config);
  ~TestServer();

  int port() const { return port_; }

  // Thread-safe views of what happened.
  int logins() const;                    // login packets received
  int accepted() const;                  // logins accepted
  uint32_t lastHash() const;             // hash of the last login packet
  std::string lastLogin() const;         // its 31-byte body
  std::vector<Packet> Received() const;  // after the login, in order
  size_t Count(uint32_t type) const;
  bool clientConnected() const;

  // Queues bytes for the current client, written by a thread of the server so that the
  // caller never blocks on a client that reads only while the caller pumps its events.
  // False when no client is connected.
  bool Send(const std::string& bytes);
  // Ends the current client's connection.
  void DropClient();

 private:
  void Run();
  void Write();
  void SendNow(int fd, const std::string& bytes);
  void Serve(int fd);
  bool ReadExact(int fd, void* out, size_t n);
  bool SocksHandshake(int fd);

  ServerConfig config_;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex lock_;
  int clientFd_ = -1;  // under lock_
  int logins_ = 0, accepted_ = 0;
  uint32_t lastHash_ = 0;
  std::string lastLogin_;
  std::vector<Packet> received_;
  std::deque<std::string> outbox_;  // under lock_
  std::condition_variable outboxReady_;
  std::mutex writing_;  // held while a write is under way; the fd is closed only without it
  std::thread thread_, writer_;
};

}  // namespace plotrak::gg::testing
