#include "ui/screenshots.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "fittings/takeoff.h"
#include "shell/workspace.h"
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

// The fittings takeoff with a fitting committed and another being taken
// off, its painting list open.
void ShowWorkingTakeoff(Workspace& ws) {
  FittingsTakeoff& t = ws.fittings_takeoff();
  const std::vector<std::string>& codes = t.code_list();
  if (codes.empty() || t.current_code() != "-") {
    if (!codes.empty()) t.OpenCell(kPaintingTable, 2, 0);
    return;
  }
  auto pick = [&t](int table, int row, int col, int item) {
    t.OpenCell(table, row, col);
    if (t.shown_list() >= 0 && !t.candidate_list(t.shown_list()).empty()) {
      t.ApplyCandidate(t.candidate_list(t.shown_list())[static_cast<std::size_t>(item)]);
    }
  };
  t.ChooseFitting(codes.back());
  pick(kGlassTable, 1, 0, 1);
  pick(kGlassTable, 1, 8, 0);
  pick(kFrameSealTable, 1, 0, 0);
  pick(kFrameMortarTable, 1, 0, 0);
  pick(kPaintingTable, 1, 0, 0);
  t.Commit();
  t.ChooseFitting(codes.front());
  pick(kGlassTable, 1, 0, 0);
  t.OpenCell(kPaintingTable, 2, 0);
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
      if (mode == kModeFittingsTakeoff) ShowWorkingTakeoff(ws);
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
