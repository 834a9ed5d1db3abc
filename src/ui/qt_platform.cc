#include "ui/qt_platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QListWidget>
#include <QMimeData>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QTimer>
#include <QUrl>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <utility>

namespace veltrano {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToStdString(const QString& text) { return text.toStdString(); }

QString PathToQString(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

QPushButton* NamedButton(const QString& text, const QString& name, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

void SetListItems(QListWidget* list, const std::vector<std::string>& items) {
  QStringList texts;
  for (const std::string& item : items) {
    if (!item.empty()) texts.append(ToQString(item));
  }
  bool same = list->count() == texts.size();
  for (int i = 0; same && i < texts.size(); ++i) {
    same = list->item(i)->text() == texts[i];
  }
  if (!same) {
    list->clear();
    list->addItems(texts);
  }
}

std::filesystem::path QStringToPath(const QString& text) {
  return std::filesystem::path(QFile::encodeName(text).toStdString());
}

bool InstallQtJapaneseTexts() {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) return false;
  auto* texts = new QTranslator(app);
  texts->setObjectName("QtJapaneseTexts");
  if (!texts->load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_",
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete texts;
    return false;
  }
  QCoreApplication::installTranslator(texts);
  return true;
}

namespace {

QMessageBox::Icon IconOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation: return QMessageBox::Information;
    case MessageIcon::kWarning: return QMessageBox::Warning;
    case MessageIcon::kCritical: return QMessageBox::Critical;
    case MessageIcon::kQuestion: return QMessageBox::Question;
    case MessageIcon::kNone: break;
  }
  return QMessageBox::NoIcon;
}

// The captions a Japanese desktop gives the standard buttons.
void CaptionButtons(QMessageBox* box) {
  const std::pair<QMessageBox::StandardButton, const char*> captions[] = {
      {QMessageBox::Ok, "OK"},
      {QMessageBox::Cancel, "キャンセル"},
      {QMessageBox::Yes, "はい(&Y)"},
      {QMessageBox::No, "いいえ(&N)"},
  };
  for (const auto& [button, caption] : captions) {
    if (QAbstractButton* b = box->button(button)) {
      b->setText(QString::fromUtf8(caption));
    }
  }
}

}  // namespace

void QtDialogs::BeforeShowing() {
  // A box raised while the window catches up does not start another catch-up.
  if (!before_showing_ || catching_up_) return;
  catching_up_ = true;
  before_showing_();
  catching_up_ = false;
}

void QtDialogs::ShowMessage(std::string_view title, std::string_view text,
                            MessageIcon icon) {
  BeforeShowing();
  QMessageBox box(IconOf(icon), ToQString(title), ToQString(text),
                  QMessageBox::Ok, parent_);
  box.setObjectName("MessageBox");
  CaptionButtons(&box);
  box.exec();
}

Answer QtDialogs::Ask(std::string_view title, std::string_view text,
                      Buttons buttons, MessageIcon icon) {
  BeforeShowing();
  QMessageBox::StandardButtons standard;
  QMessageBox::StandardButton first = QMessageBox::Ok;
  QMessageBox::StandardButton escape = QMessageBox::Cancel;
  switch (buttons) {
    case Buttons::kOk:
      standard = QMessageBox::Ok;
      escape = QMessageBox::Ok;
      break;
    case Buttons::kOkCancel:
      standard = QMessageBox::Ok | QMessageBox::Cancel;
      break;
    case Buttons::kYesNo:
      standard = QMessageBox::Yes | QMessageBox::No;
      first = QMessageBox::Yes;
      escape = QMessageBox::No;
      break;
    case Buttons::kYesNoCancel:
      standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
      first = QMessageBox::Yes;
      break;
  }
  QMessageBox box(IconOf(icon), ToQString(title), ToQString(text), standard,
                  parent_);
  box.setObjectName("MessageBox");
  box.setDefaultButton(first);
  box.setEscapeButton(escape);
  CaptionButtons(&box);
  box.exec();
  switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok: return Answer::kOk;
    case QMessageBox::Yes: return Answer::kYes;
    case QMessageBox::No: return Answer::kNo;
    default: break;
  }
  // Closed by the window's close button: the escape answer.
  switch (escape) {
    case QMessageBox::Ok: return Answer::kOk;
    case QMessageBox::No: return Answer::kNo;
    default: return Answer::kCancel;
  }
}

