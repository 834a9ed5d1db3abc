#ifndef VELTRANO_UI_TAKEOFF_PANEL_H_
#define VELTRANO_UI_TAKEOFF_PANEL_H_

#include <QGroupBox>
#include <QListWidget>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "takeoff/item_copy.h"
#include "takeoff/rooms.h"
#include "takeoff/sheet_editing.h"
#include "takeoff/sheets.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace veltrano {

class ItemCopyPanel;
class SheetModel;
class SheetView;

// A room or place list `List1(side)`. Only a mouse press on a name picks a
// room; moving the selection with the keyboard picks nothing.
class RoomListWidget : public QListWidget {
  Q_OBJECT

 public:
  explicit RoomListWidget(QWidget* parent = nullptr) : QListWidget(parent) {}

 signals:
  // The row pressed, or -1 for the empty area below the names.
  void pressed(int row);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

// The takeoff panel `Frame_Siage` of modes 0 (内部) and 5 (外部): the room
// or place list with its button, the places box, the parameter panels, the
// done mark, the part and scroll buttons, the two commands over all rooms,
// and the two sheets. It shows the takeoff sheets and the rooms: every event
// goes to them, and Refresh() shows what they hold when they changed. A
// click on the room list and the rooms button go to the main window, which
// coordinates saving on a room switch and the rooms dialog.
class TakeoffPanel : public QGroupBox {
  Q_OBJECT

 public:
  TakeoffPanel(TakeoffSheets& sheets, Rooms& rooms, SheetEditing& editing,
               ItemCopy& item_copy, QWidget* parent = nullptr);

  // Brings the panel up to date with the sheets and rooms, when they
  // changed since the last time or `force` is set. `focus_editor` gives the
  // cell editor the focus when it is shown (after an event of the sheet or
  // the editor itself).
  void Refresh(bool focus_editor, bool force = false);

  void ApplyDisplayScale(double scale, double dpi);

  SheetView* sheet_view(int side) const { return views_[side]; }

 signals:
  // Something the panel forwarded may have changed the sheets.
  void changed(bool focus_editor);
  // "部屋追加" / "場所追加".
  void roomsDialogRequested();
  // A mouse press on the room list: the row, or -1 for no item.
  void roomPressed(int row);

 private:
  void BuildLeftColumn(QWidget* column);
  void BuildSheetArea(QWidget* area);
  void SyncRoomList(int side);
  void SyncEditor(bool focus_editor);
  void LeaveEditorOnItsCell();
  // The editing button Command1(index), 1-7.
  void EditCommand(int index);
  void Changed(bool focus_editor = false) { emit changed(focus_editor); }

  TakeoffSheets& sheets_;
  Rooms& rooms_;
  SheetEditing& editing_;
  ItemCopy& item_copy_;
  std::uint64_t shown_revision_ = ~std::uint64_t{0};
  QLabel* list_caption_ = nullptr;                 // Label3(0)
  std::array<RoomListWidget*, 2> lists_{};         // List1(0..1)
  std::array<std::vector<std::string>, 2> listed_; // names shown in List1
  QPushButton* rooms_button_ = nullptr;            // Command1(0)
  QWidget* places_row_ = nullptr;
  QLineEdit* places_box_ = nullptr;                // Kasyo
  std::array<QFrame*, 2> parameter_frames_{};      // DaisuFrame(0..1)
  std::array<QLineEdit*, 6> parameter_boxes_{};    // DaisuText(0..5)
  QCheckBox* done_mark_ = nullptr;                 // Check2
  std::array<SheetModel*, 2> models_{};
  std::array<SheetView*, 2> views_{};              // Grid1(0..1)
  ItemCopyPanel* item_copy_panel_ = nullptr;       // Frame_List
  QWidget* left_column_ = nullptr;
};

}  // namespace veltrano

#endif  // VELTRANO_UI_TAKEOFF_PANEL_H_
