#ifndef VELTRANO_PROJECT_SHARED_TABLE_H_
#define VELTRANO_PROJECT_SHARED_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <memory>

#include "calc/grid.h"

namespace veltrano {

class SharedPart;

// Where the changes of the project's parts go as they are made: the
// history of changes.
class PartChangeRecorder {
 public:
  virtual ~PartChangeRecorder() = default;
  // `part` is about to change; `before` is the version it holds now.
  virtual void PartChanging(SharedPart& part, std::shared_ptr<const void> before) = 0;
};

// A part of the project kept in versions that never change once made (a
// table, the drawings and their measurements), as the history sees it: a
// version can be taken, put back, weighed and compared, whatever it holds.
class SharedPart {
 public:
  virtual ~SharedPart() = default;
  // Counts every change and every version put back.
  std::uint64_t revision() const { return revision_; }
  void set_recorder(PartChangeRecorder* recorder) { recorder_ = recorder; }

  // The present version, to be kept as it is.
  virtual std::shared_ptr<const void> ShareVersion() const = 0;
  // Puts a kept version back (the history undoing or redoing).
  virtual void RestoreVersion(std::shared_ptr<const void> version) = 0;
  // About how many bytes a version holds in memory.
  virtual std::size_t VersionBytes(const std::shared_ptr<const void>& version) const = 0;
  // Whether two versions hold the same.
  virtual bool SameVersions(const std::shared_ptr<const void>& a,
                            const std::shared_ptr<const void>& b) const = 0;

 protected:
  SharedPart() = default;
  SharedPart(const SharedPart&) = default;
  SharedPart& operator=(const SharedPart&) = default;

  PartChangeRecorder* recorder_ = nullptr;
  std::uint64_t revision_ = 0;
};

// A value of the project shared with the history's earlier versions of it:
// reading is free, and a change first copies the value when a version is
// kept, so that what the history holds never changes. `T` is copyable,
// comparable and tells its MemoryBytes().
template <typename T>
class SharedValue final : public SharedPart {
 public:
  SharedValue() : value_(std::make_shared<T>()) {}
  explicit SharedValue(T value) : value_(std::make_shared<T>(std::move(value))) {}
  // A copy holds the same, and tells no recorder.
  SharedValue(const SharedValue& other) : value_(std::make_shared<T>(*other.value_)) {}
  // A moved value keeps its versions and its recorder.
  SharedValue(SharedValue&& other) noexcept = default;
  SharedValue& operator=(const SharedValue& other) {
    if (this != &other) *Edit() = *other.value_;
    return *this;
  }
  SharedValue& operator=(T value) {
    *Edit() = std::move(value);
    return *this;
  }

  const T& operator*() const { return *value_; }
  const T* operator->() const { return value_.get(); }
  operator const T&() const { return *value_; }  // NOLINT: reads as the value
  bool operator==(const SharedValue& other) const { return *value_ == *other.value_; }

  // The value to change, told to the recorder first.
  T* Edit() {
    ++revision_;
    if (recorder_ != nullptr) recorder_->PartChanging(*this, value_);
    // A version someone else keeps is copied first.
    if (value_.use_count() > 1) value_ = std::make_shared<T>(*value_);
    return value_.get();
  }
  // The present version, to be kept as it is.
  std::shared_ptr<const T> Share() const { return value_; }
  // Puts a kept version back; it stays shared, so the next change copies it.
  void Restore(std::shared_ptr<const T> version) {
    if (version == nullptr) return;
    ++revision_;
    value_ = std::const_pointer_cast<T>(std::move(version));
  }

  std::shared_ptr<const void> ShareVersion() const override { return value_; }
  void RestoreVersion(std::shared_ptr<const void> version) override {
    Restore(std::static_pointer_cast<const T>(std::move(version)));
  }
  std::size_t VersionBytes(const std::shared_ptr<const void>& version) const override {
    return version == nullptr ? 0 : static_cast<const T*>(version.get())->MemoryBytes();
  }
  bool SameVersions(const std::shared_ptr<const void>& a,
                    const std::shared_ptr<const void>& b) const override {
    return a == b || (a != nullptr && b != nullptr &&
                      *static_cast<const T*>(a.get()) == *static_cast<const T*>(b.get()));
  }

 private:
  std::shared_ptr<T> value_;
};

// A table of the project.
using SharedTable = SharedValue<TextGrid>;

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_SHARED_TABLE_H_
