#ifndef VELTRANO_PRINT_PRINT_DIALOG_H_
#define VELTRANO_PRINT_PRINT_DIALOG_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "fittings/takeoff.h"
#include "port/dialogs.h"
#include "port/printer.h"
#include "project/project.h"

namespace veltrano {

// What the print dialog prints: the main window's mode.
enum PrintKind : int {
  kPrintInteriorSheets = 0,
  kPrintFittings = 1,
  kPrintSummaries = 2,
  kPrintExteriorSheets = 5,
};

inline constexpr int kSummaryBoxes = 12;

// The print dialog InsatuForm: for takeoff sheets the rooms or places to
// print and the start page, for summaries the twelve tables, and
// "印刷開始", which prints on the canvas the caller gives (a printer, a
// preview or a PDF file).
class PrintDialog {
 public:
  PrintDialog(const Project& tables, const FittingsTakeoff& fittings,
              const Settings& settings, Platform platform)
      : tables_(tables), fittings_(fittings), settings_(settings), platform_(platform) {}

  std::uint64_t revision() const { return revision_; }
  bool shown() const { return shown_; }
  int kind() const { return kind_; }
  std::string_view title() const;
  std::string_view left_caption() const;
  std::string_view right_caption() const;
  std::string_view note() const;
  // The rooms or places of the side, and those to print (a name may come
  // twice).
  const std::vector<std::string>& left() const;
  const std::vector<std::string>& right() const { return right_; }
  // The position of a name in the left list: the exact name first, letter
  // case ignored only when no name matches exactly; nothing when absent.
  std::optional<int> FindRoom(std::string_view name) const;
  // The open project's name, which the page frame prints (empty when no
  // project is open).
  const std::string& project_name() const { return project_name_; }
  const std::string& start_page() const { return start_page_; }
  bool box_enabled(int box) const { return enabled_[static_cast<std::size_t>(box)]; }
  bool box_ticked(int box) const { return ticked_[static_cast<std::size_t>(box)]; }
  const std::array<bool, kSummaryBoxes>& ticked() const { return ticked_; }
  // The progress caption Label3.
  const std::string& caption() const { return caption_; }

  // Opens the dialog for the main window's mode (0, 1, 2 or 5) with the
  // name of the open project, which the page frame prints.
  void Open(int mode, std::string project_name);
  void Close();
  // Command3(0..2): "全選択", "⇒" (the left entries at these positions, in
  // list order), "クリア".
  void SelectAll();
  void AddSelected(std::vector<int> positions);
  void ClearSelection();
  // "開始頁番号": digits only; anything else is refused with a message and
  // the page number stays as it was.
  void SetStartPage(std::string_view text);
  // Check1(i), and Command5(0..1) "全選択" / "全解除".
  void SetTicked(int box, bool on);
  void TickAll();
  void UntickAll();

  // "印刷開始", first half: false, after its message, when there is
  // nothing to print (so that no printer is asked for).
  bool ReadyToPrint();
  // "印刷開始", second half: prints on `canvas` and ends the job; says
  // "終了しました" (unless `announce` is false, as for the pages of a print
  // preview), or why the job failed. Returns the number of pages printed,
  // or -1 on failure.
  int PrintTo(PrinterCanvas& canvas, bool announce = true);
  // "印刷開始" when the canvas could not even be started (a PDF file that
  // cannot be made): the failure message with `reason`.
  void ReportFailure(std::string_view reason);

 private:
  const Project& tables_;
  const FittingsTakeoff& fittings_;
  const Settings& settings_;
  Platform platform_;
  bool shown_ = false;
  int kind_ = kPrintInteriorSheets;
  std::string project_name_;
  std::vector<std::string> right_;
  std::string start_page_ = "1";
  std::array<bool, kSummaryBoxes> enabled_{};
  std::array<bool, kSummaryBoxes> ticked_{};
  std::string caption_;
  std::uint64_t revision_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_PRINT_PRINT_DIALOG_H_
