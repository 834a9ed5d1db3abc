#ifndef VELTRANO_UI_AGGREGATION_PANEL_H_
#define VELTRANO_UI_AGGREGATION_PANEL_H_

#include <QDialog>
#include <QGroupBox>
#include <QPointer>
#include <array>
#include <cstdint>

#include "aggregate/aggregation_dialog.h"
#include "aggregate/fittings_summary.h"
#include "aggregate/part_summaries.h"
#include "aggregate/summary_view.h"
#include "aggregate/work_type_table.h"
#include "config/settings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableView;

namespace veltrano {

class GridModel;
class NameListsWidget;
class QtProgress;

// The selection dialog SyukeiForm of "集計開始": the rooms or places of the
// side, the names to aggregate, and the commands between them.
class AggregationDialogWidget : public QDialog {
  Q_OBJECT

 public:
  AggregationDialogWidget(AggregationDialog& dialog, QWidget* parent = nullptr);
  // Shows the dialog's lists as they stand.
  void Refresh();

 signals:
  // "集計実行" was pressed: the window runs it and redraws as it goes.
  void executeRequested();

 public slots:
  void done(int result) override;

 private:
  AggregationDialog& dialog_;
  NameListsWidget* lists_ = nullptr;  // List1(0..1) and Command1(0..2)
};

// The aggregation panel "《集計》" (Frame_Syukei) of mode 2: the four
// summary choices, the part choice, the room-wise, fittings and work-type
// sub-panels with their commands, the summary tables, the work-type and
// unit lists and the editor of the work-type table. Every event goes to the
// aggregation objects; the panel then shows them.
class AggregationPanel : public QGroupBox {
  Q_OBJECT

 public:
  struct Objects {
    SummaryView& view;
    PartSummaries& parts;
    FittingsSummary& fittings;
    WorkTypeTable& work_types;
    AggregationDialog& dialog;
    const Settings& settings;
  };
  // `progress`, when given, draws on the panel's bar while a side is
  // aggregated.
  AggregationPanel(Objects objects, QtProgress* progress,
                   QWidget* parent = nullptr);

  // Shows the objects when they changed since the last time, or `force`.
  void Refresh(bool force = false);
  // Shows what the shown summary table holds now, and nothing else: called
  // while an operation is still running, when its closing message comes.
  void RefreshShownTable();
  void ApplyDisplayScale(double scale, double dpi);
  AggregationDialogWidget* selection_dialog() const { return dialog_widget_; }
  // The summary table on screen.
  QTableView* shown_table() const;

 signals:
  // Command4(mode): the window chooses the summary through the workspace,
  // which also reloads the work-type list.
  void summaryChosen(int mode);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildCommands();
  QWidget* BuildTables();
  QWidget* BuildLists();
  void ExecuteSelection();
  void Export();
  void PlaceEditor();
  void SizeColumns(QTableView* table, GridModel* model);
  std::string ChosenWorkType() const;
  std::string ChosenUnit() const;
  MoneyRounding Rounding() const;

  Objects o_;
  QtProgress* progress_;
  std::array<QPushButton*, 4> summary_buttons_{};  // Command4(0..3)
  QCheckBox* csv_utf8_ = nullptr;                  // CsvUtf8
  std::array<QRadioButton*, 5> part_options_{};      // SyukeiHyoji(0..4)
  QWidget* room_frame_ = nullptr;                    // HeyabetuFrame
  QWidget* fittings_frame_ = nullptr;                // SinkiFrame
  QWidget* work_type_frame_ = nullptr;               // KousyuFrame
  QProgressBar* bar_ = nullptr;                      // SyukeiBar
  QLabel* caption_ = nullptr;                        // SyukeiInfo
  std::array<QTableView*, 5> interior_{};            // SyukeiGrid(0..4)
  std::array<QTableView*, 5> exterior_{};            // GaibuSyukeiGrid(0..4)
  QTableView* fittings_ = nullptr;                   // TateguSyukeiGrid
  QTableView* work_ = nullptr;                       // SyukeiGrid(5)
  std::array<GridModel*, 5> interior_models_{};
  std::array<GridModel*, 5> exterior_models_{};
  GridModel* fittings_model_ = nullptr;
  GridModel* work_model_ = nullptr;
  std::array<QLabel*, 2> list_captions_{};           // Label16(0..1)
  QListWidget* work_type_list_ = nullptr;            // KousyuList
  QListWidget* unit_list_ = nullptr;                 // TaniList
  QLineEdit* editor_ = nullptr;                      // KousyubetuText
  std::uint64_t editor_opening_ = 0;                 // the placing it shows
  QPointer<AggregationDialogWidget> dialog_widget_;
  double scale_ = 1.0;
  double dpi_ = 96.0;
  bool syncing_ = false;
  std::array<std::uint64_t, 5> shown_revisions_{};
};

}  // namespace veltrano

#endif  // VELTRANO_UI_AGGREGATION_PANEL_H_
