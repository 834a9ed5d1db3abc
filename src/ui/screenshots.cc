#include "ui/screenshots.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>
#include <QTreeView>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fittings/takeoff.h"
#include "qt/pdf_drawing_pages.h"
#include "qt/printer_canvas.h"
#include "shell/workspace.h"
#include "ui/aggregation_panel.h"
#include "ui/drawing_pane.h"
#include "ui/main_window.h"
#include "ui/print_dialog_widget.h"
#include "ui/name_dialog.h"
#include "ui/rooms_dialog.h"
#include "ui/templates_dialog.h"

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

// Accepts every message box and question that comes up while it lives, so
// that the pictures are taken without anyone at the keyboard.
class AcceptMessageBoxes {
 public:
  // `answer` is the role of the button pressed on a question (OK and
  // messages are accepted).
  explicit AcceptMessageBoxes(QMessageBox::ButtonRole answer = QMessageBox::YesRole) {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [answer] {
      for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(top);
        if (box == nullptr || !box->isVisible()) continue;
        for (QAbstractButton* button : box->buttons()) {
          const QMessageBox::ButtonRole role = box->buttonRole(button);
          if (role == QMessageBox::AcceptRole || role == answer) {
            button->click();
            break;
          }
        }
      }
    });
    timer_.start();
  }

 private:
  QTimer timer_;
};

// Both sides aggregated with every room and place, the committed fittings,
// work types on every item column and the work-type table with a price
// being typed.
void ShowWorkingAggregation(Workspace& ws) {
  AcceptMessageBoxes accept;
  AggregationDialog& dialog = ws.aggregation_dialog();
  const std::vector<std::string>& work_types =
      ws.settings().panel().aggregation_work_types();
  if (work_types.empty()) return;
  auto work_type = [&work_types](std::string_view wanted) {
    for (const std::string& w : work_types) {
      if (w == wanted) return w;
    }
    return work_types.front();
  };
  for (int side = 0; side < 2; ++side) {
    dialog.OpenAggregationDialog(side);
    dialog.SelectAll();
    if (!dialog.Execute()) dialog.Close();
    for (int p = 0; p < 5; ++p) {
      const TextGrid& t = ws.part_summaries().table(side, p);
      for (int c = 2; c < t.cols(); ++c) {
        ws.part_summaries().AssignWorkType(side, p, 4, c,
                                           work_type(side == 0 ? "内装" : "塗装"));
      }
    }
  }
  ws.fittings_summary().AggregateFittings();
  for (int c = 2; c < ws.fittings_summary().table().cols(); ++c) {
    ws.fittings_summary().AssignWorkType(4, c, work_type("硝子"));
  }
  WorkTypeTable& table = ws.work_type_table();
  table.BuildWorkTypeTable(work_types, ws.money_rounding());
  // A unit and a price on every item of the sample house; the editor is
  // left open on the last price.
  struct Price {
    std::string_view item;
    std::string_view unit;
    std::string_view price;
  };
  static constexpr std::array<Price, 16> kPrices = {{
      {"フローリング", "m2", "8500"},
      {"ソフト巾木 H60", "m", "650"},
      {"PB t12.5+ビニルクロス", "m2", "2800"},
      {"PB t9.5+ビニルクロス", "m2", "2600"},
      {"畳敷き", "m2", "12000"},
      {"じゅらく塗り", "m2", "4500"},
      {"杉板張り", "m2", "6800"},
      {"クッションフロア", "m2", "3200"},
      {"ビニルクロス（不燃・防汚）張り", "m2", "1500"},
      {"カーテンボックス", "m", "4200"},
      {"吹付タイル", "m2", "2400"},
      {"EP", "m2", "1200"},
      {"FL5", "m2", "3000"},
      {"シリコン", "m", "3000"},
      {"変成シリコン", "m", "3000"},
      {"モルタル", "m", "3000"},
  }};
  int last_row = -1;
  for (int r = 1; r < table.table().rows(); ++r) {
    const std::string& item = table.table().At(r, 1);
    if (item.empty()) continue;
    std::string_view unit = "m2";
    std::string_view price = "3000";
    // Glass and seals by the start of their names ("シリコン:G").
    for (const Price& p : kPrices) {
      if (item.rfind(p.item, 0) == 0) {
        unit = p.unit;
        price = p.price;
      }
    }
    table.ClickCell(r, 5, unit, ws.money_rounding());
    table.ClickCell(r, 6, "", ws.money_rounding());
    table.EditorTextChanged(price);
    last_row = r;
  }
  // A click computes the amounts, the last one too.
  if (last_row >= 0) table.ClickCell(last_row, 6, "", ws.money_rounding());
}

// Saves the file dialog that `command` opens, then cancels it.
void SaveFileDialog(const std::function<void()>& command, const QString& path,
                    QStringList* written) {
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    poll.stop();
    dialog->resize(760, 420);
    // Every column wide enough for its text.
    if (auto* files = dialog->findChild<QTreeView*>()) {
      files->header()->resizeSections(QHeaderView::ResizeToContents);
    }
    Save(*dialog, path, written);
    dialog->reject();
  });
  poll.start();
  command();
}

