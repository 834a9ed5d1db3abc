// The platform layer: real message boxes and file dialogs, answered by the
// test from inside their modal loops, and the single-copy lock.
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QStyleOptionGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <functional>
#include <future>

#include "gtest/gtest.h"
#include "ui/app_style.h"
#include "ui/qt_platform.h"
#include "ui/single_instance.h"

namespace veltrano {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

// Runs `act` on the modal dialog of class T as soon as it is up (the
// event loop is polled until it is: dialogs follow one another).
template <typename T>
void WhenModal(std::function<void(QWidget*)> act) {
  auto* poll = new QTimer();
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (qobject_cast<T*>(modal) == nullptr || !modal->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    act(modal);
  });
  poll->start();
}

// Closes a file dialog as its "save" or "open" button would, with the name
// typed into it.
void Accept(QFileDialog* dialog) {
  QMetaObject::invokeMethod(dialog, "done", Q_ARG(int, QDialog::Accepted));
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
  WhenModal<QMessageBox>([&](QWidget* m) { seen = SeeAndPress(m, Q("いいえ(&N)")); });
  EXPECT_EQ(dialogs.Ask("Veltrano：終了確認", "保存して終了しますか？",
                        Buttons::kYesNoCancel),
            Answer::kNo);
  EXPECT_EQ(seen.title, Q("Veltrano：終了確認"));
  EXPECT_EQ(seen.text, Q("保存して終了しますか？"));
  EXPECT_EQ(seen.icon, QMessageBox::Question);
  EXPECT_TRUE(seen.buttons.contains(Q("はい(&Y)")));
  EXPECT_TRUE(seen.buttons.contains(Q("キャンセル")));

  WhenModal<QMessageBox>([&](QWidget* m) { seen = SeeAndPress(m, Q("OK")); });
  EXPECT_EQ(dialogs.Ask("確認", "1F 事務室を削除します。", Buttons::kOkCancel),
            Answer::kOk);
  WhenModal<QMessageBox>([&](QWidget* m) { seen = SeeAndPress(m, Q("キャンセル")); });
  EXPECT_EQ(dialogs.Ask("確認", "1F 事務室を削除します。", Buttons::kOkCancel),
            Answer::kCancel);
  // Escape is Cancel where there is one, else No.
  WhenModal<QMessageBox>([&](QWidget* m) { qobject_cast<QDialog*>(m)->reject(); });
  EXPECT_EQ(dialogs.Ask("t", "x", Buttons::kYesNo), Answer::kNo);

  WhenModal<QMessageBox>([&](QWidget* m) { seen = SeeAndPress(m, Q("OK")); });
  dialogs.ShowMessage("Veltrano", "重複起動", MessageIcon::kWarning);
  EXPECT_EQ(seen.text, Q("重複起動"));
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
  EXPECT_EQ(seen.buttons, QStringList{Q("OK")});
}

// A question of three captioned choices answers as Yes, No and Cancel in
// order; closing it is the third.
TEST(QtDialogsTest, ChoicesAreCaptionedAndAnswerInOrder) {
  QtDialogs dialogs;
  const ChoiceCaptions captions{"読み取り専用で開く", "開く", "キャンセル"};
  BoxSeen seen;
  WhenModal<QMessageBox>([&](QWidget* m) { seen = SeeAndPress(m, Q("読み取り専用で開く")); });
  EXPECT_EQ(dialogs.AskChoice("確認", "この物件は sato（pc1）が開いています。", captions,
                              MessageIcon::kWarning),
            Answer::kYes);
  EXPECT_EQ(seen.buttons.size(), 3);
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
  WhenModal<QMessageBox>([&](QWidget* m) { seen = SeeAndPress(m, Q("開く")); });
  EXPECT_EQ(dialogs.AskChoice("確認", "x", captions), Answer::kNo);
  WhenModal<QMessageBox>([&](QWidget* m) { qobject_cast<QDialog*>(m)->reject(); });
  EXPECT_EQ(dialogs.AskChoice("確認", "x", captions), Answer::kCancel);
}

TEST(QtDialogsTest, TheWindowCatchesUpBeforeEveryBox) {
  QtDialogs dialogs;
  int before_any_box = 0;
  dialogs.SetBeforeShowing([&] {
    if (QApplication::activeModalWidget() == nullptr) ++before_any_box;
    // A box raised while catching up comes up without another catch-up.
    WhenModal<QMessageBox>([](QWidget* m) { SeeAndPress(m, Q("OK")); });
    dialogs.ShowMessage("t", "inner");
  });
  WhenModal<QMessageBox>([](QWidget* m) { SeeAndPress(m, Q("OK")); });
  dialogs.ShowMessage("建具廻り集計", "終了しました。");
  WhenModal<QMessageBox>([](QWidget* m) { SeeAndPress(m, Q("OK")); });
  EXPECT_EQ(dialogs.Ask("確認", "x", Buttons::kOkCancel), Answer::kOk);
  EXPECT_EQ(before_any_box, 2);
}

