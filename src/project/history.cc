#include "project/history.h"

#include <algorithm>
#include <utility>

namespace veltrano {

ProjectHistory::ProjectHistory(Project& project, std::size_t max_kept_table_bytes)
    : project_(project), max_kept_table_bytes_(max_kept_table_bytes) {
  project_.rooms().set_recorder(this);
  for (SharedPart* part : project_.Parts()) part->set_recorder(this);
}

ProjectHistory::~ProjectHistory() {
  project_.rooms().set_recorder(nullptr);
  for (SharedPart* part : project_.Parts()) part->set_recorder(nullptr);
}

void ProjectHistory::Begin(std::string_view name, std::string_view merge_key) {
  if (applying_) return;
  if (depth_ == 0) {
    // What was shown and not yet stored belongs to no step.
    if (view_ != nullptr) view_->StoreShown();
    open_ = Step{std::string(name), std::string(merge_key), {}, {}};
  }
  ++depth_;
}

void ProjectHistory::End() {
  if (applying_ || depth_ == 0) return;
  if (depth_ == 1 && view_ != nullptr) view_->StoreShown();
  if (--depth_ > 0) return;
  Step step = std::move(open_);
  open_ = Step{};
  // A table changed back to what it held, or written with the same texts,
  // has not changed.
  std::erase_if(step.parts, [](PartChange& change) {
    change.after = change.part->ShareVersion();
    return change.part->SameVersions(change.after, change.before);
  });
  for (PartChange& change : step.parts) {
    change.before_bytes = change.part->VersionBytes(change.before);
  }
  if (step.empty()) return;
  ++revision_;
  if (!step.merge_key.empty() && !undo_.empty() && redo_.empty() &&
      undo_.back().merge_key == step.merge_key) {
    Step& last = undo_.back();
    for (RoomChange& change : step.changes) last.changes.push_back(std::move(change));
    for (PartChange& change : step.parts) {
      auto it = std::find_if(last.parts.begin(), last.parts.end(),
                             [&](const PartChange& p) { return p.part == change.part; });
      if (it == last.parts.end()) {
        kept_table_bytes_ += change.before_bytes;
        last.parts.push_back(std::move(change));
      } else {
        it->after = std::move(change.after);
      }
    }
    return;
  }
  kept_table_bytes_ += step.PartBytes();
  undo_.push_back(std::move(step));
  redo_.clear();
  Trim();
}

void ProjectHistory::Trim() {
  while (undo_.size() > 1 &&
         (undo_.size() > kDepth || kept_table_bytes_ > max_kept_table_bytes_)) {
    kept_table_bytes_ -= undo_.front().PartBytes();
    undo_.pop_front();
  }
}

void ProjectHistory::Record(RoomChange change) {
  if (applying_) return;
  if (depth_ == 0) {
    // Cells changed outside any user action (a room stored in the form
    // the sheet gives it) belong to the last step, as a table's do; rooms
    // added, removed, renamed or moved outside one would leave the steps
    // pointing at other rooms.
    if (change.kind != RoomChange::Kind::kCells) {
      Clear();
    } else if (!undo_.empty()) {
      undo_.back().changes.push_back(std::move(change));
    }
    return;
  }
  open_.changes.push_back(std::move(change));
}

void ProjectHistory::PartChanging(SharedPart& part, std::shared_ptr<const void> before) {
  if (applying_) return;
  // A table changed outside any user action (what a save brings up to
  // date) belongs to the last step: undoing it goes back to before both.
  Step* step = depth_ > 0 ? &open_ : undo_.empty() ? nullptr : &undo_.back();
  if (step == nullptr) return;
  for (const PartChange& change : step->parts) {
    if (change.part == &part) return;
  }
  const std::size_t bytes = depth_ > 0 ? 0 : part.VersionBytes(before);
  if (depth_ == 0) kept_table_bytes_ += bytes;
  step->parts.push_back({&part, std::move(before), nullptr, bytes});
}

std::string ProjectHistory::undo_name() const {
  return undo_.empty() ? std::string() : undo_.back().name;
}

std::string ProjectHistory::redo_name() const {
  return redo_.empty() ? std::string() : redo_.back().name;
}

void ProjectHistory::Apply(const Step& step, bool forward) {
  applying_ = true;
  if (forward) {
    for (const RoomChange& change : step.changes) project_.rooms().Apply(change, true);
  } else {
    for (auto it = step.changes.rbegin(); it != step.changes.rend(); ++it) {
      project_.rooms().Apply(*it, false);
    }
  }
  for (const PartChange& change : step.parts) {
    change.part->RestoreVersion(forward ? change.after : change.before);
  }
  StepPlace place;
  if (step.changes.empty()) {
    place.part = step.parts.front().part;
    if (view_ != nullptr) view_->ShowStep(place);
    applying_ = false;
    return;
  }
  const RoomChange& first = step.changes.front();
  place.side = first.side;
  switch (first.kind) {
    case RoomChange::Kind::kCells:
      place.room = first.index;
      place.row = first.cells.front().row;
      place.col = first.cells.front().col;
      break;
    case RoomChange::Kind::kInsert:
      place.room = forward ? first.index : -1;
      break;
    case RoomChange::Kind::kRemove:
      place.room = forward ? -1 : first.index;
      break;
    case RoomChange::Kind::kRename:
      place.room = first.index;
      break;
    case RoomChange::Kind::kMove:
      place.room = forward ? first.to : first.index;
      break;
  }
  if (view_ != nullptr) view_->ShowStep(place);
  applying_ = false;
}

bool ProjectHistory::Undo() {
  if (undo_.empty() || depth_ > 0) return false;
  if (view_ != nullptr) view_->StoreShown();
  if (undo_.empty()) return false;
  ++revision_;
  Step step = std::move(undo_.back());
  undo_.pop_back();
  // What the parts hold now is what redoing gives back, changes made
  // after the step outside any user action included.
  for (PartChange& change : step.parts) change.after = change.part->ShareVersion();
  kept_table_bytes_ -= step.PartBytes();
  Apply(step, /*forward=*/false);
  redo_.push_back(std::move(step));
  return true;
}

bool ProjectHistory::Redo() {
  if (redo_.empty() || depth_ > 0) return false;
  if (view_ != nullptr) view_->StoreShown();
  if (redo_.empty()) return false;
  ++revision_;
  Step step = std::move(redo_.back());
  redo_.pop_back();
  Apply(step, /*forward=*/true);
  kept_table_bytes_ += step.PartBytes();
  undo_.push_back(std::move(step));
  Trim();
  return true;
}

void ProjectHistory::Clear() {
  ++revision_;
  undo_.clear();
  redo_.clear();
  kept_table_bytes_ = 0;
  open_.changes.clear();
  open_.parts.clear();
}

}  // namespace veltrano
