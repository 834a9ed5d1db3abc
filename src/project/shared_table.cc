#include "project/shared_table.h"

#include <utility>

namespace veltrano {

TextGrid* SharedTable::Edit() {
  ++revision_;
  if (recorder_ != nullptr) recorder_->TableChanging(*this, table_);
  // A version someone else keeps is copied first.
  if (table_.use_count() > 1) table_ = std::make_shared<TextGrid>(*table_);
  return table_.get();
}

void SharedTable::Restore(std::shared_ptr<const TextGrid> version) {
  if (version == nullptr) return;
  ++revision_;
  // The version stays shared with the history, so the next change copies it.
  table_ = std::const_pointer_cast<TextGrid>(std::move(version));
}

}  // namespace veltrano
