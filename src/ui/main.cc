// The desktop application: refuses a second running copy, finds the base
// folder, starts the workspace and shows the main window.
//
//   veltrano [--base DIR] [PROJECT.xdt]
//
// Also: --screenshot-to DIR saves pictures of every mode at every display
// size and ends; the environment variable VELTRANO_STARTUP_TIMING prints
// how long the window took to come up (set to "quit", the program then
// ends).
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>
#include <QTextStream>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>

#include "config/folders.h"
#include "ui/app_style.h"
#include "shell/workspace.h"
#include "ui/main_window.h"
#include "json/plans_json.h"
#include "xlsx/xlsx_writer.h"
#include "ui/qt_platform.h"
#include "ui/screenshots.h"
#include "ui/single_instance.h"

namespace {

// The operation manual that comes with the program: installed beside it
// (PREFIX/bin/veltrano, PREFIX/share/veltrano/Manual), else the one the
// build made; none when neither is there.
std::filesystem::path ShippedManual() {
  const std::filesystem::path name(std::string(veltrano::kManualFileName));
  const std::filesystem::path installed =
      veltrano::QStringToPath(QCoreApplication::applicationDirPath()) / ".." /
      "share" / "veltrano" / "Manual" / name;
  std::error_code ec;
  if (std::filesystem::is_regular_file(installed, ec)) return installed.lexically_normal();
#ifdef VELTRANO_BUILT_MANUAL
  const std::filesystem::path built(VELTRANO_BUILT_MANUAL);
  if (std::filesystem::is_regular_file(built, ec)) return built;
#endif
  return {};
}

// Milliseconds since the kernel started this process, or -1.
double MillisecondsSinceProcessStart() {
  QFile stat("/proc/self/stat");
  if (!stat.open(QIODevice::ReadOnly)) return -1;
  const QByteArray line = stat.readAll();
  // The command name may hold blanks; fields are counted after its ")".
  const qsizetype close = line.lastIndexOf(')');
  if (close < 0) return -1;
  const QList<QByteArray> fields = line.mid(close + 2).split(' ');
  // Field 22 of the line (start time in clock ticks) is the 20th after ")".
  if (fields.size() < 20) return -1;
  bool ok = false;
  const double ticks = fields[19].toDouble(&ok);
  const long per_second = sysconf(_SC_CLK_TCK);
  timespec now{};
  if (!ok || per_second <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
    return -1;
  }
  const double now_ms = static_cast<double>(now.tv_sec) * 1000.0 +
                        static_cast<double>(now.tv_nsec) / 1e6;
  return now_ms - ticks * 1000.0 / static_cast<double>(per_second);
}

// Calls `done` once, after the first paint of the widget it watches.
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(std::function<void()> done) : done_(std::move(done)) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && done_) {
      watched->removeEventFilter(this);
      // After the paint has reached the screen.
      QTimer::singleShot(0, this, std::exchange(done_, nullptr));
    }
    return false;
  }

 private:
  std::function<void()> done_;
};

// The screen font: a Japanese one when the desktop's cannot write Japanese.
void ChooseFont() {
  QFont font = QApplication::font();
  const QStringList japanese =
      QFontDatabase::families(QFontDatabase::Japanese);
  if (!japanese.contains(font.family())) {
    for (const char* family :
         {"Noto Sans CJK JP", "IPAPGothic", "IPAGothic", "VL PGothic",
          "TakaoPGothic", "Noto Sans JP"}) {
      if (japanese.contains(QString::fromLatin1(family))) {
        font.setFamily(QString::fromLatin1(family));
        break;
      }
    }
  }
  font.setPointSizeF(9.5);
  QApplication::setFont(font);
}

}  // namespace

