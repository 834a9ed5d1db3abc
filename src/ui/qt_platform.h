#ifndef VELTRANO_UI_QT_PLATFORM_H_
#define VELTRANO_UI_QT_PLATFORM_H_

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressBar>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>

#include "port/dialogs.h"

class QListWidget;
class QPushButton;

namespace veltrano {

// Core texts are UTF-8; Qt's are UTF-16.
QString ToQString(std::string_view text);
std::string ToStdString(const QString& text);
QString PathToQString(const std::filesystem::path& path);
// A push button of a dialog or panel with its object name; Enter never
// presses it (Enter belongs to the boxes and editors).
QPushButton* NamedButton(const QString& text, const QString& name, QWidget* parent);

// Puts `items` into a list box, leaving it (and its selection) alone when
// it already holds them; empty items are left out.
void SetListItems(QListWidget* list, const std::vector<std::string>& items);
std::filesystem::path QStringToPath(const QString& text);

// Installs Qt's own Japanese texts (the standard dialogs and buttons) from
// the system's Qt translations. Returns false when they are not installed.
bool InstallQtJapaneseTexts();

// Message boxes and questions as modal QMessageBoxes over the main window,
// with the buttons captioned as on a Japanese desktop.
class QtDialogs : public Dialogs {
 public:
  // The window the boxes are centred on (none until the main window exists).
  void SetParent(QWidget* parent) { parent_ = parent; }
  // Runs before every box comes up: the window shows what the operation
  // that speaks has done so far, not the state it started from.
  void SetBeforeShowing(std::function<void()> before) { before_showing_ = std::move(before); }

  void ShowMessage(std::string_view title, std::string_view text,
                   MessageIcon icon = MessageIcon::kNone) override;
  Answer Ask(std::string_view title, std::string_view text, Buttons buttons,
             MessageIcon icon = MessageIcon::kQuestion) override;
  Answer AskChoice(std::string_view title, std::string_view text,
                   const ChoiceCaptions& captions,
                   MessageIcon icon = MessageIcon::kQuestion) override;
  void Beep() override;

 private:
  void BeforeShowing();

  QPointer<QWidget> parent_;
  std::function<void()> before_showing_;
  bool catching_up_ = false;
};

// The open and save dialogs for project files. Qt's own dialog is used
// rather than the desktop's, so that it behaves the same everywhere.
class QtFileDialogs : public FileDialogs {
 public:
  void SetParent(QWidget* parent) { parent_ = parent; }

  std::optional<std::filesystem::path> ChooseFileToOpen(
      const FileDialogRequest& request) override;
  std::optional<std::filesystem::path> ChooseFileToSave(
      const FileDialogRequest& request) override;

 private:
  std::optional<std::filesystem::path> Run(const FileDialogRequest& request,
                                           bool save);
  QPointer<QWidget> parent_;
};

// File dialogs whose next open dialog is answered in advance: a project
// named on the command line is opened through the same command as one
// chosen by hand.
class PresetFileDialogs : public FileDialogs {
 public:
  explicit PresetFileDialogs(FileDialogs& dialogs) : dialogs_(dialogs) {}

  void PresetOpen(std::filesystem::path path) { preset_ = std::move(path); }

  std::optional<std::filesystem::path> ChooseFileToOpen(
      const FileDialogRequest& request) override;
  std::optional<std::filesystem::path> ChooseFileToSave(
      const FileDialogRequest& request) override {
    return dialogs_.ChooseFileToSave(request);
  }

 private:
  FileDialogs& dialogs_;
  std::optional<std::filesystem::path> preset_;
};

// The progress bar of the main window. Between the steps of a long
// operation the window is brought up to date and repainted, at the first
// step and then at most every `kPaintIntervalMs` (painting the sheet after
// each of 500 rooms would take far longer than the work itself); user input
// is held back until the operation ends, since no other command may run
// meanwhile.
class QtProgress : public Progress {
 public:
  // `refresh` brings the window up to date with the workspace.
  void Attach(QProgressBar* bar, std::function<void()> refresh);

  void ShowProgress(int maximum) override;
  void SetProgress(int value) override;
  void HideProgress() override;
  void ProcessPendingEvents() override;
  bool EventsDue() const override;
  // A status caption changed: the window is brought up to date and painted
  // as ProcessPendingEvents paints it, and at once when the caption is
  // emptied (the operation ended).
  void ShowStatus(std::string_view text) override;

  static constexpr int kPaintIntervalMs = 40;

  // The bar the progress is drawn on (an operation of a panel may draw on
  // the panel's own bar for its length).
  QProgressBar* bar() const { return bar_; }
  void SetBar(QProgressBar* bar) { bar_ = bar; }

 private:
  QPointer<QProgressBar> bar_;
  std::function<void()> refresh_;
  QElapsedTimer since_paint_;
  // A bar repaints itself (and what lies under it) at every value it
  // takes: it is moved as often as the window is painted, and meanwhile
  // the value waits here.
  QElapsedTimer since_bar_moved_;
  int pending_value_ = -1;
  // How long after the last painting the next one may come.
  qint64 wait_ms_ = kPaintIntervalMs;
};

// The system clipboard. The plain text goes out as "text/plain"; a table's
// CR LF form is offered beside it as "text/tab-separated-values".
class QtClipboard : public Clipboard {
 public:
  bool Clear() override;
  bool PutText(std::string_view text, std::string_view crlf_text) override;
  bool PutTable(std::string_view text, std::string_view crlf_text,
                std::string_view html) override;
  std::optional<std::string> Text() override;

  static constexpr const char* kRowsMimeType = "text/tab-separated-values";
};

// Opens `file` with the desktop's program for `mime_type` (the operation
// manual with the PDF viewer, a folder with the file manager). On Windows
// and macOS the shell opens it. Elsewhere the launcher "xdg-open" would
// start and end well even when it then finds no program, so the program
// registered for the type is asked of "xdg-mime" first, and the
// launcher's exit status is watched. `failed` is called, on the event loop
// of `context`, when no program is registered for the type, the launcher
// cannot be started or it ends in failure; not at all while the program
// runs.
void OpenWithDesktop(const QString& file, const QString& mime_type,
                     QObject* context, std::function<void()> failed);

}  // namespace veltrano

#endif  // VELTRANO_UI_QT_PLATFORM_H_
