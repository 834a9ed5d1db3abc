#ifndef VELTRANO_UI_TEMPLATES_DIALOG_H_
#define VELTRANO_UI_TEMPLATES_DIALOG_H_

#include <QDialog>

#include "takeoff/templates.h"

class QComboBox;
class QLineEdit;
class QTableView;

namespace veltrano {

class GridModel;

// The template dialog InputForm ("項目リスト登録"): the name box Combo1 with
// the names of the template folder, "読込", "保存" and "削除", the template
// table KoumokuGrid with its cell editor Text1, "行挿入", "行削除", "削除" and
// "閉じる". Every event goes to the item templates; the dialog then shows
// them.
class TemplatesDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TemplatesDialog(ItemTemplates& templates, QWidget* parent = nullptr);

  // Shows the templates: the names, the name box, the table and the editor.
  void Refresh();

 public slots:
  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Runs a command of the templates and shows them; the editor keeps (or
  // takes) the focus when it is open afterwards.
  void Run(void (ItemTemplates::*command)(), bool focus_editor);
  // Lays the editor over the current cell, or hides it; `scroll` brings
  // the cell into view first.
  void PlaceEditor(bool scroll);
  void FocusEditor();
  void SizeTable();

  ItemTemplates& templates_;
  QComboBox* names_ = nullptr;   // Combo1
  QTableView* table_ = nullptr;  // KoumokuGrid
  GridModel* model_ = nullptr;
  QLineEdit* editor_ = nullptr;  // Text1
};

}  // namespace veltrano

#endif  // VELTRANO_UI_TEMPLATES_DIALOG_H_
