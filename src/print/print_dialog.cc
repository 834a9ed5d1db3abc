#include "print/print_dialog.h"

#include <algorithm>
#include <cmath>

#include "calc/number_text.h"
#include "calc/text_util.h"
#include "print/fittings_printer.h"
#include "print/page_frame.h"
#include "print/room_sheet.h"
#include "print/summary_printer.h"

namespace veltrano {

namespace {

// Passes everything on to a canvas and counts the pages that got anything
// drawn on them.
class CountingCanvas : public PrinterCanvas {
 public:
  explicit CountingCanvas(PrinterCanvas& to) : to_(to) {}
  double PrintableWidth() const override { return to_.PrintableWidth(); }
  double PrintableHeight() const override { return to_.PrintableHeight(); }
  void SetFont(const PrintFont& font) override { to_.SetFont(font); }
  double TextWidth(std::string_view text) const override { return to_.TextWidth(text); }
  void DrawText(double x, double y, std::string_view text) override {
    drawn_ = true;
    to_.DrawText(x, y, text);
  }
  void DrawLine(double x1, double y1, double x2, double y2, int width) override {
    drawn_ = true;
    to_.DrawLine(x1, y1, x2, y2, width);
  }
  void DrawRect(double left, double top, double right, double bottom, int width) override {
    drawn_ = true;
    to_.DrawRect(left, top, right, bottom, width);
  }
  void NewPage() override {
    if (drawn_) ++pages_;
    drawn_ = false;
    to_.NewPage();
  }
  bool EndJob(std::string* error) override { return to_.EndJob(error); }
  int pages() const { return pages_ + (drawn_ ? 1 : 0); }

