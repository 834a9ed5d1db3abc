#ifndef VELTRANO_PROJECT_SHARED_TABLE_H_
#define VELTRANO_PROJECT_SHARED_TABLE_H_

#include <cstdint>
#include <memory>

#include "calc/grid.h"

namespace veltrano {

class SharedTable;

// Where the changes of the project's tables go as they are made: the
// history of changes.
class TableChangeRecorder {
 public:
  virtual ~TableChangeRecorder() = default;
  // `table` is about to change; `before` is what it holds now.
  virtual void TableChanging(SharedTable& table, std::shared_ptr<const TextGrid> before) = 0;
};

// A table of the project, shared with the history's earlier versions of it:
// reading is free, and a change first copies the table when a version is
// kept, so that what the history holds never changes.
class SharedTable {
 public:
  SharedTable() : table_(std::make_shared<TextGrid>()) {}
  explicit SharedTable(TextGrid table) : table_(std::make_shared<TextGrid>(std::move(table))) {}
  // A copy holds the same texts, and tells no recorder.
  SharedTable(const SharedTable& other) : table_(std::make_shared<TextGrid>(*other.table_)) {}
  // A moved table keeps its versions and its recorder.
  SharedTable(SharedTable&& other) noexcept = default;
  SharedTable& operator=(const SharedTable& other) {
    if (this != &other) *Edit() = *other.table_;
    return *this;
  }
  SharedTable& operator=(TextGrid table) {
    *Edit() = std::move(table);
    return *this;
  }

  const TextGrid& operator*() const { return *table_; }
  const TextGrid* operator->() const { return table_.get(); }
  operator const TextGrid&() const { return *table_; }  // NOLINT: reads as the table
  bool operator==(const SharedTable& other) const { return *table_ == *other.table_; }
  // Counts every change and every version put back.
  std::uint64_t revision() const { return revision_; }

  // The table to change, told to the recorder first.
  TextGrid* Edit();

  void set_recorder(TableChangeRecorder* recorder) { recorder_ = recorder; }
  // The present version, to be kept as it is.
  std::shared_ptr<const TextGrid> Share() const { return table_; }
  // Puts a kept version back (the history undoing or redoing).
  void Restore(std::shared_ptr<const TextGrid> version);

 private:
  std::shared_ptr<TextGrid> table_;
  TableChangeRecorder* recorder_ = nullptr;
  std::uint64_t revision_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_SHARED_TABLE_H_
