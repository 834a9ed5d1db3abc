#include "main_form_fixture.h"

#include <QApplication>
#include <QCoreApplication>
#include <QListWidget>
#include <QSettings>
#include <QTest>
#include <QToolBar>
#include <atomic>
#include <unistd.h>

#include "config/folders.h"
#include "ui/name_dialog.h"
#include "ui/rooms_dialog.h"
#include "ui/sheet_model.h"

namespace veltrano::testing {

void MainFormTest::SetUp() {
  static std::atomic<int> counter{0};
  root = std::filesystem::path(::testing::TempDir()) /
         ("veltrano_ui_main_" + std::to_string(::getpid()) + "_" +
          std::to_string(counter++));
  std::filesystem::remove_all(root);
  base = root / "Veltrano";
  // The window remembers its size in a settings file of the test's own.
  QCoreApplication::setOrganizationName("VeltranoTests");
  QCoreApplication::setApplicationName("veltrano_ui_tests");
  QGuiApplication::setQuitOnLastWindowClosed(false);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                     PathToQString(root / "config"));
  ws = std::make_unique<Workspace>(FoldersUnder(base, root / "home"),
                                   Platform{dialogs, files, progress, clipboard});
  ws->set_spreadsheet_writer(&spreadsheets);
  ASSERT_TRUE(ws->Startup());
  dialogs.Take();
  window = std::make_unique<MainForm>(*ws, &progress);
  // As on the desktop: the window catches up before every box.
  dialogs.before_showing = [this] {
    if (window) window->RefreshBeforeMessage();
  };
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
}

void MainFormTest::TearDown() {
  // Destroyed without a close request: the tests close it themselves.
  window.reset();
  Flush();
  ws.reset();
  std::filesystem::remove_all(root);
  EXPECT_EQ(dialogs.unexpected, 0) << "a question came that the test did not answer";
}

void MainFormTest::Click(QAbstractButton* button) {
  ASSERT_TRUE(button->isVisible()) << button->objectName().toStdString();
  QTest::mouseClick(button, Qt::LeftButton);
}

void MainFormTest::Toolbar(const QString& key) {
  auto* toolbar = Find<QToolBar>("Toolbar1");
  QAction* action = toolbar->findChild<QAction*>(key);
  ASSERT_NE(action, nullptr) << key.toStdString();
  QWidget* button = toolbar->widgetForAction(action);
  ASSERT_NE(button, nullptr);
  QTest::mouseClick(button, Qt::LeftButton);
}

void MainFormTest::Shortcut(Qt::Key key) {
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(window.get(), key, Qt::ControlModifier);
}

void MainFormTest::Type(QLineEdit* box, const QString& text) {
  for (const QChar ch : text) {
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch),
                        Qt::NoModifier);
  }
}

void MainFormTest::RegisterFitting(const QString& code, const QString& width,
                                  const QString& height) {
  Click("HiroiBunrui(3)");
  const QString texts[3] = {code, width, height};
  for (int i = 0; i < 3; ++i) {
    auto* box = Find<QLineEdit>(QString("InpText(%1)").arg(i));
    box->setFocus();
    Type(box, texts[i]);
    QTest::keyClick(box, Qt::Key_Return);
  }
}

void MainFormTest::Flush() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

void MainFormTest::NewProject(const std::string& name) {
  if (ws->session().project_open()) dialogs.answers.push_back(Answer::kNo);
  Toolbar("New");
  NameDialog* dialog = window->name_dialog();
  ASSERT_NE(dialog, nullptr);
  files.answers.push_back(DataFile(name + ".xdt"));
  Click(FindIn<QAbstractButton>(dialog, "Command1(0)"));
  Flush();
  ASSERT_EQ(ws->session().project_name(), name);
}

void MainFormTest::AddRooms(const std::vector<QString>& names) {
  Click("Command1(0)");
  RoomsDialog* dialog = window->rooms_dialog();
  ASSERT_NE(dialog, nullptr);
  auto* box = FindIn<QLineEdit>(dialog, "Text1");
  for (const QString& name : names) {
    box->clear();
    box->setFocus();
    Type(box, name);
    Click(FindIn<QAbstractButton>(dialog, "Command1(0)"));
  }
  Click(FindIn<QAbstractButton>(dialog, "Command2"));
  Flush();
}

void MainFormTest::PressRoom(int row) {
  auto* list = Find<QListWidget>(QString("List1(%1)").arg(ws->side()));
  QTest::mousePress(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(list->item(row)).center());
  QTest::mouseRelease(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

SheetView* MainFormTest::Sheet(int side) const {
  return Find<SheetView>(QString("Grid1(%1)").arg(side));
}

QLineEdit* MainFormTest::Editor() const {
  return ShownSheet()->findChild<QLineEdit*>("Text2");
}

QString MainFormTest::Shown(int row, int col) const {
  SheetView* view = ShownSheet();
  return view->model()
      ->index(SheetModel::ModelRow(row), SheetModel::ModelCol(col))
      .data()
      .toString();
}

void MainFormTest::ClickCell(int row, int col, Qt::MouseButton button) {
  SheetView* view = ShownSheet();
  const QRect cell = view->CellRect(row, col);
  ASSERT_TRUE(view->viewport()->rect().contains(cell.center()))
      << "cell " << row << "," << col << " is not on screen";
  if (button == Qt::RightButton) {
    QTest::mousePress(view->viewport(), button, {}, cell.center());
    QTest::mouseRelease(view->viewport(), button, {}, cell.center());
  } else {
    QTest::mouseClick(view->viewport(), button, {}, cell.center());
  }
}

void MainFormTest::Enter(int row, int col, const QString& text) {
  ClickCell(row, col);
  QLineEdit* editor = Editor();
  ASSERT_TRUE(editor->isVisible()) << "no editor at " << row << "," << col;
  editor->selectAll();
  Type(editor, text);
  QTest::keyClick(editor, Qt::Key_Return);
}

}  // namespace veltrano::testing
