#ifndef VELTRANO_UI_DRAWING_PANE_H_
#define VELTRANO_UI_DRAWING_PANE_H_

#include <QPointF>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "port/dialogs.h"
#include "project/plan_geometry.h"
#include "qt/pdf_page_renderer.h"
#include "takeoff/plan_takeoff.h"

class QAbstractButton;
class QComboBox;
class QToolButton;

namespace veltrano {

class PageListModel;
class QtFileDialogs;

// The page of the drawing pane: the shown page of PlanTakeoff in tiles,
// the measurements on it, and the tools that draw, select and move them.
// It keeps only how the page lies in the view (zoom and pan) and the shape
// being drawn; everything else it reads from PlanTakeoff and does through
// it.
class DrawingView : public QWidget {
  Q_OBJECT

 public:
  enum class Tool { kLength, kArea, kRect, kCount, kSelect, kCalibrate };

  DrawingView(PlanTakeoff& plans, PdfPageRenderer& renderer, QWidget* parent = nullptr);

  Tool tool() const { return tool_; }
  void SetTool(Tool tool);
  // "全体表示": the whole page in the view, centred.
  void FitPage();
  // Logical pixels per point, and its bounds for the shown page: from an
  // eighth of the fitting zoom to 16 times 72 dpi.
  double zoom() const { return zoom_; }
  double FitZoom() const;
  double MinZoom() const { return FitZoom() / 8; }
  double MaxZoom() const;
  // Zooms to `zoom` (within the bounds) keeping the page point under the
  // view position `anchor` where it is.
  void ZoomAt(double zoom, QPointF anchor);
  // Moves the page by `delta` logical pixels.
  void Pan(QPointF delta);

  // Where page point `p` is in the view, and the page point at view
  // position `v`.
  QPointF ViewOf(PagePoint p) const;
  PagePoint PageOf(QPointF v) const;

  // Follows PlanTakeoff after a change: another page shown fits the view.
  void Sync();
  // What the view shows instead of the page (a missing or unreadable
  // file, no drawing), empty while the page is shown.
  QString message() const;
  // The points of the shape being drawn.
  const std::vector<PagePoint>& drawing() const { return drawing_; }
  // Whether every tile the view needs at its zoom is rendered.
  bool AllTilesShown() const;

  // The file of the shown drawing, as the renderer knows it.
  QString ShownFile() const;

 signals:
  // A measurement was made, selected, moved or deleted.
  void changed();
  // The two points of "校正" were picked.
  void calibrationPicked(veltrano::PagePoint a, veltrano::PagePoint b);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  struct Drag {
    int index = 0;
    int point = 0;
    PagePoint to;
  };
  const PlanPage* ShownPage() const;
  // `p` kept level or plumb with `from`, whichever is nearer, when Shift
  // is held.
  static PagePoint Constrained(PagePoint p, std::optional<PagePoint> from,
                               Qt::KeyboardModifiers modifiers);
  void Press(QPointF at, Qt::KeyboardModifiers modifiers);
  void Finish();
  void Cancel();
  // The measurement of the shown page under view position `v`, the topmost.
  std::optional<int> HitShape(QPointF v) const;
  // The point of the selected measurement whose handle is under `v`.
  std::optional<int> HitHandle(QPointF v) const;
  void ClampOffset();
  // Whether the point being dragged is still there.
  bool DragStillHolds() const;
  void PaintTiles(QPainter& painter, const PlanPage& page);
  void PaintMeasurements(QPainter& painter);
  void PaintShape(QPainter& painter, MeasureKind kind, const std::vector<QPointF>& points,
                  const QColor& colour, bool selected, const QString& label);

  PlanTakeoff& plans_;
  PdfPageRenderer& renderer_;
  Tool tool_ = Tool::kSelect;
  double zoom_ = 1;
  QPointF offset_;          // the view position of the page's top left
  bool fitted_ = true;      // the zoom follows the view's size
  int shown_drawing_ = -2;  // the page the zoom and pan are for
  int shown_page_ = -1;
  std::vector<PagePoint> drawing_;
  std::optional<QPointF> hover_;
  Qt::KeyboardModifiers hover_modifiers_;
  std::optional<Drag> drag_;
  std::optional<QPointF> pan_from_;
  bool space_held_ = false;
  bool left_pressed_ = false;
  // What the last paint showed: the page, where, and whether every tile
  // of it was rendered.
  struct Painted {
    QString file;
    int page = -1;
    double zoom = 0;
    QPointF offset;
    QSize size;
    bool complete = false;
  };
  Painted painted_;
};

// The drawing pane beside the sheet: "図面追加", the page chooser, the
// scale and "校正", the drawing tools, the part, "拾い表へ",
// "パラメータへ", "削除", "全体表示" and the page view. Everything it does
// goes to PlanTakeoff; Refresh() shows what it holds when it changed.
class DrawingPane : public QWidget {
  Q_OBJECT

 public:
  DrawingPane(PlanTakeoff& plans, Dialogs& dialogs, QWidget* parent = nullptr);
  ~DrawingPane() override;

  void Refresh(bool force = false);
  // "図面追加" with `pdf` chosen; false when it was not attached.
  bool AttachFile(const std::filesystem::path& pdf);
  // The file dialog "図面追加" asks through (Qt's own by default).
  void set_file_dialogs(FileDialogs* files) { files_ = files; }
  // How "校正" asks for the length between its points, in millimetres
  // (an input box by default).
  void set_length_asker(std::function<std::optional<double>()> ask) {
    ask_length_ = std::move(ask);
  }

  DrawingView* view() const { return view_; }
  PdfPageRenderer& renderer() { return *renderer_; }

 signals:
  // Something the pane did may have changed the sheets.
  void changed();

 private:
  void BuildControls();
  void ChooseAndAttach();
  void ApplyScaleText(const QString& text);
  void Calibrate(PagePoint a, PagePoint b);
  void ChooseTool(DrawingView::Tool tool);
  void Changed();
  void SyncControls();

  PlanTakeoff& plans_;
  Dialogs& dialogs_;
  std::unique_ptr<QtFileDialogs> own_files_;
  FileDialogs* files_ = nullptr;
  std::function<std::optional<double>()> ask_length_;
  std::unique_ptr<PdfPageRenderer> renderer_;
  std::uint64_t shown_revision_ = ~std::uint64_t{0};
  PageListModel* page_model_ = nullptr;
  QComboBox* page_box_ = nullptr;   // PlanPage
  QComboBox* scale_box_ = nullptr;  // PlanScale
  QComboBox* part_box_ = nullptr;   // PlanPart
  std::vector<std::pair<DrawingView::Tool, QToolButton*>> tools_;
  QToolButton* send_ = nullptr;         // PlanSend
  QToolButton* send_params_ = nullptr;  // PlanSendParams
  QToolButton* delete_ = nullptr;       // PlanDelete
  DrawingView* view_ = nullptr;
};

}  // namespace veltrano

#endif  // VELTRANO_UI_DRAWING_PANE_H_
