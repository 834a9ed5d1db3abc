#ifndef VELTRANO_PROJECT_HISTORY_H_
#define VELTRANO_PROJECT_HISTORY_H_

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "project/project.h"

namespace veltrano {

// Where a step that was undone or redone shows itself: the side, the room
// (or -1 when the room is gone) and, for changed cells, the first of them.
struct StepPlace {
  int side = kInterior;
  int room = -1;
  int row = 0;
  int col = 0;
  // For a step that changed no room: the first part it changed.
  const SharedPart* part = nullptr;
};

// What the history needs of the objects that show the project.
class HistoryView {
 public:
  virtual ~HistoryView() = default;
  // Puts into the project what is shown but not yet stored (the shown
  // sheet), without changing what is shown.
  virtual void StoreShown() = 0;
  // A step has been undone or redone: show where it changed.
  virtual void ShowStep(const StepPlace& place) = 0;
};

// The history of the project's changes, for "元に戻す" and "やり直し": one
// for the whole project. A step is one user action, begun and ended around
// it, and holds every change the project's operations told while it was
// open; undoing takes them back in reverse order, so what changed outside
// the step stays as it is.
class ProjectHistory final : public RoomChangeRecorder, public PartChangeRecorder {
 public:
  static constexpr std::size_t kDepth = 200;
  // What the earlier versions of parts kept for undoing may take; the
  // oldest steps go first beyond it (the last step always stays).
  static constexpr std::size_t kMaxKeptTableBytes = 128u << 20;

  explicit ProjectHistory(Project& project,
                          std::size_t max_kept_table_bytes = kMaxKeptTableBytes);
  ~ProjectHistory() override;
  ProjectHistory(const ProjectHistory&) = delete;
  ProjectHistory& operator=(const ProjectHistory&) = delete;

  void set_view(HistoryView* view) { view_ = view; }
  std::uint64_t revision() const { return revision_; }

  // A user action begins and ends; steps do not nest (an action inside
  // another belongs to the outer one). Consecutive steps of the same
  // non-empty `merge_key` (the keystrokes into one cell) are one step.
  void Begin(std::string_view name, std::string_view merge_key = {});
  void End();
  bool recording() const { return depth_ > 0; }

  // The name of the step that would be undone or redone, "" when none.
  std::string undo_name() const;
  std::string redo_name() const;
  bool Undo();
  bool Redo();
  // Forgets every step (a project opened or created).
  void Clear();

  void Record(RoomChange change) override;
  void PartChanging(SharedPart& part, std::shared_ptr<const void> before) override;

 private:
  struct PartChange {
    SharedPart* part;
    std::shared_ptr<const void> before;
    std::shared_ptr<const void> after;
    std::size_t before_bytes = 0;
  };
  struct Step {
    std::string name;
    std::string merge_key;
    std::vector<RoomChange> changes;
    std::vector<PartChange> parts;
    bool empty() const { return changes.empty() && parts.empty(); }
    std::size_t PartBytes() const {
      std::size_t bytes = 0;
      for (const PartChange& change : parts) bytes += change.before_bytes;
      return bytes;
    }
  };
  // Drops the oldest steps beyond the depth and the memory bound.
  void Trim();
  void Apply(const Step& step, bool forward);

  Project& project_;
  HistoryView* view_ = nullptr;
  std::deque<Step> undo_;
  std::size_t kept_table_bytes_ = 0;  // of the steps that can be undone
  std::size_t max_kept_table_bytes_;
  std::vector<Step> redo_;
  int depth_ = 0;
  Step open_;
  bool applying_ = false;
  std::uint64_t revision_ = 0;
};

// Records the enclosing user action as one step, when a history is given.
class HistoryStep {
 public:
  HistoryStep(ProjectHistory* history, std::string_view name,
              std::string_view merge_key = {})
      : history_(history) {
    if (history_ != nullptr) history_->Begin(name, merge_key);
  }
  ~HistoryStep() {
    if (history_ != nullptr) history_->End();
  }
  HistoryStep(const HistoryStep&) = delete;
  HistoryStep& operator=(const HistoryStep&) = delete;

 private:
  ProjectHistory* history_;
};

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_HISTORY_H_
