#include "ui/screenshots.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <optional>

#include "ui/main_window.h"
#include "ui/name_dialog.h"
#include "ui/rooms_dialog.h"

namespace veltrano {

namespace {

void Settle() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

bool Save(QWidget& widget, const QString& path, QStringList* written) {
  Settle();
  if (!widget.grab().save(path, "PNG")) return false;
  written->append(path);
  return true;
}

}  // namespace

QStringList SaveScreenshots(MainForm& window, Workspace& ws,
                            const QString& dir) {
  QStringList written;
  QDir().mkpath(dir);
  constexpr std::array<int, 6> kModes = {0, 5, 1, 2, 3, 4};
  for (int size = 0; size < 3; ++size) {
    window.SelectDisplaySize(size);
    for (int mode : kModes) {
      window.SelectMode(mode);
      const bool sheet = mode == kModeInterior || mode == kModeExterior;
      if (sheet && !ws.rooms().room_names(ws.side()).empty()) {
        if (ws.sheets().room_label(ws.side()).empty()) ws.ClickRoomList(0);
        // The wall block, with an editor open on the formula of row 2.
        ws.sheets().ShowPart(2);
        ws.sheets().ClickSheet(2, 15, /*right_button=*/false);
      }
      window.Refresh(/*focus_editor=*/true);
      Save(window,
           QDir(dir).filePath(QString("size%1_mode%2.png").arg(size).arg(mode)),
           &written);
    }
  }
  window.SelectDisplaySize(0);
  window.SelectMode(kModeInterior);

  if (ws.rooms().OpenRoomsDialog()) {
    RoomsDialog rooms(ws.rooms(), &window);
    rooms.show();
    Save(rooms, QDir(dir).filePath("rooms_dialog.png"), &written);
    rooms.done(QDialog::Accepted);
  }
  NameDialog name(ws.session(), &window);
  name.show();
  Save(name, QDir(dir).filePath("name_dialog.png"), &written);
  name.close();
  window.Refresh();
  return written;
}

}  // namespace veltrano
