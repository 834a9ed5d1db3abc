#ifndef VELTRANO_TAKEOFF_ROOMS_H_
#define VELTRANO_TAKEOFF_ROOMS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "port/dialogs.h"
#include "project/project.h"
#include "project/session.h"
#include "takeoff/sheets.h"

namespace veltrano {

// The state of the rooms dialog: name box, its list and the two move lists.
struct RoomsDialogState {
  bool open = false;
  int side = 0;
  std::string name_box;                 // Text1
  int selected = -1;                    // selection in NewRoomList
  std::string move_what;                // IdouList(0) text
  std::string move_before;              // IdouList(1) text
};

// The rooms and places of the project: the dialog NewRoom that adds,
// renames, deletes and reorders them through the project's operations.
class Rooms {
 public:
  Rooms(Project& tables, TakeoffSheets& sheets,
        const ProjectSession& session, Dialogs& dialogs)
      : tables_(tables), sheets_(sheets), session_(session), dialogs_(dialogs) {}

  const std::vector<std::string>& room_names(int side) const {
    return tables_.rooms().names(side);
  }
  const RoomsDialogState& dialog() const { return rooms_dialog_; }
  // The names the dialog lists, NewRoomList (and the IdouList items): the
  // rooms or places of the dialog's side.
  const std::vector<std::string>& dialog_names() const {
    return tables_.rooms().names(rooms_dialog_.side);
  }
  // Changes of the dialog and of the rooms it shows.
  std::uint64_t revision() const { return revision_ + tables_.rooms().revision(); }

  // "部屋追加" / "場所追加": returns true when the rooms dialog opens.
  bool OpenRoomsDialog();
  void RoomsDialogSelect(int position);
  // Typing into the name box Text1.
  void TypeName(std::string_view text);
  // Choosing in the move lists IdouList(0) and IdouList(1).
  void ChooseMove(std::string_view what, std::string_view before);
  void RoomsDialogAdd();
  void RoomsDialogRename();
  void RoomsDialogDelete();
  void RoomsDialogMove();
  void RoomsDialogClose();

 private:
  // Checks a name typed for a room or place; shows the refusal.
  bool AcceptRoomName(std::string_view name);

  Project& tables_;
  TakeoffSheets& sheets_;
  const ProjectSession& session_;
  Dialogs& dialogs_;
  RoomsDialogState rooms_dialog_;
  std::uint64_t revision_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_TAKEOFF_ROOMS_H_
