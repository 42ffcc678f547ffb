#include "gadugadu/gg_lite.h"

#include <type_traits>

#include "gadugadu/gg_recv_thread.h"

namespace plotrak {
namespace {

// A body read on the main thread straight from the socket, every wait bounded.
class SocketSource : public gg::ByteSource {
 public:
  SocketSource(gg::Socket& socket, int timeoutMs) : socket_(socket), timeoutMs_(timeoutMs) {}
  size_t Read(uint8_t* out, size_t n) override {
    const size_t got = socket_.ReadSome(out, n, timeoutMs_);
    if (got == 0) failed = true;
    return got;
  }
  bool failed = false;

 private:
  gg::Socket& socket_;
  int timeoutMs_;
};

}  // namespace

TGGLite::TGGLite(QObject* parent) : QObject(parent), recv_(std::make_unique<TRecvThread>(*this)) {
  pingTimer_.setInterval(60000);
  connect(&pingTimer_, &QTimer::timeout, this, [this] { SendPing(); });
  wake_ = std::make_unique<QSocketNotifier>(recv_->wakeFd(), QSocketNotifier::Read);
  connect(wake_.get(), &QSocketNotifier::activated, this, [this] { OnWake(); });
  recv_->Start();  // it waits for the first successful Connect
}

TGGLite::~TGGLite() {
  recv_->Stop();
  socket_.Shutdown();
  recv_->Join();
  wake_.reset();
  recv_.reset();
  pingTimer_.stop();
  socket_.Close();
}

void TGGLite::SetPassword(const std::string& password) {
  if (password != password_ && password.size() > 4) password_ = password;
}

void TGGLite::SetUserStatus(TGGUserStatus status) {
  if (status != TGGUserStatus::kBlocked) userStatus_ = status;
}

void TGGLite::SetUserDesc(const std::string& desc) {
  userDesc_ = desc.substr(0, gg::kMaxDescription);
}

void TGGLite::SetMaxImageSize(int size) {
  if (size >= 0 && size < 256) maxImageSize_ = size;
}

int TGGLite::SetServer(const std::string& host, int port) {
  if (host.empty() || port < 1 || port > 65535) return 1;
  host_ = host;
  port_ = port;
  serverSet_ = true;
  return 0;
}

void TGGLite::SetProxyServer(const std::string& host, int port) {
  socketOptions_.proxyHost = host;
  socketOptions_.proxyPort = port;
}

bool TGGLite::GetConnected() const {
  return socket_.IsOpen() && !lost_;
}

bool TGGLite::Send(const std::string& packet) {
  return socket_.WriteAll(packet, socketOptions_.timeoutMs);
}

int TGGLite::Connect() {
  if (GetConnected()) return -1;
  // a connection the receive thread found closed: it no longer touches the socket
  socket_.Close();
  lost_ = false;
  lastError_.clear();
  hostNotFound_ = false;
  if (!serverSet_) {
    lastError_ = "no server set";
    return 1;
  }
  const auto opened = socket_.Open(host_, port_, socketOptions_, lastError_);
  hostNotFound_ = opened == gg::Socket::OpenResult::kHostNotFound;
  if (opened != gg::Socket::OpenResult::kOk) return 1;
  const int result = Handshake();
  if (result != 0) {
    // a half-open handshake is closed: otherwise nothing would ever notice its end and
    // every later Connect would find it "already connected"
    socket_.Close();
    return result;
  }
  ++generation_;
  disconnectRaised_ = false;
  recv_->Resume(generation_);
  pingTimer_.start();
  return 0;
}

int TGGLite::Handshake() {
  const int timeout = socketOptions_.timeoutMs;
  uint8_t raw[gg::kHeaderSize], seed[4];
  if (!socket_.ReadExact(raw, sizeof raw, timeout)) {
    lastError_ = "no welcome from the server";
    return 1;
  }
  gg::Header header = gg::DecodeHeader(raw);
  if (header.type != gg::kWelcome || header.length != 4 || !socket_.ReadExact(seed, 4, timeout)) {
    lastError_ = "unexpected welcome packet";
    return 1;
  }
  const uint32_t hash = gg::LoginHash(password_, gg::LoadU32(seed));
  if (!Send(gg::LoginPacket(static_cast<uint32_t>(login_), hash,
                            static_cast<uint8_t>(maxImageSize_)))) {
    lastError_ = "connection lost while logging in";
    return 1;
  }
  if (!socket_.ReadExact(raw, sizeof raw, timeout)) {
    lastError_ = "no answer to the login";
    return 1;
  }
  header = gg::DecodeHeader(raw);
  if (header.type != gg::kLoginOk) {
    lastError_ = "login refused (packet type " + std::to_string(header.type) + ")";
    return 1;
  }
  // the body of the acceptance is not part of the next packet: drop it, bounded
  {
    SocketSource source(socket_, timeout);
    gg::BodyReader body(source, header.length);
    body.Drain();
    if (source.failed) {
      lastError_ = "connection lost while logging in";
      return 1;
    }
  }
  if (!Send(gg::EmptyListPacket())) {
    lastError_ = "connection lost while logging in";
    return 1;
  }
  return 0;
}

int TGGLite::Disconnect() {
  if (!GetConnected()) return -1;
  userStatus_ = TGGUserStatus::kNotAvailable;
  const int result = SendStatus();
  if (result == 0) {
    const uint64_t generation = generation_;
    QTimer::singleShot(kDisconnectGraceMs, this, [this, generation] {
      if (generation == generation_ && GetConnected()) socket_.Shutdown();
    });
  }
  return result;
}

int TGGLite::SendStatus() {
  if (!GetConnected()) return -1;
  return Send(gg::StatusPacket(userStatus_, friendsOnly_, userDesc_, returnTime_)) ? 0 : 1;
}

int TGGLite::ImportContacts() {
  if (!GetConnected()) return -1;
  return Send(gg::ContactsRequestPacket(2)) ? 0 : 1;
}

int TGGLite::ExportContacts(const std::string& list) {
  if (!GetConnected()) return -1;
  return Send(gg::ContactsRequestPacket(0, list)) ? 0 : 1;
}

int TGGLite::SendMsg(bool chatClass, int32_t recipient, const std::vector<FormatPair>& format,
                     const std::string& text) {
  if (text.empty()) return -1;
  if (gg::IsVersionProbe(text)) {
    DoRecvMsg(gg::kVersionReply, {}, 0);
    return -1;
  }
  if (!GetConnected()) return -1;
  return Send(gg::MessagePacket(chatClass, static_cast<uint32_t>(recipient), format, text)) ? 0 : 1;
}

void TGGLite::SendPing() {
  if (GetConnected()) Send(gg::PingPacket());
}

void TGGLite::OnWake() {
  const TRecvThread::Mail mail = recv_->TakeMail();
  if (mail.packet) HandlePacket(mail.packetGeneration, mail.header);
  if (mail.lost) HandleConnectionLost(mail.lostGeneration);
}

void TGGLite::HandlePacket(uint64_t generation, gg::Header header) {
  if (generation != generation_ || !GetConnected()) {
    recv_->PacketDone();
    return;
  }
  gg::Event event;
  try {
    SocketSource source(socket_, socketOptions_.timeoutMs);
    event = gg::ProcessPacket(header, source, images_);
    // a body that stops coming leaves the stream out of step: end the connection
    if (source.failed)
      socket_.Shutdown();
    else
      Dispatch(event);
  } catch (...) {
    socket_.Shutdown();
  }
  recv_->PacketDone();
}

void TGGLite::HandleConnectionLost(uint64_t generation) {
  if (generation != generation_) return;
  pingTimer_.stop();
  RaiseDisconnectingOnce();
}

void TGGLite::RaiseDisconnectingOnce() {
  if (disconnectRaised_) return;
  disconnectRaised_ = true;
  DoDisconnecting();
}

void TGGLite::Dispatch(gg::Event& event) {
  std::visit(
      [this](auto& e) {
        using E = std::decay_t<decltype(e)>;
        if constexpr (std::is_same_v<E, gg::UserNotify>) {
          DoRecvUserNotify(e);
        } else if constexpr (std::is_same_v<E, gg::MessageAck>) {
          DoRecvPacket(gg::kSendMsgAck, static_cast<int>(e.status));
        } else if constexpr (std::is_same_v<E, gg::Message>) {
          DoRecvMsg(e.body, e.format, static_cast<int32_t>(e.from));
        } else if constexpr (std::is_same_v<E, gg::ImageRequest>) {
          DoRecvImageReq(e.size, e.crc32, static_cast<int32_t>(e.from));
        } else if constexpr (std::is_same_v<E, gg::Image>) {
          DoRecvImage(e.size, e.crc32, static_cast<int32_t>(e.from), e.body);
        } else if constexpr (std::is_same_v<E, gg::Disconnecting>) {
          pingTimer_.stop();
          // the server is ending the connection; ours ends with it
          socket_.Shutdown();
          RaiseDisconnectingOnce();
        } else if constexpr (std::is_same_v<E, gg::SearchReply>) {
          DoRecvSearchReply(e.text);
        } else if constexpr (std::is_same_v<E, gg::ContactsReply>) {
          DoRecvContactsReply(e.piece);
        }
      },
      event);
}

void TGGLite::DoRecvPacket(int type, int length) {
  if (OnRecvPacket) OnRecvPacket(*this, type, length);
}
void TGGLite::DoRecvMsg(const std::string& body, const std::vector<FormatPair>& format,
                        int32_t from) {
  if (OnRecvMsg) OnRecvMsg(*this, body, format, from);
}
void TGGLite::DoRecvImage(uint32_t size, uint32_t crc32, int32_t from, const std::string& body) {
  if (OnRecvImage) OnRecvImage(*this, size, crc32, from, body);
}
void TGGLite::DoRecvImageReq(uint32_t size, uint32_t crc32, int32_t from) {
  if (OnRecvImageReq) OnRecvImageReq(*this, size, crc32, from);
}
void TGGLite::DoRecvUserNotify(const gg::UserNotify& notify) {
  if (OnRecvUserNotify) OnRecvUserNotify(*this, notify);
}
void TGGLite::DoDisconnecting() {
  if (OnDisconnecting) OnDisconnecting(*this);
}
void TGGLite::DoRecvSearchReply(const std::string& reply) {
  if (OnRecvSearchReply) OnRecvSearchReply(*this, reply);
}
void TGGLite::DoRecvContactsReply(const std::string& reply) {
  if (OnRecvContactsReply) OnRecvContactsReply(*this, reply);
}

}  // namespace plotrak
