#ifndef VELTRANO_UI_MAIN_WINDOW_H_
#define VELTRANO_UI_MAIN_WINDOW_H_

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>

#include "shell/workspace.h"

class QAction;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSplitter;
class QToolBar;

namespace veltrano {

class AggregationPanel;
class DrawingPane;
class NameDialog;
class PrintDialogWidget;
class FittingsPanel;
class QtProgress;
class RegisterPanel;
class RoomsDialog;
class SettingsPanelWidget;
class TakeoffPanel;

// The project-name label `BukkenName`: a mouse press with Ctrl held (and
// no other modifier) asks for a backup of the project.
class ProjectNameLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ProjectNameLabel(QWidget* parent = nullptr) : QLabel(parent) {}

 signals:
  void backUpRequested();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

// The main window `MainForm`: the toolbar, the six mode buttons, the
// project and room names, the display sizes, the manual button and the five
// mode panels. It holds no state of its own beyond what is on screen: every
// event goes to the workspace and the window then shows the workspace.
class MainForm : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr const char* kTitle = "Veltrano  Lite (3.93)";

  // `progress`, when given, draws on the window's progress bar; it is the
  // Progress the workspace was built with.
  MainForm(Workspace& workspace, QtProgress* progress = nullptr,
           QWidget* parent = nullptr);
  ~MainForm() override;

  // Shows the workspace: names, mode, panels, lists, the sheet and its
  // editor.
  void Refresh(bool focus_editor = false);
  // Brings the summary tables up to what the workspace holds and paints the
  // window now: a closing message then stands over the finished table.
  void RefreshBeforeMessage();

  // What the mode buttons and display-size options do.
  void SelectMode(int mode);
  void SelectDisplaySize(int size);
  int display_size() const { return display_size_; }

  TakeoffPanel* takeoff_panel() const { return takeoff_; }
  // The drawing pane beside the sheet ("図面"), shown in modes 0 and 5.
  DrawingPane* drawing_pane() const { return drawing_pane_; }
  AggregationPanel* aggregation_panel() const { return aggregation_panel_; }
  // The name and rooms dialogs while they are open.
  NameDialog* name_dialog() const;
  RoomsDialog* rooms_dialog() const;
  PrintDialogWidget* print_dialog() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildToolbar();
  QWidget* BuildTopRow();
  QWidget* BuildRoomRow();
  void BuildPanels(QWidget* container);
  void ToolbarCommand(const QString& key);
  // Shows or hides the drawing pane and follows the sheet's current cell
  // with it.
  void RefreshDrawingPane(bool sheet_mode);
  void OpenNameDialog();
  void OpenRoomsDialog();
  void OpenPrintDialog();
  // "元に戻す" and "やり直し": enabled with the name of their step.
  void RefreshHistoryActions();
  // The entries of "最近使った物件", as the list stands when it opens.
  void FillRecentMenu(QMenu* menu);
  // Every panel changes the project through its own widgets: after each
  // key and click the undo and redo actions catch up with the history.
  bool eventFilter(QObject* watched, QEvent* event) override;
  std::uint64_t shown_history_revision_ = ~std::uint64_t{0};
  bool history_refresh_posted_ = false;
  void OpenManual();
  // The manual could not be handed to a viewer: says so with its path and
  // offers to open its folder.
  void ManualNotOpened(const std::filesystem::path& manual);
  void ApplyDisplaySize();
  // Resizes the window to `wanted`, or less where the screen is smaller,
  // and keeps it on the screen.
  void FitToScreen(QSize wanted);
  QRect AvailableArea() const;
  double Dpi() const;

  Workspace& ws_;
  QToolBar* toolbar_ = nullptr;                  // Toolbar1
  QAction* undo_action_ = nullptr;
  QAction* redo_action_ = nullptr;
  std::array<QPushButton*, 6> mode_buttons_{};   // HiroiBunrui(0..5)
  ProjectNameLabel* project_name_ = nullptr;     // BukkenName
  std::array<QRadioButton*, 3> size_options_{};  // SizeOp(0..2)
  QWidget* room_row_ = nullptr;
  QLabel* room_caption_ = nullptr;
  std::array<QLabel*, 2> room_names_{};          // HeyaName(0..1)
  QScrollArea* panel_scroll_ = nullptr;
  QWidget* panels_ = nullptr;
  TakeoffPanel* takeoff_ = nullptr;              // Frame_Siage
  QSplitter* drawing_splitter_ = nullptr;        // the sheet and the drawing
  DrawingPane* drawing_pane_ = nullptr;
  QAction* drawing_action_ = nullptr;            // "図面"
  // The sheet's current cell as the drawing pane last followed it: side,
  // room, row and column.
  std::optional<std::tuple<int, std::string, int, int>> followed_cell_;
  bool pane_acting_ = false;
  FittingsPanel* fittings_panel_ = nullptr;      // Frame_Tategu
  RegisterPanel* register_panel_ = nullptr;      // Frame_TateguList
  AggregationPanel* aggregation_panel_ = nullptr;  // Frame_Syukei
  QtProgress* progress_ = nullptr;
  std::array<QWidget*, 6> mode_panels_{};        // the panel of each mode
  SettingsPanelWidget* settings_panel_ = nullptr;
  QProgressBar* progress_bar_ = nullptr;
  QPointer<NameDialog> name_dialog_;
  QPointer<RoomsDialog> rooms_dialog_;
  QPointer<PrintDialogWidget> print_dialog_;
  QFont panel_font_;
  int display_size_ = 0;
  int shown_mode_ = -1;
};

}  // namespace veltrano

#endif  // VELTRANO_UI_MAIN_WINDOW_H_
