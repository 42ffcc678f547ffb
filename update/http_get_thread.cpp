#include "update/http_get_thread.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <fstream>

namespace plotrak {
namespace {

constexpr qint64 kChunk = 1025;
constexpr int kStopPollMs = 50;

QByteArray Bytes(const std::string& text) {
  return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// The system's proxy settings for this download alone (the application-wide factory would
// reach the chat's sockets too); the machine itself is never reached through a proxy.
class SystemProxies : public QNetworkProxyFactory {
 public:
  QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
    const QString host = query.peerHostName();
    if (host == QLatin1String("localhost") || QHostAddress(host).isLoopback())
      return {QNetworkProxy(QNetworkProxy::NoProxy)};
    return systemProxyForQuery(query);
  }
};

}  // namespace

std::string CompleteUrl(const std::string& url) {
  return url.find("://") == std::string::npos ? "http://" + url : url;
}

THTTPGetThread::THTTPGetThread(Settings settings, std::function<void(int64_t, int64_t)> progress)
    : settings_(std::move(settings)), progress_(std::move(progress)) {}

void THTTPGetThread::run() {
  try {
    QNetworkAccessManager manager;
    manager.setProxyFactory(new SystemProxies);  // the manager owns it
    QUrl url(QString::fromStdString(CompleteUrl(settings_.url)));
    if (!settings_.userName.empty()) {
      url.setUserName(QString::fromStdString(settings_.userName));
      url.setPassword(QString::fromStdString(settings_.password));
    }
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, Bytes(settings_.agent));
    request.setRawHeader("Accept", Bytes(settings_.acceptTypes));
    if (!settings_.referer.empty()) request.setRawHeader("Referer", Bytes(settings_.referer));
    request.setAttribute(
        QNetworkRequest::CacheLoadControlAttribute,
        settings_.useCache ? QNetworkRequest::PreferCache : QNetworkRequest::AlwaysNetwork);
    if (!settings_.useCache) {
      request.setRawHeader("Cache-Control", "no-cache");
      request.setRawHeader("Pragma", "no-cache");
    }
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setTransferTimeout(settings_.transferTimeoutMs);

    QNetworkReply* reply;
    if (!settings_.postQuery.empty()) {
      request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
      reply = manager.post(request, Bytes(settings_.postQuery));
    } else {
      reply = manager.get(request);
    }

    std::ofstream file;
    bool decided = false, reading = false, failed = false;
    auto fail = [&] {
      failed = true;
      reply->abort();
    };
    // Content-Length decides, once, whether the body is read at all.
    auto decide = [&] {
      if (decided) return;
      decided = true;
      const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
      if (!length.isValid() && settings_.binaryData) return;
      expectedSize_ = length.isValid() ? length.toLongLong() : 0;
      if (settings_.maxSize > 0 && expectedSize_ > settings_.maxSize) return fail();
      file.open(settings_.fileName, std::ios::binary | std::ios::trunc);
      if (!file) return fail();
      reading = true;
    };
    auto drain = [&] {
      decide();
      char chunk[kChunk];
      while (reading && !failed && !stop_) {
        const qint64 n = reply->read(chunk, kChunk);
        if (n <= 0) break;
        if (!file.write(chunk, n)) return fail();
        lastChunk_ = n;
        total_ += n;
        if (settings_.maxSize > 0 && total_ > settings_.maxSize) return fail();
        if (progress_) progress_(expectedSize_, total_);
      }
    };

    QEventLoop loop;
    QTimer stopPoll;
    QObject::connect(&stopPoll, &QTimer::timeout, &loop, [&] {
      if (stop_) reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, drain);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    stopPoll.start(kStopPollMs);
    if (!reply->isFinished()) loop.exec();
    if (!failed && !stop_ && reply->error() == QNetworkReply::NoError) drain();
    if (file.is_open()) {
      file.close();
      if (!file) failed = true;
    }
    // an answer that is not the file (404, a refusal) is no download, whatever its size
    result_ = reading && !failed && !stop_ && reply->error() == QNetworkReply::NoError &&
              total_ == expectedSize_;
  } catch (...) {
    result_ = false;
  }
}

}  // namespace plotrak
