// The widget-level benchmark: every toolbar command, mode switch, room
// switch, recalculation and aggregation of the desktop application on the
// largest project (500 rooms, 100 places, 599 fittings), driven through the
// real widgets offscreen, each timed from the press until the window has
// taken every event it caused and repainted. Each action is reported with
// whether it showed a progress bar; the report ends with the slowest and
// with every action over 100 ms that showed none. Not a test: it prints the
// times.
//
//   build/tests/ui/veltrano_ui_timing [ROOM_SWITCHES]     (default 300; 0 for none)
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "big_project.h"
#include "config/folders.h"
#include "shell/workspace.h"
#include "ui/aggregation_panel.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"
#include "ui/sheet_view.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Messages are printed rather than shown. Questions are answered as a user
// going on would: No to "save first?", Yes or OK to the rest.
class AnsweringDialogs : public veltrano::Dialogs {
 public:
  void ShowMessage(std::string_view title, std::string_view text,
                   veltrano::MessageIcon) override {
    if (verbose) {
      std::fprintf(stderr, "message %.*s: %.*s\n", static_cast<int>(title.size()), title.data(),
                   static_cast<int>(text.size()), text.data());
    }
  }
  veltrano::Answer Ask(std::string_view, std::string_view text, veltrano::Buttons buttons,
                       veltrano::MessageIcon) override {
    if (text.find("保存しますか") != std::string_view::npos) return veltrano::Answer::kNo;
    return buttons == veltrano::Buttons::kOk || buttons == veltrano::Buttons::kOkCancel
               ? veltrano::Answer::kOk
               : veltrano::Answer::kYes;
  }
  void Beep() override {}
  bool verbose = false;
};

class NoFileDialogs : public veltrano::FileDialogs {
 public:
  std::optional<std::filesystem::path> ChooseFileToOpen(const veltrano::FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<std::filesystem::path> ChooseFileToSave(const veltrano::FileDialogRequest&) override {
    return std::nullopt;
  }
};

// The window's progress, counting the bars shown.
class CountingProgress : public veltrano::QtProgress {
 public:
  void ShowProgress(int maximum) override {
    ++shown;
    QtProgress::ShowProgress(maximum);
  }
  int shown = 0;
};

struct Timed {
  std::string action;
  double ms = 0;
  bool progress = false;
};

class Timer {
 public:
  Timer(veltrano::MainForm& window, CountingProgress& progress)
      : window_(window), progress_(progress) {}

  // Times `act` until the window has settled.
  double Time(const std::string& action, const std::function<void()>& act) {
    QCoreApplication::processEvents();
    const int shown = progress_.shown;
    const auto start = Clock::now();
    act();
    QCoreApplication::processEvents();
    window_.repaint();
    const double ms = Ms(Clock::now() - start);
    timed_.push_back({action, ms, progress_.shown != shown});
    std::printf("%-44s %8.1f ms%s\n", action.c_str(), ms, timed_.back().progress ? "  (progress)" : "");
    return ms;
  }
  void Add(const std::string& action, double ms) { timed_.push_back({action, ms, false}); }

  void Report() const {
    std::vector<Timed> sorted = timed_;
    std::sort(sorted.begin(), sorted.end(), [](const Timed& a, const Timed& b) { return a.ms > b.ms; });
    std::printf("\nslowest: %s, %.1f ms\n", sorted.front().action.c_str(), sorted.front().ms);
    int over = 0;
    for (const Timed& t : sorted) {
      if (t.ms > 100 && !t.progress) {
        std::printf("over 100 ms without a progress bar: %s, %.1f ms\n", t.action.c_str(), t.ms);
        ++over;
      }
    }
    if (over == 0) std::printf("no action over 100 ms without a progress bar\n");
  }

 private:
  veltrano::MainForm& window_;
  CountingProgress& progress_;
  std::vector<Timed> timed_;
};

template <typename T>
T* Find(QObject& in, const char* name) {
  T* found = in.findChild<T*>(QString::fromUtf8(name));
  if (found == nullptr) {
    std::fprintf(stderr, "no %s\n", name);
    std::exit(1);
  }
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int switches = argc > 1 ? std::atoi(argv[1]) : 300;
  QTemporaryDir dir;
  QCoreApplication::setOrganizationName("VeltranoTiming");
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("config"));
  const std::filesystem::path root = veltrano::QStringToPath(dir.path());
  const veltrano::Folders folders = veltrano::FoldersUnder(root / "Veltrano", root / "home");
  std::filesystem::create_directories(folders.data);
  const std::filesystem::path project = folders.data / "最大.xdt";
  veltrano::testing::WriteLargestProjectFile(project);

