// Times of the desktop application on the largest project (500 rooms, 100
// places, 599 fittings), through the real widgets:
//  - opening the project with "開く";
//  - switching rooms with a mouse press on the room list, until the sheet
//    has been repainted;
//  - "再計算" over all 500 rooms.
// Not a test: it prints the times. Runs under the offscreen platform unless
// QT_QPA_PLATFORM names another.
//
//   build/tests/ui/veltrano_ui_timing [SWITCHES]
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <vector>

#include "big_project.h"
#include "config/folders.h"
#include "shell/workspace.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"
#include "ui/sheet_view.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Messages are printed rather than shown; questions are answered No.
class PrintingDialogs : public veltrano::Dialogs {
 public:
  void ShowMessage(std::string_view title, std::string_view text,
                   veltrano::MessageIcon) override {
    std::fprintf(stderr, "message %.*s: %.*s\n", static_cast<int>(title.size()),
                 title.data(), static_cast<int>(text.size()), text.data());
  }
  veltrano::Answer Ask(std::string_view, std::string_view, veltrano::Buttons,
                       veltrano::MessageIcon) override {
    return veltrano::Answer::kNo;
  }
  void Beep() override {}
};

class NoFileDialogs : public veltrano::FileDialogs {
 public:
  std::optional<std::filesystem::path> ChooseFileToOpen(
      const veltrano::FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<std::filesystem::path> ChooseFileToSave(
      const veltrano::FileDialogRequest&) override {
    return std::nullopt;
  }
};

void Report(const char* what, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  const auto at = [&](double q) {
    return times[static_cast<std::size_t>(q * static_cast<double>(times.size() - 1))];
  };
  std::printf("%s: %zu runs, median %.2f ms, 95th percentile %.2f ms, max %.2f ms\n",
              what, times.size(), at(0.5), at(0.95), times.back());
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  const int switches = argc > 1 ? std::atoi(argv[1]) : 300;
  QTemporaryDir dir;
  QCoreApplication::setOrganizationName("VeltranoTiming");
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                     dir.filePath("config"));
  const std::filesystem::path root = veltrano::QStringToPath(dir.path());
  const veltrano::Folders folders =
      veltrano::FoldersUnder(root / "Veltrano", root / "home");
  std::filesystem::create_directories(folders.data);
  const std::filesystem::path project = folders.data / "最大.xdt";
  veltrano::testing::WriteLargestProjectFile(project);

  PrintingDialogs dialogs;
  NoFileDialogs no_files;
  veltrano::PresetFileDialogs files(no_files);
  veltrano::QtProgress progress;
  veltrano::MemoryClipboard clipboard;
  veltrano::Workspace ws(folders, veltrano::Platform{dialogs, files, progress, clipboard});
  if (!ws.Startup()) return 1;
  veltrano::MainForm window(ws, &progress);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;

  files.PresetOpen(project);
  auto start = Clock::now();
  ws.CommandOpen();
  window.Refresh();
  QCoreApplication::processEvents();
  std::printf("open the largest project (%zu rooms, %zu places): %.1f ms\n",
              ws.rooms().room_names(0).size(), ws.rooms().room_names(1).size(),
              Ms(Clock::now() - start));

  auto* list = window.findChild<QListWidget*>("List1(0)");
  auto* sheet = window.findChild<veltrano::SheetView*>("Grid1(0)");
  if (list == nullptr || sheet == nullptr || list->count() == 0) return 1;
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pick(0, list->count() - 1);
  std::vector<double> times;
  for (int i = 0; i < switches; ++i) {
    QListWidgetItem* item = list->item(pick(random));
    list->scrollToItem(item);
    QCoreApplication::processEvents();
    const QPoint at = list->visualItemRect(item).center();
    start = Clock::now();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
    sheet->viewport()->repaint();
    QCoreApplication::processEvents();
    times.push_back(Ms(Clock::now() - start));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
  }
  Report("switch rooms (press on the list until the sheet is repainted)", times);

  auto* recalc = window.findChild<QPushButton*>("Command10(0)");
  start = Clock::now();
  recalc->click();
  std::printf("再計算 over %zu rooms: %.0f ms\n", ws.rooms().room_names(0).size(),
              Ms(Clock::now() - start));

  // The same without a window, for comparison.
  veltrano::Progress silent;
  veltrano::Workspace bare(folders, veltrano::Platform{dialogs, files, silent, clipboard});
  if (!bare.Startup()) return 1;
  files.PresetOpen(project);
  bare.CommandOpen();
  start = Clock::now();
  bare.sheets().RecalculateAll();
  std::printf("再計算 over %zu rooms by the workspace alone: %.0f ms\n",
              bare.rooms().room_names(0).size(), Ms(Clock::now() - start));
  return 0;
}