int main(int argc, char** argv) {
  const auto main_start = std::chrono::steady_clock::now();
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
      Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Veltrano");
  QApplication::setApplicationName("Veltrano");
  QApplication::setDesktopFileName("veltrano");
  QApplication::setStyle(new veltrano::AppStyle);
  ChooseFont();
  // Qt's own texts (the file dialog's) in Japanese.
  if (!veltrano::InstallQtJapaneseTexts()) {
    std::fprintf(stderr,
                 "veltrano: Qt's Japanese translations are not installed "
                 "(qt6-translations-l10n); standard dialogs speak English\n");
  }

  QCommandLineParser parser;
  parser.setApplicationDescription("Veltrano");
  parser.addHelpOption();
  const QCommandLineOption base_option(
      "base", "The base folder (else $VELTRANO_BASE, else ~/Veltrano).", "DIR");
  const QCommandLineOption screenshot_option(
      "screenshot-to", "Save pictures of every mode at every size and end.",
      "DIR");
  parser.addOption(base_option);
  parser.addOption(screenshot_option);
  parser.addPositionalArgument("project", "A project file (.xdt) to open.",
                               "[project]");
  parser.process(app);
  // The project file the program was started with ("" for none).
  const QStringList given = parser.positionalArguments();
  const QString project =
      given.isEmpty() ? QString() : QFileInfo(given.front()).absoluteFilePath();

  veltrano::QtDialogs dialogs;
  const QString lock_path = veltrano::SingleInstanceLockPath();
  const QString socket_path = veltrano::SingleInstanceSocketPath(lock_path);
  const auto lock = veltrano::LockSingleInstance(lock_path);
  if (!lock) {
    // The running copy comes to the front; this one still refuses to run.
    // A project file it was started with (a double-click in the file
    // manager) is handed over, and opens there.
    if (veltrano::RingRunningInstance(socket_path, 2000, project) && !project.isEmpty()) return 0;
    dialogs.ShowMessage("Veltrano", "重複起動", veltrano::MessageIcon::kWarning);
    return 1;
  }

  std::optional<std::string> base;
  if (parser.isSet(base_option)) {
    base = veltrano::ToStdString(parser.value(base_option));
  }
  veltrano::QtFileDialogs qt_files;
  veltrano::PresetFileDialogs files(qt_files);
  veltrano::QtProgress progress;
  veltrano::QtClipboard clipboard;
  veltrano::Workspace workspace(veltrano::ResolveFolders(base),
                                veltrano::Platform{dialogs, files, progress, clipboard});
  const veltrano::PlansJson plans_format;
  workspace.set_plans_format(&plans_format);
  veltrano::XlsxWriter spreadsheets;
  workspace.set_spreadsheet_writer(&spreadsheets);
  if (!workspace.Startup(ShippedManual())) return 1;

  veltrano::MainForm window(workspace, &progress);
  dialogs.SetParent(&window);
  dialogs.SetBeforeShowing([&window] { window.RefreshBeforeMessage(); });
  veltrano::InstanceDoorbell doorbell;
  QObject::connect(&doorbell, &veltrano::InstanceDoorbell::rung, &window,
                   [&window] { veltrano::BringToFront(&window); });
  // A project handed over by a later copy opens as "開く" opens it (after
  // the save question), once no dialog is open.
  QObject::connect(&doorbell, &veltrano::InstanceDoorbell::openRequested, &window,
                   [&](const QString& handed) {
                     if (QApplication::activeModalWidget() != nullptr) return;
                     files.PresetOpen(veltrano::QStringToPath(handed));
                     workspace.CommandOpen();
                     window.Refresh();
                   });
  if (!doorbell.Listen(socket_path)) {
    std::fprintf(stderr, "veltrano: later copies cannot reach this one (%s)\n",
                 qPrintable(socket_path));
  }
  qt_files.SetParent(&window);
  const QString timing = qEnvironmentVariable("VELTRANO_STARTUP_TIMING");
  FirstPaint first_paint([timing, main_start] {
    const double in_main = std::chrono::duration<double, std::milli>(
                               std::chrono::steady_clock::now() - main_start)
                               .count();
    std::fprintf(stderr,
                 "veltrano: main window painted %.0f ms after the process "
                 "started (%.0f ms after main)\n",
                 MillisecondsSinceProcessStart(), in_main);
    if (timing == "quit") QCoreApplication::exit(0);
  });
  if (!timing.isEmpty()) window.installEventFilter(&first_paint);
  window.show();

  if (!project.isEmpty()) {
    files.PresetOpen(veltrano::QStringToPath(project));
    workspace.CommandOpen();
    window.Refresh();
  }

  if (parser.isSet(screenshot_option)) {
    const QString dir = parser.value(screenshot_option);
    QTimer::singleShot(0, &app, [&] {
      const QStringList written =
          veltrano::SaveScreenshots(window, workspace, dir);
      QTextStream out(stdout);
      for (const QString& file : written) out << file << '\n';
      QCoreApplication::exit(0);
    });
  }
  return app.exec();
}
