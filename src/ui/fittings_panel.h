#ifndef VELTRANO_UI_FITTINGS_PANEL_H_
#define VELTRANO_UI_FITTINGS_PANEL_H_

#include <QDialog>
#include <QGroupBox>
#include <QPointer>
#include <array>
#include <cstdint>

#include "fittings/takeoff.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;

namespace veltrano {

class GridModel;

// The entered-fitting dialog TateguSyuseiForm ("建具入力済みデータ編集"):
// "修正" reopens the committed fitting, "削除" deletes it.
class EnteredFittingDialog : public QDialog {
  Q_OBJECT

 public:
  EnteredFittingDialog(FittingsTakeoff& takeoff, QWidget* parent = nullptr);

 public slots:
  void done(int result) override;

 private:
  FittingsTakeoff& takeoff_;
};

// The panel "建具廻り" (Frame_Tategu) of mode 1: the code list and check
// list, the current fitting, "全ヶ所数", "2枚引違い", the four calculation
// tables with their candidate lists and cell editor, the commands and the
// entered-data list. It shows the fittings takeoff and sends every event to
// it.
class FittingsPanel : public QGroupBox {
  Q_OBJECT

 public:
  explicit FittingsPanel(FittingsTakeoff& takeoff, QWidget* parent = nullptr);

  // Shows the takeoff when it changed since the last time, or `force`.
  void Refresh(bool force = false);
  void ApplyDisplayScale(double scale, double dpi);
  EnteredFittingDialog* entered_dialog() const { return dialog_; }

 private:
  QWidget* BuildTables();
  void PlaceCandidateList();
  void PlaceEditor();
  void Changed();

  FittingsTakeoff& takeoff_;
  QLabel* list_caption_ = nullptr;                // "<<建具符号>>"
  QListWidget* code_list_ = nullptr;              // TateguHiroiList
  QListWidget* check_list_ = nullptr;             // CheckList
  QPushButton* check_button_ = nullptr;           // CheckBtn
  std::array<QLabel*, 4> labels_{};               // T_Jyoho(0..3)
  QLineEdit* places_ = nullptr;                   // SassiKasyo
  QCheckBox* sliding_ = nullptr;                  // Check1
  std::array<QTableView*, kFittingsTables> tables_{};  // TateguKeisanGrid(0..3)
  std::array<GridModel*, kFittingsTables> models_{};
  std::array<QListWidget*, kCandidateLists> lists_{};  // HinagataList(0..5)
  QLineEdit* editor_ = nullptr;                   // InputText
  QTableView* entered_ = nullptr;                 // TateguDataGrid
  std::array<QLabel*, 6> bands_{};                // its title band
  std::array<QWidget*, kFittingsTables> titles_{};  // the tables' titles
  std::array<QLabel*, 2> glass_titles_{};         // "硝子", "硝子シール"
  GridModel* entered_model_ = nullptr;
  QPointer<EnteredFittingDialog> dialog_;
  std::uint64_t shown_revision_ = ~std::uint64_t{0};
};

}  // namespace veltrano

#endif  // VELTRANO_UI_FITTINGS_PANEL_H_