  AnsweringDialogs dialogs;
  NoFileDialogs no_files;
  veltrano::PresetFileDialogs files(no_files);
  CountingProgress progress;
  veltrano::MemoryClipboard clipboard;
  veltrano::Workspace ws(folders, veltrano::Platform{dialogs, files, progress, clipboard});
  if (!ws.Startup()) return 1;
  veltrano::MainForm window(ws, &progress);
  window.resize(1600, 1000);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  Timer timer(window, progress);
  const auto toolbar = [&](const char* name) { Find<QAction>(window, name)->trigger(); };
  const auto click = [&](const char* name) { Find<QAbstractButton>(window, name)->click(); };

  timer.Time("開く (the largest project)", [&] {
    files.PresetOpen(project);
    toolbar("Open");
  });
  std::printf("  %zu rooms, %zu places\n", ws.rooms().room_names(0).size(),
              ws.rooms().room_names(1).size());

  // Room switches: a press on the list until the sheet is repainted.
  auto* list = Find<QListWidget>(window, "List1(0)");
  auto* sheet = Find<veltrano::SheetView>(window, "Grid1(0)");
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pick(0, list->count() - 1);
  std::vector<double> times;
  for (int i = 0; i < switches; ++i) {
    QListWidgetItem* item = list->item(pick(random));
    list->scrollToItem(item);
    QCoreApplication::processEvents();
    const QPoint at = list->visualItemRect(item).center();
    const auto start = Clock::now();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
    sheet->viewport()->repaint();
    QCoreApplication::processEvents();
    times.push_back(Ms(Clock::now() - start));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
  }
  std::sort(times.begin(), times.end());
  if (!times.empty()) {
    std::printf("%-44s %8.1f ms median, %.1f ms at 90%%, %.1f ms at most (%d switches)\n",
                "部屋の切り替え", times[times.size() / 2], times[times.size() * 9 / 10],
                times.back(), switches);
    timer.Add("部屋の切り替え (the slowest of " + std::to_string(switches) + ")",
              times.back());
  }

  // Each whole-side command and its undo and redo; the recalculation fills
  // every value that "値削除" emptied, so that its step holds them all.
  timer.Time("値削除 (every room)", [&] { click("Command10(1)"); });
  timer.Time("元に戻す (値削除)", [&] { toolbar("Undo"); });
  timer.Time("やり直し (値削除)", [&] { toolbar("Redo"); });
  timer.Time("再計算 (every room)", [&] { click("Command10(0)"); });
  timer.Time("元に戻す (再計算)", [&] { toolbar("Undo"); });
  timer.Time("やり直し (再計算)", [&] { toolbar("Redo"); });
  timer.Time("上書き保存", [&] { toolbar("Save"); });
  timer.Time("図面 (shown)", [&] { toolbar("Drawing"); });
  timer.Time("図面 (hidden)", [&] { toolbar("Drawing"); });

  const char* modes[6] = {"内部", "建具廻り", "集計", "建具リスト", "設定", "外部"};
  for (int mode : {1, 2, 3, 4, 5, 0}) {
    const std::string name = "HiroiBunrui(" + std::to_string(mode) + ")";
    timer.Time(std::string("モード ") + modes[mode], [&] { click(name.c_str()); });
  }
  timer.Time("外部 再計算 (every place)", [&] {
    click("HiroiBunrui(5)");
    click("Command10(0)");
  });
  click("HiroiBunrui(0)");

  // Aggregation: every room and place, the fittings, the work types.
  click("HiroiBunrui(2)");
  auto* panel = window.findChild<veltrano::AggregationPanel*>();
  for (int side = 0; side < 2; ++side) {
    click(side == 0 ? "Command4(0)" : "Command4(1)");
    timer.Time(side == 0 ? "集計開始 (内部)" : "集計開始 (外部)", [&] { click("Command2(0)"); });
    QDialog* selection = panel->selection_dialog();
    if (selection == nullptr) return 1;
    Find<QAbstractButton>(*selection, "Command1(0)")->click();  // 全選択
    timer.Time(side == 0 ? "集計実行 (500 rooms)" : "集計実行 (100 places)",
               [&] { Find<QAbstractButton>(*selection, "Command2")->click(); });
  }
  click("Command4(2)");
  timer.Time("建具廻り 集計開始", [&] { click("Command5(0)"); });
  click("Command4(3)");
  timer.Time("工種別全体集計 集計開始", [&] { click("Command6(0)"); });
  timer.Time("Exceに送る (工種別)", [&] { click("Command6(1)"); });
  click("Command4(0)");
  timer.Time("Exceに送る (内部 床)", [&] { click("Command2(1)"); });
  timer.Time("元に戻す (aggregation)", [&] { toolbar("Undo"); });
  timer.Time("上書き保存 (aggregated)", [&] { toolbar("Save"); });
  timer.Report();
  return 0;
}