// Millimetres of the sample plan (drawn at 1/100 on A3 landscape, 30 mm
// from the page's top left) as page points.
PagePoint PlanPoint(double x_mm, double y_mm) {
  return {(30 + x_mm) * 72 / 25.4, (40 + y_mm) * 72 / 25.4};
}

// The sample house's ground floor as a PDF drawing: LDK 5.4 × 3.6 m,
// 和室 3.6 × 2.7 m, 洋室 3.6 × 3.6 m and 洗面所 1.8 × 1.8 m at 1/100.
void WriteSamplePlan(const QString& path) {
  QPdfWriter writer(path);
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A3), QPageLayout::Landscape, QMarginsF()));
  writer.setResolution(72);
  QPainter painter(&writer);
  const double k = 72 / 25.4;
  const auto rect = [&](double x, double y, double w, double h, const QString& name) {
    const QRectF r(PlanPoint(x, y).x, PlanPoint(x, y).y, w * k, h * k);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(r);
    painter.setPen(Qt::black);
    painter.drawText(r, Qt::AlignCenter, name);
  };
  QFont font = painter.font();
  font.setPointSizeF(9);
  painter.setFont(font);
  rect(0, 0, 54, 36, "LDK");
  rect(54, 0, 36, 27, "和室");
  rect(0, 36, 36, 36, "洋室");
  rect(36, 36, 18, 18, "洗面所");
  painter.setPen(QPen(Qt::gray, 0.5));
  for (double x = 0; x <= 90; x += 9) painter.drawLine(QPointF(PlanPoint(x, -8).x, PlanPoint(x, -8).y), QPointF(PlanPoint(x, -3).x, PlanPoint(x, -3).y));
  painter.drawText(QPointF(PlanPoint(0, -12).x, PlanPoint(0, -12).y), "1階平面図　S=1/100");
}

// The drawing pane beside the LDK's sheet: the plan at 1/100, the LDK's
// floor measured as a rectangle and sent into its floor block, the
// skirting as a length, the 和室 as an area and the outlets counted.
void ShowWorkingDrawing(MainForm& window, Workspace& ws, const QString& dir) {
  const QString pdf = QDir(dir).filePath("1階平面図.pdf");
  WriteSamplePlan(pdf);
  window.SelectMode(kModeInterior);
  if (ws.rooms().room_names(kInterior).empty()) return;
  ws.ClickRoomList(0);
  if (window.drawing_pane() == nullptr || !window.drawing_pane()->AttachFile(pdf.toStdString())) {
    return;
  }
  QFile::remove(pdf);
  PlanTakeoff& plan = ws.plan_takeoff();
  plan.SetScaleOfShownPage(*PageScale::FromRatioText("1/100"));
  plan.set_part(0);
  plan.MeasureOnShownPage(MeasureKind::kRect, {PlanPoint(0, 0), PlanPoint(54, 36)});
  ws.sheets().ShowPart(0);
  ws.sheets().SetCurrentCell(1, 3);
  if (plan.selected()) plan.SendToSheet(*plan.selected());
  plan.set_part(1);
  plan.MeasureOnShownPage(MeasureKind::kLength,
                          {PlanPoint(0, 36), PlanPoint(0, 0), PlanPoint(54, 0), PlanPoint(54, 36)});
  plan.set_part(3);
  plan.MeasureOnShownPage(MeasureKind::kArea, {PlanPoint(54, 0), PlanPoint(90, 0),
                                               PlanPoint(90, 27), PlanPoint(54, 27)});
  plan.set_part(4);
  plan.MeasureOnShownPage(MeasureKind::kCount,
                          {PlanPoint(5, 5), PlanPoint(49, 5), PlanPoint(5, 31), PlanPoint(49, 31)});
  plan.Select(0);
  if (QAction* drawing = window.findChild<QAction*>("Drawing")) drawing->setChecked(true);
  window.Refresh();
}

