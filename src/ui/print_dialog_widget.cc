#include "ui/print_dialog_widget.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>
#include <string>

#include "qt/printer_canvas.h"
#include "ui/name_lists.h"
#include "ui/qt_platform.h"

namespace veltrano {

namespace {

constexpr std::array<const char*, kSummaryBoxes> kBoxCaptions = {
    "内部床", "内部巾木", "内部壁", "内部天井", "内部雑", "外部床",
    "外部巾木", "外部壁", "外部天井", "外部雑", "建具廻り", "工種別集計"};


}  // namespace

PrintDialogWidget::PrintDialogWidget(PrintDialog& dialog, QWidget* parent)
    : QDialog(parent), dialog_(dialog) {
  setObjectName("InsatuForm");
  setWindowTitle(ToQString(dialog_.title()));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  const int kind = dialog_.kind();

  if (kind == kPrintInteriorSheets || kind == kPrintExteriorSheets) {
    lists_ = new NameListsWidget(ToQString(dialog_.left_caption()),
                                 ToQString(dialog_.right_caption()), "Command3", this);
    ConnectNameLists(lists_, this, dialog_, [this] { Refresh(); });
    layout->addWidget(lists_, 1);
    auto* note = new QLabel(ToQString(dialog_.note()), this);
    note->setObjectName("Label2");
    layout->addWidget(note);
    auto* page_row = new QHBoxLayout;
    page_row->addWidget(new QLabel("開始頁番号", this));
    start_page_ = new QLineEdit(this);
    start_page_->setObjectName("PageTx");
    start_page_->setMaximumWidth(80);
    start_page_->setAlignment(Qt::AlignRight);
    connect(start_page_, &QLineEdit::textEdited, this,
            [this](const QString& text) {
              dialog_.SetStartPage(ToStdString(text));
              // A refused keystroke: the box shows the number kept.
              const QString page = ToQString(dialog_.start_page());
              if (start_page_->text() != page) start_page_->setText(page);
            });
    page_row->addWidget(start_page_);
    page_row->addStretch(1);
    layout->addLayout(page_row);
  } else if (kind == kPrintSummaries) {
    auto* note = new QLabel("○選択された集計表を印刷します。", this);
    note->setObjectName("Label4");
    layout->addWidget(note);
    auto* grid = new QGridLayout;
    for (int box = 0; box < kSummaryBoxes; ++box) {
      auto* check = new QCheckBox(kBoxCaptions[static_cast<std::size_t>(box)], this);
      check->setObjectName(QString("Check1(%1)").arg(box));
      connect(check, &QCheckBox::clicked, this, [this, box](bool on) {
        dialog_.SetTicked(box, on);
        Refresh();
      });
      boxes_[static_cast<std::size_t>(box)] = check;
      grid->addWidget(check, box < 10 ? box % 5 : 5, box < 10 ? box / 5 : box - 10);
    }
    layout->addLayout(grid);
    auto* sleep_note = new QLabel("（スリープは未集計または項目なし）", this);
    sleep_note->setObjectName("Label5");
    layout->addWidget(sleep_note);
    auto* ticks = new QHBoxLayout;
    auto* all = NamedButton("全選択", "Command5(0)", this);
    connect(all, &QPushButton::clicked, this, [this] {
      dialog_.TickAll();
      Refresh();
    });
    auto* none = NamedButton("全解除", "Command5(1)", this);
    connect(none, &QPushButton::clicked, this, [this] {
      dialog_.UntickAll();
      Refresh();
    });
    ticks->addWidget(all);
    ticks->addWidget(none);
    ticks->addStretch(1);
    layout->addLayout(ticks);
  }

  caption_ = new QLabel(this);
  caption_->setObjectName("Label3");
  layout->addWidget(caption_);
  auto* commands = new QHBoxLayout;
  commands->addStretch(1);
  auto* preview = NamedButton("印刷プレビュー", "PreviewButton", this);
  preview->setToolTip("印刷する前に画面で確認します。");
  connect(preview, &QPushButton::clicked, this, [this] { Preview(); });
  commands->addWidget(preview);
  auto* start = NamedButton("印刷開始", "Command1", this);
  connect(start, &QPushButton::clicked, this, [this] { StartPrinting(); });
  commands->addWidget(start);
  auto* close_button = NamedButton("閉じる", "Command4", this);
  connect(close_button, &QPushButton::clicked, this, [this] { reject(); });
  commands->addWidget(close_button);
  layout->addLayout(commands);
  if (kind == kPrintInteriorSheets || kind == kPrintExteriorSheets) resize(620, 460);
  Refresh();
}

void PrintDialogWidget::Refresh() {
  if (lists_ != nullptr) {
    lists_->Show(dialog_.left(), dialog_.right());
    const QString page = ToQString(dialog_.start_page());
    if (start_page_->text() != page) start_page_->setText(page);
  }
  for (int box = 0; box < kSummaryBoxes; ++box) {
    QCheckBox* check = boxes_[static_cast<std::size_t>(box)];
    if (check == nullptr) continue;
    check->setEnabled(dialog_.box_enabled(box));
    check->setChecked(dialog_.box_ticked(box));
  }
  caption_->setText(ToQString(dialog_.caption()));
}

void PrintDialogWidget::SetUpPrinter(QPrinter* printer) const {
  printer->setPageSize(QPageSize(QPageSize::A4));
  printer->setPageOrientation(QPageLayout::Landscape);
  // The platform's print dialog proposes the job's name without its
  // extension, and ".pdf", for a file: the project's file name keeps a
  // project name with a dot whole.
  const std::string& project = dialog_.project_name();
  printer->setDocName(project.empty() ? QString::fromUtf8("Veltrano")
                                      : ToQString(project) + ".xdt");
}

void PrintDialogWidget::StartPrinting() {
  if (!dialog_.ReadyToPrint()) return;
  QPrinter printer(QPrinter::HighResolution);
  SetUpPrinter(&printer);
  QPrintDialog choose(&printer, this);
  choose.setWindowTitle(QString::fromUtf8("印刷"));
  if (choose.exec() != QDialog::Accepted) return;
  if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
    // Qt's own PDF output writes the file in place and ignores failed
    // writes.
    PrintToPdf(printer.outputFileName());
    return;
  }
  // The platform's dialog may have changed the paper: the printouts are A4
  // landscape.
  SetUpPrinter(&printer);
  QtPrinterCanvas canvas(&printer);
  dialog_.PrintTo(canvas);
  Refresh();
}

void PrintDialogWidget::PrintToPdf(const QString& path) {
  std::string error;
  if (std::unique_ptr<QtPrinterCanvas> canvas = QtPrinterCanvas::ForPdf(path, &error)) {
    dialog_.PrintTo(*canvas);
  } else {
    dialog_.ReportFailure(error);
  }
  Refresh();
}

void PrintDialogWidget::Preview() {
  if (!dialog_.ReadyToPrint()) return;
  QPrinter printer(QPrinter::HighResolution);
  SetUpPrinter(&printer);
  QPrintPreviewDialog preview(&printer, this);
  preview.setWindowTitle(QString::fromUtf8("印刷プレビュー"));
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* to) {
    QtPrinterCanvas canvas(to);
    dialog_.PrintTo(canvas, /*announce=*/false);
  });
  preview.resize(1100, 800);
  preview.exec();
  Refresh();
}

void PrintDialogWidget::done(int result) {
  if (dialog_.shown()) dialog_.Close();
  QDialog::done(result);
}

}  // namespace veltrano
