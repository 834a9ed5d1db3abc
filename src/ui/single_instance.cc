#include "ui/single_instance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>

namespace veltrano {

namespace {

constexpr char kRing[] = "front\n";
// "open " and the project's path, UTF-8, on one line.
constexpr char kOpen[] = "open ";
constexpr char kAnswer[] = "ok\n";
// No path is longer; a longer line is not read.
constexpr qint64 kLongestLine = 8192;

}  // namespace

QString SingleInstanceLockPath() {
  QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (base.isEmpty()) {
    // The temporary folder is shared: keep one folder per user.
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = QDir::home().dirName();
    base = QStandardPaths::writableLocation(QStandardPaths::TempLocation) +
           "/veltrano-" + user;
  }
  return base + "/veltrano/veltrano.lock";
}

QString SingleInstanceSocketPath(const QString& lock_path) {
  return QFileInfo(lock_path).absolutePath() + "/veltrano.socket";
}

std::unique_ptr<QLockFile> LockSingleInstance(const QString& path) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  auto lock = std::make_unique<QLockFile>(path);
  // A running copy holds its lock for as long as it runs, however long.
  lock->setStaleLockTime(0);
  if (!lock->tryLock(0)) return nullptr;
  return lock;
}

InstanceDoorbell::InstanceDoorbell(QObject* parent) : QObject(parent) {
  // Only this user's copies may ring.
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (!socket->canReadLine()) {
          if (socket->bytesAvailable() > kLongestLine) socket->disconnectFromServer();
          return;
        }
        const QByteArray line = socket->readLine(kLongestLine);
        QString project;
        if (line.startsWith(kOpen) && line.endsWith('\n')) {
          const qsizetype start = sizeof(kOpen) - 1;
          project = QString::fromUtf8(line.mid(start, line.size() - start - 1));
        } else if (line != kRing) {
          socket->disconnectFromServer();
          return;
        }
        socket->write(kAnswer);
        socket->flush();
        emit rung();
        if (!project.isEmpty()) emit openRequested(project);
      });
    }
  });
}

bool InstanceDoorbell::Listen(const QString& socket_path) {
  QLocalServer::removeServer(socket_path);
  return server_.listen(socket_path);
}

void BringToFront(QWidget* window) {
  window->setWindowState((window->windowState() & ~Qt::WindowMinimized) |
                         Qt::WindowActive);
  window->show();
  window->raise();
  window->activateWindow();
}

bool RingRunningInstance(const QString& socket_path, int timeout_ms, const QString& project) {
  QLocalSocket socket;
  socket.connectToServer(socket_path);
  if (!socket.waitForConnected(timeout_ms)) return false;
  const QByteArray path = project.toUtf8();
  if (!project.isEmpty() && !path.contains('\n') && path.size() < kLongestLine - 8) {
    socket.write(kOpen + path + '\n');
  } else {
    socket.write(kRing);
  }
  if (!socket.waitForBytesWritten(timeout_ms)) return false;
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(timeout_ms)) return false;
  }
  return socket.readLine(64) == kAnswer;
}

}  // namespace veltrano