Answer QtDialogs::AskChoice(std::string_view title, std::string_view text,
                            const ChoiceCaptions& captions, MessageIcon icon) {
  BeforeShowing();
  QMessageBox box(IconOf(icon), ToQString(title), ToQString(text), QMessageBox::NoButton,
                  parent_);
  box.setObjectName("MessageBox");
  QPushButton* yes = box.addButton(ToQString(captions.yes), QMessageBox::YesRole);
  QPushButton* no = box.addButton(ToQString(captions.no), QMessageBox::NoRole);
  QPushButton* cancel = box.addButton(ToQString(captions.cancel), QMessageBox::RejectRole);
  box.setDefaultButton(cancel);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == yes) return Answer::kYes;
  if (box.clickedButton() == no) return Answer::kNo;
  return Answer::kCancel;
}

void QtDialogs::Beep() { QApplication::beep(); }

std::optional<std::filesystem::path> QtFileDialogs::ChooseFileToOpen(
    const FileDialogRequest& request) {
  return Run(request, /*save=*/false);
}

std::optional<std::filesystem::path> QtFileDialogs::ChooseFileToSave(
    const FileDialogRequest& request) {
  return Run(request, /*save=*/true);
}

std::optional<std::filesystem::path> QtFileDialogs::Run(
    const FileDialogRequest& request, bool save) {
  QFileDialog dialog(parent_, ToQString(request.title),
                     PathToQString(request.folder));
  dialog.setObjectName("FileDialog");
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  // The command that uses the name asks before replacing a file.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.setNameFilter(ToQString(request.filter));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(ToQString(request.default_extension));
  if (!request.suggested_name.empty()) dialog.selectFile(ToQString(request.suggested_name));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList selected = dialog.selectedFiles();
  if (selected.isEmpty() || selected.front().isEmpty()) return std::nullopt;
  return QStringToPath(selected.front());
}

std::optional<std::filesystem::path> PresetFileDialogs::ChooseFileToOpen(
    const FileDialogRequest& request) {
  if (preset_) return std::exchange(preset_, std::nullopt);
  return dialogs_.ChooseFileToOpen(request);
}

void QtProgress::Attach(QProgressBar* bar, std::function<void()> refresh) {
  bar_ = bar;
  refresh_ = std::move(refresh);
}

void QtProgress::ShowProgress(int maximum) {
  // The window is painted at the first step (the room being worked on
  // shows at once), then as ProcessPendingEvents allows.
  since_paint_.invalidate();
  since_bar_moved_.invalidate();
  pending_value_ = -1;
  wait_ms_ = kPaintIntervalMs;
  if (!bar_) return;
  bar_->setRange(0, maximum > 0 ? maximum : 1);
  bar_->setValue(0);
  bar_->show();
}

void QtProgress::SetProgress(int value) {
  if (!bar_) return;
  value = std::min(value, bar_->maximum());
  // Long reads report every line: move the bar only when it shows it, and
  // no more often than the window is painted.
  const int step = std::max(1, bar_->maximum() / 200);
  if (value != bar_->maximum() && value >= bar_->value() &&
      value - bar_->value() < step) {
    return;
  }
  if (since_bar_moved_.isValid() && since_bar_moved_.elapsed() < wait_ms_ &&
      value != bar_->maximum()) {
    pending_value_ = value;
    return;
  }
  pending_value_ = -1;
  bar_->setValue(value);
  since_bar_moved_.start();
}

void QtProgress::HideProgress() {
  pending_value_ = -1;
  if (bar_) bar_->hide();
}

bool QtProgress::EventsDue() const {
  return !since_paint_.isValid() || since_paint_.elapsed() >= wait_ms_;
}

