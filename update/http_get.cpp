#include "update/http_get.h"

#include <QEventLoop>

#include "update/http_get_thread.h"

namespace plotrak {

THTTPGet::THTTPGet(QObject* parent) : QObject(parent) {}

THTTPGet::~THTTPGet() {
  if (!worker_) return;
  worker_->Stop();
  worker_->wait();
  delete worker_;
}

void THTTPGet::GetFile() {
  if (worker_) return;
  THTTPGetThread::Settings s;
  s.acceptTypes = AcceptTypes;
  s.agent = Agent;
  s.binaryData = BinaryData;
  s.url = URL;
  s.useCache = UseCache;
  s.fileName = FileName;
  s.userName = UserName;
  s.password = Password;
  s.postQuery = PostQuery;
  s.referer = Referer;
  s.transferTimeoutMs = TransferTimeoutMs;
  s.maxSize = MaxSize;
  // Progress is queued to this object's thread: the worker never waits for the owner, so
  // an owner that aborts and waits for the worker cannot deadlock with it. Calls queued for
  // a destroyed owner are dropped by Qt.
  auto progress = [this](int64_t total, int64_t readed) {
    QMetaObject::invokeMethod(
        this, [this, total, readed] { DoProgress(total, readed); }, Qt::QueuedConnection);
  };
  worker_ = new THTTPGetThread(std::move(s), std::move(progress));
  connect(worker_, &QThread::finished, this, &THTTPGet::WorkerEnded, Qt::QueuedConnection);
  if (!WaitThread) {
    worker_->start();
    return;
  }
  QEventLoop loop;
  connect(worker_, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
  worker_->start();
  loop.exec();
}

void THTTPGet::Abort() {
  if (worker_) worker_->Stop();
}

void THTTPGet::WorkerEnded() {
  if (!worker_) return;
  worker_->wait();
  THTTPGetThread* worker = worker_;
  worker_ = nullptr;
  result_ = worker->result();
  const int64_t size = worker->expectedSize();
  delete worker;
  if (result_)
    DoDoneFile(FileName, size);
  else
    DoError();
}

void THTTPGet::DoProgress(int64_t totalSize, int64_t readed) {
  if (OnProgress) OnProgress(this, totalSize, readed);
}

void THTTPGet::DoDoneFile(const std::string& fileName, int64_t fileSize) {
  if (OnDoneFile) OnDoneFile(this, fileName, fileSize);
}

void THTTPGet::DoError() {
  if (OnError) OnError(this);
}

}  // namespace plotrak
