#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "cli/scenario/runner.h"
#include "cli/scenario/script_reader.h"
#include "cli/scenario/verbs.h"
#include "shell/workspace.h"
#include "takeoff/rooms.h"

namespace veltrano::scenario {

void DefineRoomVerbs(Runner& r) {
  Workspace& w = r.workspace();
  constexpr Where kMain = Where::kMainWindow;
  constexpr Where kRooms = Where::kRoomsDialog;

  // ---- The room list ------------------------------------------------------
  r.Define("room", kMain, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "room NAME") || !r.NeedTakeoff()) return false;
    const std::vector<std::string>& names = r.Rooms(w.side());
    const auto it = std::find(names.begin(), names.end(), a[0].text);
    if (it == names.end()) {
      return r.Fail("no " + Quoted(a[0].text) + " in the list " +
                    QuotedList(names));
    }
    w.ClickRoomList(static_cast<int>(it - names.begin()));
    return true;
  });
  r.Define("room-at", kMain, [&r, &w](const Args& a) {
    const int count = static_cast<int>(r.Rooms(w.side()).size());
    int position = 0;
    if (!r.Arity(a, 1, 1, "room-at N") || !r.NeedTakeoff()) return false;
    if (count == 0)
      return r.Fail("the list is empty; use room-none for a click on no item");
    if (!r.Count(a[0], 1, count, "the list position", &position)) return false;
    w.ClickRoomList(position - 1);
    return true;
  });
  r.DefineAction("room-none", kMain, &Runner::NeedTakeoff,
                 [&w] { w.ClickRoomList(std::nullopt); });

  // ---- The rooms dialog ---------------------------------------------------
  r.DefineAction("rooms open", kMain, &Runner::NeedTakeoff,
                 [&w] { w.rooms().OpenRoomsDialog(); });
  auto dialog_position = [&r, &w](const Token& t, int* position) {
    const std::vector<std::string>& names = w.rooms().dialog_names();
    const auto it = std::find(names.begin(), names.end(), t.text);
    if (it == names.end()) {
      return r.Fail("no " + Quoted(t.text) + " in the dialog's list " +
                    QuotedList(names));
    }
    *position = static_cast<int>(it - names.begin());
    return true;
  };
  r.Define("rooms select", kRooms, [&r, &w, dialog_position](const Args& a) {
    int position = 0;
    if (!r.Arity(a, 1, 1, "rooms select NAME") ||
        !dialog_position(a[0], &position)) {
      return false;
    }
    w.rooms().RoomsDialogSelect(position);
    return true;
  });
  r.Define("rooms name", kRooms, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "rooms name TEXT")) return false;
    w.rooms().TypeName(a[0].text);
    return true;
  });
  // rooms add and rooms rename: a name given with them is typed first.
  auto with_name = [&r, &w](std::string usage, void (Rooms::*act)()) {
    return [&r, &w, usage, act](const Args& a) {
      if (!r.Arity(a, 0, 1, usage)) return false;
      if (!a.empty()) w.rooms().TypeName(a[0].text);
      (w.rooms().*act)();
      return true;
    };
  };
  r.Define("rooms add", kRooms,
           with_name("rooms add [NAME]", &Rooms::RoomsDialogAdd));
  r.Define("rooms rename", kRooms,
           with_name("rooms rename [NAME]", &Rooms::RoomsDialogRename));
  r.DefineAction("rooms delete", kRooms, nullptr,
                 [&w] { w.rooms().RoomsDialogDelete(); });
  r.Define("rooms move", kRooms, [&r, &w, dialog_position](const Args& a) {
    int unused = 0;
    if (!r.Arity(a, 2, 2, "rooms move NAME BEFORE")) return false;
    for (const Token& t : a) {
      if (!t.text.empty() && !dialog_position(t, &unused)) return false;
    }
    w.rooms().ChooseMove(a[0].text, a[1].text);
    w.rooms().RoomsDialogMove();
    return true;
  });
  r.DefineAction("rooms close", kRooms, nullptr,
                 [&w] { w.rooms().RoomsDialogClose(); });
}

}  // namespace veltrano::scenario
