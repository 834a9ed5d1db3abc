#include "ui/single_instance.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace veltrano {

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

std::unique_ptr<QLockFile> LockSingleInstance(const QString& path) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  auto lock = std::make_unique<QLockFile>(path);
  // A running copy holds its lock for as long as it runs, however long.
  lock->setStaleLockTime(0);
  if (!lock->tryLock(0)) return nullptr;
  return lock;
}

}  // namespace veltrano
