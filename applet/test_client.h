// A blocking loopback client of the applet protocol for tests and the bench, usable from
// any thread: sends its pieces, may end its side, and reads the answer to the close.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plotrak::testing {

struct ClientScript {
  std::vector<std::string> pieces;     // sent one after another
  std::chrono::milliseconds pause{0};  // between pieces
  bool endOwnSide = false;             // shutdown(SHUT_WR) after the last piece
  bool reset = false;                  // close with RST after the last piece instead of reading
  std::chrono::milliseconds readLimit{10000};
};

struct ClientResult {
  bool connected = false;
  std::string received;
  bool closedByServer = false;  // the server closed (EOF or reset) within the read limit
};

ClientResult RunClient(uint16_t port, const ClientScript& script);

// Opens a connection that sends nothing; returns its descriptor (-1 on failure).
int OpenIdleConnection(uint16_t port);
// True when the server has closed the connection (a read sees EOF or a reset).
bool ServerClosed(int fd, std::chrono::milliseconds wait);
void CloseConnection(int fd);

}  // namespace plotrak::testing
