#ifndef VELTRANO_UI_PRINT_DIALOG_WIDGET_H_
#define VELTRANO_UI_PRINT_DIALOG_WIDGET_H_

#include <QDialog>
#include <array>

#include "print/print_dialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPrinter;

namespace veltrano {

class NameListsWidget;

// The print dialog InsatuForm: the rooms or places to print and the start
// page, or the summary tables, then "印刷開始" on a printer of the
// platform's choice (a PDF file among them) and "印刷プレビュー" to look at
// the pages first. Every event goes to the PrintDialog object.
class PrintDialogWidget : public QDialog {
  Q_OBJECT

 public:
  PrintDialogWidget(PrintDialog& dialog, QWidget* parent = nullptr);
  void Refresh();
  // "印刷開始" with the platform dialog's file output chosen: the pages into
  // the PDF file at `path`, which is replaced only once it is written
  // whole; a failure is told and leaves a file already there as it was.
  void PrintToPdf(const QString& path);
  // Sets `printer` to A4 landscape for a job named after the open
  // project's file ("山田邸.xdt", or "Veltrano" with no project), so that
  // printing to a file proposes "山田邸.pdf".
  void SetUpPrinter(QPrinter* printer) const;

 public slots:
  void done(int result) override;

 private:
  void StartPrinting();
  void Preview();

  PrintDialog& dialog_;
  NameListsWidget* lists_ = nullptr;                 // List1(0..1), Command3(0..2)
  QLineEdit* start_page_ = nullptr;                  // PageTx
  std::array<QCheckBox*, kSummaryBoxes> boxes_{};    // Check1(0..11)
  QLabel* caption_ = nullptr;                        // Label3
};

}  // namespace veltrano

#endif  // VELTRANO_UI_PRINT_DIALOG_WIDGET_H_