void QtProgress::ProcessPendingEvents() {
  // The window is painted at most every kPaintIntervalMs, and never so
  // often that painting it takes more than a quarter of the operation's
  // time: a window that is slow to paint (large tables) must not make a
  // long operation longer many times over.
  if (!EventsDue()) return;
  QElapsedTimer painting;
  painting.start();
  if (bar_ && pending_value_ >= 0) {
    bar_->setValue(pending_value_);
    pending_value_ = -1;
    since_bar_moved_.start();
  }
  if (refresh_) refresh_();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  wait_ms_ = std::max<qint64>(kPaintIntervalMs, 3 * painting.elapsed());
  since_paint_.start();
}

void QtProgress::ShowStatus(std::string_view text) {
  // A caption that changes for every room is painted as often as the
  // window is (the eye sees no more); the end of an operation at once.
  if (!text.empty()) {
    ProcessPendingEvents();
    return;
  }
  if (refresh_) refresh_();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool QtClipboard::Clear() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return false;
  clipboard->clear();
  return true;
}

bool QtClipboard::PutText(std::string_view text, std::string_view crlf_text) {
  return PutTable(text, crlf_text, {});
}

bool QtClipboard::PutTable(std::string_view text, std::string_view crlf_text,
                           std::string_view html) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return false;
  auto* data = new QMimeData;
  data->setText(ToQString(text));
  if (!html.empty()) data->setHtml(ToQString(html));
  if (!crlf_text.empty()) {
    data->setData(kRowsMimeType, QByteArray(crlf_text.data(),
                                            static_cast<qsizetype>(crlf_text.size())));
  }
  clipboard->setMimeData(data);  // the clipboard takes it over
  return true;
}

std::optional<std::string> QtClipboard::Text() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return std::nullopt;
  return ToStdString(clipboard->text());
}

void OpenWithDesktop(const QString& file, const QString& mime_type,
                     QObject* context, std::function<void()> failed) {
  // Told after the current event, as a launcher's failure is.
  const auto fail = [context, failed] {
    QTimer::singleShot(0, context, failed);
  };
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
  (void)mime_type;
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file))) fail();
#else
  // The program registered for the type: none when the answer is empty.
  // When the question itself cannot be asked (no "xdg-mime", or it does
  // not answer), the launcher is left to find out.
  constexpr int kQueryTimeoutMs = 5000;
  QProcess query;
  query.start(QStringLiteral("xdg-mime"),
              {QStringLiteral("query"), QStringLiteral("default"), mime_type});
  if (query.waitForStarted(kQueryTimeoutMs)) {
    if (query.waitForFinished(kQueryTimeoutMs)) {
      if (query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
          query.readAllStandardOutput().trimmed().isEmpty()) {
        fail();
        return;
      }
    } else {
      query.kill();
      query.waitForFinished(kQueryTimeoutMs);
    }
  }

  // The launcher may stay until the viewer closes: it is watched without
  // waiting, and left running (not destroyed) when the program ends first.
  auto* launcher = new QProcess;
  QObject::connect(launcher, &QProcess::finished, context,
                   [fail](int code, QProcess::ExitStatus status) {
                     if (status != QProcess::NormalExit || code != 0) fail();
                   });
  QObject::connect(launcher, &QProcess::errorOccurred, context,
                   [fail](QProcess::ProcessError error) {
                     if (error == QProcess::FailedToStart) fail();
                   });
  QObject::connect(launcher, &QProcess::finished, launcher, &QObject::deleteLater);
  QObject::connect(launcher, &QProcess::errorOccurred, launcher,
                   [launcher](QProcess::ProcessError error) {
                     if (error == QProcess::FailedToStart) launcher->deleteLater();
                   });
  launcher->setStandardInputFile(QProcess::nullDevice());
  launcher->setStandardOutputFile(QProcess::nullDevice());
  launcher->setStandardErrorFile(QProcess::nullDevice());
  launcher->start(QStringLiteral("xdg-open"), {file});
#endif
}

}  // namespace veltrano
