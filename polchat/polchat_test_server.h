// A Polchat server of our own for the tests, on 127.0.0.1: it takes one client at a time,
// records every frame the client sends (the login's strings among them), and sends what a
// test asks for, cut into pieces at random points and joined with what follows.
#pragma once

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "polchat/polchat_frame.h"

namespace plotrak::polchat::testing {

struct Packet {
  std::vector<uint16_t> ints;  // ints[0] is the opcode
  std::vector<std::string> strings;
  uint16_t opcode() const { return ints.empty() ? 0 : ints[0]; }
};

// Decodes a payload by its counts; nothing when they do not fit.
std::optional<Packet> DecodePacket(std::string_view payload);

class PolchatTestServer {
 public:
  explicit PolchatTestServer(uint32_t seed = 1);
  ~PolchatTestServer();

  uint16_t port() const { return server_.serverPort(); }
  bool hasClient() const { return client_ != nullptr; }
  // Frames the client sent, in order.
  const std::vector<Packet>& received() const { return received_; }
  // The texts of the client's text packets (opcode 410), in order.
  std::vector<std::string> Texts() const;
  // Whether the client's frames could all be read.
  bool streamBroken() const { return broken_; }

  // Sends bytes (one or more frames, or anything at all) in random pieces.
  void Send(const std::string& bytes);
  void SendMain(const std::string& message) { Send(BuildFrame({610}, {message})); }
  void SendPriv(const std::string& text, const std::string& from) {
    Send(BuildFrame({611}, {text, from}));
  }
  // A people packet for these nicknames.
  void SendPeople(const std::vector<std::string>& nicks);
  // Closes the client's connection once everything queued is written.
  void CloseClient();

 private:
  void WritePiece();

  QTcpServer server_;
  QTcpSocket* client_ = nullptr;
  FrameReassembler reassembler_;
  std::vector<Packet> received_;
  bool broken_ = false;
  std::string pending_;
  bool closeWhenWritten_ = false;
  QTimer writer_;
  std::mt19937 random_;
};

// Runs the event loop until `done` or `timeoutMs` has passed; returns done().
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000);

}  // namespace plotrak::polchat::testing
