// TGGLite: one messenger account logged into a server. Operations run on the main thread
// (the thread that created the object, which must run a Qt event loop); the receive thread
// (TRecvThread) waits for packet headers and hands every packet to the main thread, where
// its body is read and its event raised. All events, OnDisconnecting included, are raised on
// the main thread. No operation throws; results are 0 done, -1 not connected or nothing to
// do, 1 failure. The password never leaves the object except as the login hash.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gadugadu/gg_decoder.h"
#include "gadugadu/gg_packets.h"
#include "gadugadu/gg_socket.h"

namespace plotrak {

class TRecvThread;

class TGGLite : public QObject {
  Q_OBJECT

 public:
  using TGGUserStatus = gg::UserStatus;  // kNotAvailable..kInvisibleDesc only
  using FormatPair = gg::FormatPair;

  explicit TGGLite(QObject* parent = nullptr);
  ~TGGLite() override;

  // Properties.
  int32_t GetLogin() const { return login_; }
  void SetLogin(int32_t login) { login_ = login; }
  // Taken only when different and longer than 4 characters.
  void SetPassword(const std::string& password);
  TGGUserStatus GetUserStatus() const { return userStatus_; }
  void SetUserStatus(TGGUserStatus status);
  bool GetFriendsOnly() const { return friendsOnly_; }
  void SetFriendsOnly(bool on) { friendsOnly_ = on; }
  const std::string& GetUserDesc() const { return userDesc_; }
  void SetUserDesc(const std::string& desc);  // cut to 70 characters
  uint32_t GetUserReturnTime() const { return returnTime_; }
  void SetUserReturnTime(uint32_t seconds) { returnTime_ = seconds; }
  // TLS 1.2 or later, the server's certificate and name verified.
  bool GetSSL() const { return socketOptions_.tls; }
  void SetSSL(bool on) { socketOptions_.tls = on; }
  bool GetProxy() const { return socketOptions_.proxy; }
  void SetProxy(bool on) { socketOptions_.proxy = on; }
  int GetMaxImageSize() const { return maxImageSize_; }
  void SetMaxImageSize(int size);  // taken when 0..255
  // Trust anchors for TLS besides the system's.
  void SetCaFile(const std::string& file) { socketOptions_.caFile = file; }
  // The connect and read timeout (15000 ms by default).
  void SetTimeoutMs(int ms) { socketOptions_.timeoutMs = ms; }

  // 1 (and nothing stored) for an empty host or a port outside 1..65535.
  int SetServer(const std::string& host, int port);
  void SetProxyServer(const std::string& host, int port);
  bool GetConnected() const;

  int Connect();
  // Sends the not-available status; the server then ends the connection. One that does not
  // within kDisconnectGraceMs is ended from this side.
  int Disconnect();
  static constexpr int kDisconnectGraceMs = 5000;
  int SendStatus();
  int ImportContacts();
  int ExportContacts(const std::string& list);
  int SendMsg(bool chatClass, int32_t recipient, const std::vector<FormatPair>& format,
              const std::string& text);
  void SendPing();

  // What the last failed Connect met, for diagnostics; never holds the password.
  const std::string& LastError() const { return lastError_; }
  // The last Connect failed because the server's name could not be resolved.
  bool LastHostNotFound() const { return hostNotFound_; }

  // Events; the sender comes first.
  std::function<void(TGGLite&, int type, int length)> OnRecvPacket;
  std::function<void(TGGLite&, const std::string& body, const std::vector<FormatPair>& format,
                     int32_t from)>
      OnRecvMsg;
  std::function<void(TGGLite&, uint32_t size, uint32_t crc32, int32_t from,
                     const std::string& body)>
      OnRecvImage;
  std::function<void(TGGLite&, uint32_t size, uint32_t crc32, int32_t from)> OnRecvImageReq;
  std::function<void(TGGLite&, const gg::UserNotify&)> OnRecvUserNotify;
  std::function<void(TGGLite&)> OnDisconnecting;
  std::function<void(TGGLite&, const std::string&)> OnRecvSearchReply;
  std::function<void(TGGLite&, const std::string&)> OnRecvContactsReply;

 protected:
  virtual void DoRecvPacket(int type, int length);
  virtual void DoRecvMsg(const std::string& body, const std::vector<FormatPair>& format,
                         int32_t from);
  virtual void DoRecvImage(uint32_t size, uint32_t crc32, int32_t from, const std::string& body);
  virtual void DoRecvImageReq(uint32_t size, uint32_t crc32, int32_t from);
  virtual void DoRecvUserNotify(const gg::UserNotify& notify);
  virtual void DoDisconnecting();
  virtual void DoRecvSearchReply(const std::string& reply);
  virtual void DoRecvContactsReply(const std::string& reply);

 private:
  friend class TRecvThread;
  // Main thread, from the receive thread's hand-over.
  void OnWake();
  void HandlePacket(uint64_t generation, gg::Header header);
  void HandleConnectionLost(uint64_t generation);
  void Dispatch(gg::Event& event);
  void RaiseDisconnectingOnce();
  bool Send(const std::string& packet);
  int Handshake();

  int32_t login_ = 0;
  std::string password_;
  TGGUserStatus userStatus_ = TGGUserStatus::kNotAvailable;
  bool friendsOnly_ = false;
  std::string userDesc_;
  uint32_t returnTime_ = 0;
  int maxImageSize_ = 20;
  std::string host_;
  int port_ = 8074;
  bool serverSet_ = false;
  gg::SocketOptions socketOptions_;
  std::string lastError_;
  bool hostNotFound_ = false;

  gg::Socket socket_;
  std::atomic<bool> lost_{false};  // the receive thread found the connection closed
  uint64_t generation_ = 0;        // main thread: one per successful Connect
  bool disconnectRaised_ = false;  // OnDisconnecting once per connection
  gg::ImageList images_;
  QTimer pingTimer_;
  std::unique_ptr<TRecvThread> recv_;
  std::unique_ptr<QSocketNotifier> wake_;
};

}  // namespace plotrak
