#ifndef VELTRANO_UI_ROOMS_DIALOG_H_
#define VELTRANO_UI_ROOMS_DIALOG_H_

#include <QDialog>
#include <array>
#include <string>
#include <vector>

#include "takeoff/rooms.h"

class QComboBox;
class QLineEdit;
class QListWidget;

namespace veltrano {

// The rooms dialog `NewRoom` ("部屋追加・変更・削除" / "場所追加・変更・削除"):
// adds, renames, deletes and moves the rooms or places of the current side.
// Its controls show the rooms' dialog state and every button runs its
// command.
class RoomsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit RoomsDialog(Rooms& rooms, QWidget* parent = nullptr);

  // Shows the dialog state; the lists are filled anew when the names
  // changed or `refill_lists` is set (every command ends so).
  void Refresh(bool refill_lists = false);

 signals:
  // A command ran: the main window shows its rooms and sheet anew.
  void changed();

 public slots:
  void done(int result) override;

 private:
  void Run(void (Rooms::*command)());

  Rooms& rooms_;
  QLineEdit* name_box_ = nullptr;        // Text1
  QListWidget* names_ = nullptr;         // NewRoomList
  std::array<QComboBox*, 2> move_{};     // IdouList(0..1)
  std::vector<std::string> listed_;
};

}  // namespace veltrano

#endif  // VELTRANO_UI_ROOMS_DIALOG_H_
