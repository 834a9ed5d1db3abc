// The platform layer: real message boxes and file dialogs, answered by the
// test from inside their modal loops, and the single-copy lock.
#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "gtest/gtest.h"
#include "ui/qt_platform.h"
#include "ui/single_instance.h"

namespace veltrano {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

// Runs `act` on the modal dialog as soon as it is up.
void WhenModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    act(modal);
  });
}

struct BoxSeen {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
};

BoxSeen SeeAndPress(QWidget* modal, const QString& caption) {
  auto* box = qobject_cast<QMessageBox*>(modal);
  BoxSeen seen;
  if (box == nullptr) return seen;
  seen.title = box->windowTitle();
  seen.text = box->text();
  seen.icon = box->icon();
  for (QAbstractButton* b : box->buttons()) seen.buttons.append(b->text());
  for (QAbstractButton* b : box->buttons()) {
    if (b->text() == caption) b->click();
  }
  return seen;
}

TEST(QtDialogsTest, QuestionsShowTheirTextsAndReturnTheButtonPressed) {
  QtDialogs dialogs;
  BoxSeen seen;
  WhenModal([&](QWidget* m) { seen = SeeAndPress(m, Q("いいえ(&N)")); });
  EXPECT_EQ(dialogs.Ask("Veltrano：終了確認", "保存して終了しますか？",
                        Buttons::kYesNoCancel),
            Answer::kNo);
  EXPECT_EQ(seen.title, Q("Veltrano：終了確認"));
  EXPECT_EQ(seen.text, Q("保存して終了しますか？"));
  EXPECT_EQ(seen.icon, QMessageBox::Question);
  EXPECT_TRUE(seen.buttons.contains(Q("はい(&Y)")));
  EXPECT_TRUE(seen.buttons.contains(Q("キャンセル")));

  WhenModal([&](QWidget* m) { seen = SeeAndPress(m, Q("OK")); });
  EXPECT_EQ(dialogs.Ask("確認", "1F 事務室を削除します。", Buttons::kOkCancel),
            Answer::kOk);
  WhenModal([&](QWidget* m) { seen = SeeAndPress(m, Q("キャンセル")); });
  EXPECT_EQ(dialogs.Ask("確認", "1F 事務室を削除します。", Buttons::kOkCancel),
            Answer::kCancel);
  // Escape is Cancel where there is one, else No.
  WhenModal([&](QWidget* m) { qobject_cast<QDialog*>(m)->reject(); });
  EXPECT_EQ(dialogs.Ask("t", "x", Buttons::kYesNo), Answer::kNo);

  WhenModal([&](QWidget* m) { seen = SeeAndPress(m, Q("OK")); });
  dialogs.ShowMessage("Veltrano", "重複起動", MessageIcon::kWarning);
  EXPECT_EQ(seen.text, Q("重複起動"));
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
  EXPECT_EQ(seen.buttons, QStringList{Q("OK")});
}

TEST(QtFileDialogsTest, DialogsShowTheRequestAndReturnTheChosenFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QtFileDialogs files;
  FileDialogRequest request;
  request.title = "名前を変えて保存";
  request.default_extension = "xdt";
  request.folder = QStringToPath(dir.path());
  request.ask_before_replace = true;

  QFileDialog* seen = nullptr;
  QString title, directory, suffix;
  QStringList filters;
  bool confirms = false;
  WhenModal([&](QWidget* m) {
    seen = qobject_cast<QFileDialog*>(m);
    ASSERT_NE(seen, nullptr);
    title = seen->windowTitle();
    directory = seen->directory().absolutePath();
    filters = seen->nameFilters();
    suffix = seen->defaultSuffix();
    confirms = !seen->testOption(QFileDialog::DontConfirmOverwrite);
    seen->findChild<QLineEdit*>("fileNameEdit")->setText(Q("北棟"));
    QMetaObject::invokeMethod(seen, "accept");
  });
  const auto chosen = files.ChooseFileToSave(request);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(PathToQString(*chosen), dir.filePath(Q("北棟.xdt")));
  EXPECT_EQ(title, Q("名前を変えて保存"));
  EXPECT_EQ(directory, QDir(dir.path()).absolutePath());
  EXPECT_EQ(filters, QStringList{"*.xdt"});
  EXPECT_EQ(suffix, "xdt");
  EXPECT_TRUE(confirms);

  // A new project's dialog does not ask before replacing; cancel is nothing.
  request.ask_before_replace = false;
  WhenModal([&](QWidget* m) {
    auto* d = qobject_cast<QFileDialog*>(m);
    ASSERT_NE(d, nullptr);
    confirms = !d->testOption(QFileDialog::DontConfirmOverwrite);
    d->reject();
  });
  EXPECT_FALSE(files.ChooseFileToSave(request).has_value());
  EXPECT_FALSE(confirms);

  WhenModal([&](QWidget* m) {
    auto* d = qobject_cast<QFileDialog*>(m);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->fileMode(), QFileDialog::ExistingFile);
    d->reject();
  });
  EXPECT_FALSE(files.ChooseFileToOpen(request).has_value());
}

TEST(SingleInstanceTest, ASecondCopyFindsTheLockTaken) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("run/veltrano/veltrano.lock");
  auto first = LockSingleInstance(path);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(LockSingleInstance(path), nullptr);
  first.reset();
  EXPECT_NE(LockSingleInstance(path), nullptr);
  EXPECT_TRUE(SingleInstanceLockPath().endsWith("/veltrano/veltrano.lock"));
}

}  // namespace
}  // namespace veltrano