 private:
  PrinterCanvas& to_;
  int pages_ = 0;
  bool drawn_ = false;
};

}  // namespace

std::string_view PrintDialog::title() const {
  switch (kind_) {
    case kPrintInteriorSheets:
      return "内部拾い印刷";
    case kPrintExteriorSheets:
      return "外部拾い印刷";
    case kPrintFittings:
      return "建具廻り拾い印刷";
    default:
      return "集計表印刷";
  }
}

std::string_view PrintDialog::left_caption() const {
  return kind_ == kPrintExteriorSheets ? "<<場所名一覧>>" : "<<部屋名一覧>>";
}

std::string_view PrintDialog::right_caption() const {
  return kind_ == kPrintExteriorSheets ? "<<印刷場所名一覧>>" : "<<印刷部屋名一覧>>";
}

std::string_view PrintDialog::note() const {
  return kind_ == kPrintExteriorSheets
             ? "※場所名一覧から選択後⇒をクリック。（Ctrlキー併用で複数選択可） "
             : "※部屋名一覧から選択後⇒をクリック。（Ctrlキー併用で複数選択可） ";
}

const std::vector<std::string>& PrintDialog::left() const {
  return tables_.rooms().names(kind_ == kPrintExteriorSheets ? kExterior : kInterior);
}

std::optional<int> PrintDialog::FindRoom(std::string_view name) const {
  const std::vector<std::string>& names = left();
  auto found = std::find(names.begin(), names.end(), name);
  if (found == names.end()) {
    found = std::find_if(names.begin(), names.end(),
                         [name](const std::string& n) { return EqualsIgnoreCase(n, name); });
  }
  if (found == names.end()) return std::nullopt;
  return static_cast<int>(found - names.begin());
}

void PrintDialog::Open(int mode, std::string project_name) {
  if (mode != kPrintInteriorSheets && mode != kPrintFittings &&
      mode != kPrintSummaries && mode != kPrintExteriorSheets) {
    return;
  }
  ++revision_;
  shown_ = true;
  kind_ = mode;
  project_name_ = std::move(project_name);
  right_.clear();
  start_page_ = "1";
  caption_.clear();
  // A summary can be printed once it holds something: a part table once
  // it has been aggregated (its places total) and has an item column (a
  // side aggregated without an item in a part leaves that table empty),
  // the fittings summary once it has an item column, the work-type table
  // once a row below its heading holds anything (the empty table laid out
  // at start-up has one blank row).
  ticked_.fill(false);
  const auto has_items = [](const TextGrid& table) {
    for (int c = 2; c < table.cols(); ++c) {
      if (!table.At(2, c).empty()) return true;
    }
    return false;
  };
  const auto printable = [&](const TextGrid& table) {
    return !table.At(3, 1).empty() && has_items(table);
  };
  for (int p = 0; p < 5; ++p) {
    enabled_[static_cast<std::size_t>(p)] = printable(tables_.interior_summaries()[p]);
    enabled_[static_cast<std::size_t>(5 + p)] = printable(tables_.exterior_summaries()[p]);
  }
  enabled_[10] = has_items(tables_.fittings_summary());
  const TextGrid& work = tables_.interior_summaries()[kWorkTypeTable];
  bool rows = false;
  for (int r = 1; r < work.rows() && !rows; ++r) {
    for (int c = 0; c < work.cols() && !rows; ++c) rows = !work.At(r, c).empty();
  }
  enabled_[11] = rows;
}

void PrintDialog::Close() {
  ++revision_;
  shown_ = false;
}

void PrintDialog::SelectAll() {
  ++revision_;
  right_ = left();
}

void PrintDialog::AddSelected(std::vector<int> positions) {
  ++revision_;
  std::sort(positions.begin(), positions.end());
  positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
  for (int at : positions) {
    if (at >= 0 && at < static_cast<int>(left().size())) {
      right_.push_back(left()[static_cast<std::size_t>(at)]);
    }
  }
}

void PrintDialog::ClearSelection() {
  ++revision_;
  right_.clear();
}

void PrintDialog::SetStartPage(std::string_view text) {
  ++revision_;
  // A page number, kept in no file: anything but digits is refused as a
  // keystroke and the number stays as it was.
  if (!NumberBoxRefusal(text, NumberBox::kWhole).empty()) {
    platform_.dialogs.ShowMessage(kTitleInputCheck, kNumbersOnlyMessage);
    return;
  }
  start_page_.assign(text);
}

void PrintDialog::SetTicked(int box, bool on) {
  if (box < 0 || box >= kSummaryBoxes) return;
  ++revision_;
  // A disabled box cannot be ticked.
  ticked_[static_cast<std::size_t>(box)] = on && enabled_[static_cast<std::size_t>(box)];
}

void PrintDialog::TickAll() {
  ++revision_;
  ticked_ = enabled_;
}

void PrintDialog::UntickAll() {
  ++revision_;
  ticked_.fill(false);
}

bool PrintDialog::ReadyToPrint() {
  if ((kind_ == kPrintInteriorSheets || kind_ == kPrintExteriorSheets) && right_.empty()) {
    platform_.dialogs.ShowMessage(kTitleConfirm, "印刷する部屋が選択されていません。");
    return false;
  }
  return true;
}

int PrintDialog::PrintTo(PrinterCanvas& printer, bool announce) {
  ++revision_;
  CountingCanvas canvas(printer);
  PageFrame frame(canvas, FrameSettings::Of(settings_.panel(), project_name_));
  frame.SetPage(1);
  if (kind_ == kPrintInteriorSheets || kind_ == kPrintExteriorSheets) {
    const int side = kind_ == kPrintExteriorSheets ? kExterior : kInterior;
    if (!IsBlankText(start_page_)) {
      frame.SetPage(static_cast<int>(std::lround(LeadingNumber(start_page_))));
    }
    RoomSheetPrinter sheets(frame, tables_);
    for (const std::string& name : right_) {
      caption_ = "現在 " + name + " を印刷中･･･";
      ++revision_;
      platform_.progress.ShowStatus(caption_);
      platform_.progress.ProcessPendingEvents();
      if (const std::optional<int> room = FindRoom(name)) {
        sheets.PrintRoomSheet(*room, side);
      }
    }
  } else if (kind_ == kPrintFittings) {
    FittingsPrinter(frame, fittings_.entered_data_list()).PrintFittings();
  } else {
    caption_ = "印刷データ出力中・・";
    ++revision_;
    platform_.progress.ShowStatus(caption_);
    platform_.progress.ProcessPendingEvents();
    SummaryPrinter(frame, tables_).PrintSummaries(ticked_);
  }
  std::string error;
  const bool ended = canvas.EndJob(&error);
  caption_.clear();
  ++revision_;
  platform_.progress.ShowStatus("");
  if (!ended) {
    ReportFailure(error);
    return -1;
  }
  if (announce) platform_.dialogs.ShowMessage("印刷", "終了しました");
  return canvas.pages();
}

void PrintDialog::ReportFailure(std::string_view reason) {
  platform_.dialogs.ShowMessage(kTitleError, "印刷できませんでした。\n" + std::string(reason),
                                MessageIcon::kCritical);
}

}  // namespace veltrano
