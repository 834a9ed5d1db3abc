#ifndef VELTRANO_UI_SINGLE_INSTANCE_H_
#define VELTRANO_UI_SINGLE_INSTANCE_H_

#include <QLockFile>
#include <QString>
#include <memory>

namespace veltrano {

// The lock file that marks a running copy of the program: in a folder of
// its own under the user's runtime folder (the temporary folder when there
// is none).
QString SingleInstanceLockPath();

// Takes the lock at `path`; returns nothing when another running copy
// holds it. A lock left behind by a copy that ended abnormally is taken
// over. The lock is released when the returned object is destroyed.
std::unique_ptr<QLockFile> LockSingleInstance(const QString& path);

}  // namespace veltrano

#endif  // VELTRANO_UI_SINGLE_INSTANCE_H_
