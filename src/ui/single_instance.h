#ifndef VELTRANO_UI_SINGLE_INSTANCE_H_
#define VELTRANO_UI_SINGLE_INSTANCE_H_

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QWidget>
#include <memory>

namespace veltrano {

// The lock file that marks a running copy of the program: in a folder of
// its own under the user's runtime folder (the temporary folder when there
// is none).
QString SingleInstanceLockPath();

// Where the running copy listens for later copies: beside its lock.
QString SingleInstanceSocketPath(const QString& lock_path);

// Takes the lock at `path`; returns nothing when another running copy
// holds it. A lock left behind by a copy that ended abnormally is taken
// over. The lock is released when the returned object is destroyed.
std::unique_ptr<QLockFile> LockSingleInstance(const QString& path);

// The running copy's door: a later copy that finds the lock taken rings it,
// and the running copy brings its window to the front; a later copy started
// with a project file (a double-click in the file manager) hands the file
// over to be opened.
class InstanceDoorbell : public QObject {
  Q_OBJECT

 public:
  explicit InstanceDoorbell(QObject* parent = nullptr);

  // Listens at `socket_path`; only the holder of the lock may call it (a
  // socket left by a copy that ended abnormally is replaced).
  bool Listen(const QString& socket_path);

 signals:
  void rung();
  // A later copy asked for `project` to be opened (after rung()).
  void openRequested(const QString& project);

 private:
  QLocalServer server_;
};

// Shows `window` in front of the others, restored if it was minimised.
void BringToFront(QWidget* window);

// Rings the running copy's door and waits at most `timeout_ms` for it to
// answer. False when no copy answered (one that hangs, or an older copy
// without a door).
bool RingRunningInstance(const QString& socket_path, int timeout_ms = 2000,
                         const QString& project = {});

}  // namespace veltrano

#endif  // VELTRANO_UI_SINGLE_INSTANCE_H_