TEST(QtFileDialogsTest, DialogsShowTheRequestAndReturnTheChosenFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QtFileDialogs files;
  FileDialogRequest request;
  request.title = "名前を変えて保存";
  request.default_extension = "xdt";
  request.folder = QStringToPath(dir.path());

  QString title, directory, suffix;
  QStringList filters;
  WhenModal<QFileDialog>([&](QWidget* m) {
    auto* d = qobject_cast<QFileDialog*>(m);
    ASSERT_NE(d, nullptr);
    title = d->windowTitle();
    directory = d->directory().absolutePath();
    filters = d->nameFilters();
    suffix = d->defaultSuffix();
    d->findChild<QLineEdit*>("fileNameEdit")->setText(Q("北棟"));
    Accept(d);
  });
  const auto chosen = files.ChooseFileToSave(request);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(PathToQString(*chosen), dir.filePath(Q("北棟.xdt")));
  EXPECT_EQ(title, Q("名前を変えて保存"));
  EXPECT_EQ(directory, QDir(dir.path()).absolutePath());
  EXPECT_EQ(filters, QStringList{"*.xdt"});
  EXPECT_EQ(suffix, "xdt");

  // An existing file is returned without a question of the dialog's own:
  // the command that saves asks, the same in the window and in scripts.
  QFile existing(dir.filePath(Q("北棟.xdt")));
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.close();
  int boxes = 0;
  QTimer watch;
  watch.setInterval(5);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(
            QApplication::activeModalWidget())) {
      ++boxes;
      box->reject();
    }
  });
  watch.start();
  WhenModal<QFileDialog>([&](QWidget* m) {
    auto* d = qobject_cast<QFileDialog*>(m);
    ASSERT_NE(d, nullptr);
    d->findChild<QLineEdit*>("fileNameEdit")->setText(Q("北棟.xdt"));
    Accept(d);
  });
  const auto replaced = files.ChooseFileToSave(request);
  watch.stop();
  ASSERT_TRUE(replaced.has_value());
  EXPECT_EQ(PathToQString(*replaced), dir.filePath(Q("北棟.xdt")));
  EXPECT_EQ(boxes, 0);

  WhenModal<QFileDialog>([&](QWidget* m) {
    auto* d = qobject_cast<QFileDialog*>(m);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->fileMode(), QFileDialog::ExistingFile);
    d->reject();
  });
  // Cancel is nothing.
  EXPECT_FALSE(files.ChooseFileToOpen(request).has_value());
}

TEST(QtClipboardTest, PlainTextGoesOutWithItsRowsFormBesideIt) {
  QtClipboard clipboard;
  ASSERT_TRUE(clipboard.PutText("a\tb\r工種\t", "a\tb\r\n工種\t"));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("a\tb\r工種\t"));
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->data(QtClipboard::kRowsMimeType), QByteArray("a\tb\r\n工種\t"));
  EXPECT_EQ(clipboard.Text(), std::optional<std::string>("a\tb\r工種\t"));
  // Text another program put there is read; an emptied clipboard reads "".
  QGuiApplication::clipboard()->setText("1\t2");
  EXPECT_EQ(clipboard.Text(), std::optional<std::string>("1\t2"));
  ASSERT_TRUE(clipboard.Clear());
  EXPECT_EQ(clipboard.Text(), std::optional<std::string>(""));
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

TEST(SingleInstanceTest, ASecondCopyBringsTheRunningWindowToTheFront) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString lock_path = dir.filePath("veltrano/veltrano.lock");
  const QString socket_path = SingleInstanceSocketPath(lock_path);
  // Nobody listens yet: the ring goes unanswered, at once.
  EXPECT_FALSE(RingRunningInstance(socket_path, 200));

  auto lock = LockSingleInstance(lock_path);
  ASSERT_NE(lock, nullptr);
  // A socket left by a copy that ended abnormally does not keep the door shut.
  QFile(socket_path).open(QIODevice::WriteOnly);
  InstanceDoorbell doorbell;
  ASSERT_TRUE(doorbell.Listen(socket_path));
  QWidget window;
  window.showMinimized();
  int rings = 0;
  QObject::connect(&doorbell, &InstanceDoorbell::rung, &window, [&] {
    ++rings;
    BringToFront(&window);
  });

  // The later copy rings from a thread of its own and waits for the answer
  // while this one's event loop runs.
  std::future<bool> answered = std::async(std::launch::async, [socket_path] {
    return RingRunningInstance(socket_path);
  });
  while (answered.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  EXPECT_TRUE(answered.get());
  EXPECT_EQ(rings, 1);
  EXPECT_FALSE(window.windowState() & Qt::WindowMinimized);
  EXPECT_TRUE(window.isVisible());

  // A copy started with a project hands the file over.
  QString requested;
  QObject::connect(&doorbell, &InstanceDoorbell::openRequested, &window,
                   [&](const QString& project) { requested = project; });
  const QString project = QString::fromUtf8("/tmp/物件 a/山田邸.xdt");
  std::future<bool> handed = std::async(std::launch::async, [socket_path, project] {
    return RingRunningInstance(socket_path, 2000, project);
  });
  while (handed.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  EXPECT_TRUE(handed.get());
  EXPECT_EQ(rings, 2);
  EXPECT_EQ(requested, project);
}

class TitledBox : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;
  int LabelWidth() const {
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_GroupBox, &option,
                                   QStyle::SC_GroupBoxLabel, this).width();
  }
};

TEST(AppStyleTest, GroupBoxTitlesAreAsWideAsTheirText) {
  AppStyle style;
  const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
  if (japanese.isEmpty()) GTEST_SKIP() << "no Japanese font";
  for (const QString& family : japanese) {
    for (const char* title : {"《建具登録》", "《集計》", "<<単位登録>>"}) {
      TitledBox box(Q(title));
      box.setStyle(&style);
      QFont font = box.font();
      font.setFamily(family);
      font.setPointSizeF(9.5 * 1.3);
      box.setFont(font);
      EXPECT_GE(box.LabelWidth(), box.fontMetrics().horizontalAdvance(box.title()))
          << family.toStdString() << " " << title;
    }
  }
}

}  // namespace
}  // namespace veltrano
