// A loopback HTTP server for the update tests: serves fixed responses by path, in the
// shapes a real server or a broken one may send, on the thread of its event loop.
#pragma once

#include <QTcpServer>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace plotrak::testing {

struct HttpResponse {
  int status = 200;
  std::string body;
  bool contentLength = true;  // send a Content-Length header
  int64_t declared = -1;      // the length it declares, -1: the body's own
  size_t piece = 0;           // > 0: the body goes out in pieces of this size ...
  int pauseMs = 0;            // ... with this pause between them
};

class TestHttpServer : public QObject {
 public:
  TestHttpServer();
  uint16_t port() const { return server_.serverPort(); }
  std::string Url(const std::string& path) const;
  std::map<std::string, HttpResponse> responses;  // by path; others get 404
  std::vector<std::string> requests;              // the head of every request received

 private:
  void Serve(class QTcpSocket* socket, const std::string& head);
  QTcpServer server_;
};

}  // namespace plotrak::testing