// The plan filling the drawing view, its tiles rendered.
void FocusOnPlan(MainForm& window) {
  if (window.drawing_pane() == nullptr) return;
  Settle();
  DrawingView* view = window.drawing_pane()->view();
  const PagePoint middle = PlanPoint(45, 30);
  view->ZoomAt(view->width() / (100 * 72 / 25.4), view->ViewOf(middle));
  view->Pan(QPointF(view->width() / 2.0, view->height() / 2.0) - view->ViewOf(middle));
  // The tiles come from the renderer's threads.
  QElapsedTimer waited;
  waited.start();
  while (!view->AllTilesShown() && waited.elapsed() < 5000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
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
      if (mode == kModeAggregation) {
        if (size == 0) ShowWorkingAggregation(ws);
        // Each summary: the interior walls, the exterior walls, the
        // fittings and the work types.
        for (int summary = 0; summary < 4; ++summary) {
          ws.ChooseSummary(summary);
          ws.summary_view().ChoosePart(2);
          window.Refresh(/*focus_editor=*/true);
          Save(window,
               QDir(dir).filePath(
                   QString("size%1_mode2_summary%2.png").arg(size).arg(summary)),
               &written);
        }
        continue;
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
  // The item copy panel beside the sheet, with the wall items of the first
  // room and a range selected.
  window.SelectMode(kModeInterior);
  if (!ws.rooms().room_names(kInterior).empty()) {
    ws.ClickRoomList(0);
    ItemCopy& copy = ws.item_copy();
    copy.ToggleItemCopy();
    copy.ChooseEntry(ws.rooms().room_names(kInterior).front());
    copy.ChoosePart(2);
    copy.SelectEntries({0});
    ws.sheets().ShowPart(2);
    ws.sheets().SelectRange(1, 13, 3, 15);
    window.Refresh();
    Save(window, QDir(dir).filePath("item_copy.png"), &written);
    copy.HideItemList();
  }

  window.SelectMode(kModeAggregation);
  ws.ChooseSummary(kInteriorSummary);
  ws.aggregation_dialog().OpenAggregationDialog(kInterior);
  ws.aggregation_dialog().AddSelected({0, 2});
  window.Refresh();
  if (AggregationDialogWidget* selection =
          window.aggregation_panel()->selection_dialog()) {
    Save(*selection, QDir(dir).filePath("aggregation_dialog.png"), &written);
    selection->done(QDialog::Rejected);
  }
  // The print dialog of the summaries and of the interior sheets.
  for (int mode : {kModeAggregation, kModeInterior}) {
    window.SelectMode(mode);
    if (!ws.CommandPrint()) continue;
    PrintDialog& print = ws.print_dialog();
    print.AddSelected({0, 1});
    print.TickAll();
    PrintDialogWidget dialog(print, &window);
    dialog.show();
    Save(dialog, QDir(dir).filePath(QString("print_dialog_mode%1.png").arg(mode)), &written);
    dialog.done(QDialog::Rejected);
    // What such a job prints: the sheets of the two rooms, or the
    // work-type table alone.
    if (mode == kModeAggregation) {
      print.UntickAll();
      print.SetTicked(kSummaryBoxes - 1, true);
      // The price being typed is entered first (a click on a remark).
      ws.work_type_table().ClickCell(1, 8, "", ws.money_rounding());
    }
    const QString pdf = QDir(dir).filePath(
        mode == kModeAggregation ? "print_worktypes.pdf" : "print_sheet.pdf");
    std::string error;
    if (std::unique_ptr<QtPrinterCanvas> canvas = QtPrinterCanvas::ForPdf(pdf, &error);
        canvas != nullptr && print.PrintTo(*canvas, /*announce=*/false) > 0) {
      written.append(pdf);
    }
    print.Close();
  }
  // The template dialog with items typed into the floor and wall columns
  // and the editor open on the last of them.
  window.SelectMode(kModeSettings);
  ItemTemplates& templates = ws.item_templates();
  templates.Open();
  templates.SetName("事務所");
  templates.ClickCell(1, 1);
  templates.EditorTextChanged("フローリング");
  templates.EditorKey(ItemTemplates::Key::kDown);
  templates.EditorTextChanged("タイルカーペット");
  templates.ClickCell(1, 3);
  templates.EditorTextChanged("PB t12.5+EP");
  templates.EditorKey(ItemTemplates::Key::kDown);
  templates.EditorTextChanged("ビニルクロス（不燃・防汚）張り");
  {
    TemplatesDialog dialog(templates, &window);
    dialog.show();
    Save(dialog, QDir(dir).filePath("templates_dialog.png"), &written);
    dialog.done(QDialog::Rejected);
  }
  // The import box of the settings panel, and the file dialog of "開く"
  // (after the question whether to save first, answered no).
  if (QWidget* import_box = window.findChild<QWidget*>("Frame_Torikomi")) {
    Save(*import_box, QDir(dir).filePath("import_box.png"), &written);
  }
  window.SelectMode(kModeInterior);
  {
    AcceptMessageBoxes accept(QMessageBox::NoRole);
    SaveFileDialog([&ws] { ws.CommandOpen(); },
                   QDir(dir).filePath("open_dialog.png"), &written);
  }
  window.Refresh();

  NameDialog name(ws.session(), &window);
  name.show();
  Save(name, QDir(dir).filePath("name_dialog.png"), &written);
  name.close();
  window.Refresh();

  // The drawing pane at every display size, last: it attaches a drawing
  // and changes a sheet of the sample house.
  for (int size = 0; size < 3; ++size) {
    window.SelectDisplaySize(size);
    if (size == 0) ShowWorkingDrawing(window, ws, dir);
    window.Refresh();
    FocusOnPlan(window);
    Save(window, QDir(dir).filePath(QString("size%1_drawing.png").arg(size)), &written);
  }
  window.SelectDisplaySize(0);
  if (QAction* drawing = window.findChild<QAction*>("Drawing")) drawing->setChecked(false);

  return written;
}

}  // namespace veltrano
