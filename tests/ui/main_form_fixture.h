#ifndef VELTRANO_TESTS_UI_MAIN_FORM_FIXTURE_H_
#define VELTRANO_TESTS_UI_MAIN_FORM_FIXTURE_H_

#include <QAbstractButton>
#include <QLineEdit>
#include <QString>
#include <filesystem>
#include <ostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "shell/workspace.h"
#include "support/fake_dialogs.h"
#include "xlsx/xlsx_writer.h"
#include "support/workspace_fixture.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"
#include "ui/sheet_view.h"

// Failures print texts as texts.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace veltrano::testing {

inline void PrintTo(const ShownDialog& d, std::ostream* os) {
  *os << (d.question ? "question " : "message ") << d.title << ": " << d.text;
}

// The main window over a started workspace on a base folder of its own,
// with every message and question going to scripted fakes.
class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  template <typename T>
  T* Find(const QString& name) const {
    T* widget = window->findChild<T*>(name);
    if (widget == nullptr) {
      throw std::runtime_error("no widget named " + name.toStdString());
    }
    return widget;
  }
  // Widgets of an open dialog (the rooms or name dialog).
  template <typename T>
  static T* FindIn(QWidget* parent, const QString& name) {
    T* widget = parent == nullptr ? nullptr : parent->findChild<T*>(name);
    if (widget == nullptr) {
      throw std::runtime_error("no widget named " + name.toStdString());
    }
    return widget;
  }

  void Click(const QString& name) { Click(Find<QAbstractButton>(name)); }
  static void Click(QAbstractButton* button);
  // A toolbar button, by its key ("New", "Open", "Save", "Print").
  void Toolbar(const QString& key);
  // A key with Ctrl, sent to the main window once it is active again.
  void Shortcut(Qt::Key key);
  // The widget that has (or gets, once its window is active) the focus.
  static bool Focused(QWidget* widget) {
    return widget->window()->focusWidget() == widget;
  }
  // Types `text` character by character into the box that has the focus.
  static void Type(QLineEdit* box, const QString& text);
  // Deletes the dialogs that closed.
  static void Flush();

  // "新規作成" and "新規物件を作成" with the file `name`.xdt chosen.
  void NewProject(const std::string& name);
  // Registers a fitting in 建具リスト as typed: code, W and H, each
  // ended with Enter.
  void RegisterFitting(const QString& code, const QString& width,
                       const QString& height);
  // Adds rooms (or places, in mode 5) through the rooms dialog and closes it.
  void AddRooms(const std::vector<QString>& names);
  // A mouse press on the name at `row` of the room list of the side.
  void PressRoom(int row);

  SheetView* Sheet(int side) const;
  SheetView* ShownSheet() const { return Sheet(ws->side()); }
  QLineEdit* Editor() const;
  // The text the shown sheet shows in the cell.
  QString Shown(int row, int col) const;
  void ClickCell(int row, int col, Qt::MouseButton button = Qt::LeftButton);
  // Clicks the cell, types into the editor and presses Enter.
  void Enter(int row, int col, const QString& text);

  std::filesystem::path DataFile(const std::string& name) const {
    return base / "Data" / name;
  }

  std::filesystem::path root;
  std::filesystem::path base;
  FakeDialogs dialogs;
  FakeFileDialogs files;
  XlsxWriter spreadsheets;
  QtProgress progress;
  // The system clipboard (of this process, under the offscreen platform).
  QtClipboard clipboard;
  std::unique_ptr<Workspace> ws;
  std::unique_ptr<MainForm> window;
};

}  // namespace veltrano::testing

#endif  // VELTRANO_TESTS_UI_MAIN_FORM_FIXTURE_H_
