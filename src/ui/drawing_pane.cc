#include "ui/drawing_pane.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "calc/messages.h"
#include "project/room.h"
#include "qt/pdf_drawing_pages.h"
#include "ui/qt_platform.h"

namespace veltrano {

namespace {

// The colours shapes are drawn in, by part: 床, 巾木, 壁, 天井, 雑.
QColor ShapeColour(int part) {
  static const QColor kColours[kParts] = {QColor(230, 110, 0), QColor(0, 150, 170),
                                          QColor(40, 160, 40), QColor(40, 80, 220),
                                          QColor(200, 40, 160)};
  return kColours[std::clamp(part, 0, kParts - 1)];
}

const QColor kOutside(110, 110, 110);      // around the page
const QColor kPlaceholder(215, 215, 215);  // a tile not yet rendered
constexpr double kMargin = 8;              // around the fitted page
constexpr double kHandleRadius = 4;        // a point's handle
constexpr double kHitDistance = 6;         // how near a click selects
constexpr double kMaxZoom = 16;            // 16 × 72 dpi

double Distance(QPointF a, QPointF b) { return std::hypot(a.x() - b.x(), a.y() - b.y()); }

double DistanceToSegment(QPointF p, QPointF a, QPointF b) {
  const QPointF ab = b - a;
  const double length2 = QPointF::dotProduct(ab, ab);
  if (length2 <= 0) return Distance(p, a);
  const double t = std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0);
  return Distance(p, a + t * ab);
}

// The corners a shape is drawn through: a rectangle's four from its two.
std::vector<QPointF> Outline(MeasureKind kind, const std::vector<QPointF>& points) {
  if (kind == MeasureKind::kRect && points.size() >= 2) {
    const QPointF a = points[0];
    const QPointF b = points[1];
    return {a, QPointF(b.x(), a.y()), b, QPointF(a.x(), b.y())};
  }
  return points;
}

bool Closed(MeasureKind kind) { return kind == MeasureKind::kArea || kind == MeasureKind::kRect; }

}  // namespace

// The pages of the project's drawings as one list, "平面図.pdf  3 / 12":
// an entry is made only when the list shows it, so a drawing of thousands
// of pages costs nothing until it is scrolled through.
class PageListModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  // Takes the drawings' names and page counts when they changed.
  void Sync(const PlanSet& plans) {
    std::vector<QString> names;
    std::vector<int> starts;
    int total = 0;
    for (const PlanDrawing& d : plans.drawings()) {
      names.push_back(ToQString(d.file_name));
      starts.push_back(total);
      total += static_cast<int>(d.pages.size());
    }
    if (names == names_ && starts == starts_ && total == total_) return;
    beginResetModel();
    names_ = std::move(names);
    starts_ = std::move(starts);
    total_ = total;
    endResetModel();
  }
  int Row(int drawing, int page) const {
    if (drawing < 0 || drawing >= static_cast<int>(starts_.size())) return -1;
    return starts_[static_cast<std::size_t>(drawing)] + page;
  }
  std::pair<int, int> PageOf(int row) const {
    const auto it = std::upper_bound(starts_.begin(), starts_.end(), row);
    const int drawing = static_cast<int>(it - starts_.begin()) - 1;
    return {drawing, row - starts_[static_cast<std::size_t>(drawing)]};
  }

  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : total_; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= total_) return {};
    const auto [drawing, page] = PageOf(index.row());
    const int end = drawing + 1 < static_cast<int>(starts_.size())
                        ? starts_[static_cast<std::size_t>(drawing) + 1]
                        : total_;
    const int pages = end - starts_[static_cast<std::size_t>(drawing)];
    return QStringLiteral("%1  %2 / %3")
        .arg(names_[static_cast<std::size_t>(drawing)])
        .arg(page + 1)
        .arg(pages);
  }

 private:
  std::vector<QString> names_;
  std::vector<int> starts_;
  int total_ = 0;
};

// ---------------------------------------------------------------------------
// DrawingView

DrawingView::DrawingView(PlanTakeoff& plans, PdfPageRenderer& renderer, QWidget* parent)
    : QWidget(parent), plans_(plans), renderer_(renderer) {
  setObjectName("PlanView");
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(160, 120);
  connect(&renderer_, &PdfPageRenderer::tileRendered, this, [this](const PageTileKey& key) {
    if (key.file == ShownFile() && key.page == shown_page_) update();
  });
  connect(&renderer_, &PdfPageRenderer::renderFailed, this, [this] { update(); });
}

const PlanPage* DrawingView::ShownPage() const {
  const int d = plans_.shown_drawing();
  const int p = plans_.shown_page();
  const auto& drawings = plans_.plans().drawings();
  if (d < 0 || d >= static_cast<int>(drawings.size())) return nullptr;
  const auto& pages = drawings[static_cast<std::size_t>(d)].pages;
  if (p < 0 || p >= static_cast<int>(pages.size())) return nullptr;
  return &pages[static_cast<std::size_t>(p)];
}

QString DrawingView::ShownFile() const {
  const int d = plans_.shown_drawing();
  if (d < 0) return {};
  return PathToQString(plans_.DrawingPath(d));
}

QString DrawingView::message() const {
  const PlanPage* page = ShownPage();
  if (page == nullptr) return QStringLiteral("「図面追加」で PDF の図面を添付してください。");
  const QString file = ShownFile();
  const QString failure = renderer_.FailureOf(file);
  if (!failure.isEmpty()) return failure;
  if (file.isEmpty() || !QFileInfo(file).isFile()) {
    const PlanDrawing& drawing =
        plans_.plans().drawings()[static_cast<std::size_t>(plans_.shown_drawing())];
    return QStringLiteral("図面ファイルが見つかりません: %1").arg(ToQString(drawing.file_name));
  }
  if (!(page->width > 0) || !(page->height > 0)) {
    return QStringLiteral("図面のページを表示できません: %1 ページ").arg(plans_.shown_page() + 1);
  }
  return {};
}

void DrawingView::SetTool(Tool tool) {
  tool_ = tool;
  Cancel();
  setCursor(tool == Tool::kSelect ? Qt::ArrowCursor : Qt::CrossCursor);
}

double DrawingView::FitZoom() const {
  const PlanPage* page = ShownPage();
  if (page == nullptr || !(page->width > 0) || !(page->height > 0)) return 1;
  const double w = std::max(1.0, width() - 2 * kMargin);
  const double h = std::max(1.0, height() - 2 * kMargin);
  return std::min(w / page->width, h / page->height);
}

double DrawingView::MaxZoom() const { return std::max(kMaxZoom, FitZoom()); }

void DrawingView::FitPage() {
  const PlanPage* page = ShownPage();
  fitted_ = true;
  zoom_ = FitZoom();
  if (page != nullptr) {
    offset_ = QPointF((width() - page->width * zoom_) / 2, (height() - page->height * zoom_) / 2);
  }
  update();
}

void DrawingView::ZoomAt(double zoom, QPointF anchor) {
  const PagePoint at = PageOf(anchor);
  zoom_ = std::clamp(zoom, MinZoom(), MaxZoom());
  fitted_ = false;
  offset_ = anchor - QPointF(at.x * zoom_, at.y * zoom_);
  ClampOffset();
  update();
}

void DrawingView::Pan(QPointF delta) {
  offset_ += delta;
  fitted_ = false;
  ClampOffset();
  update();
}

void DrawingView::ClampOffset() {
  const PlanPage* page = ShownPage();
  if (page == nullptr) return;
  // Some of the page always stays in the view.
  const double keep = 48;
  const double w = page->width * zoom_;
  const double h = page->height * zoom_;
  offset_.setX(std::clamp(offset_.x(), std::min(keep - w, 0.0), std::max(width() - keep, 0.0)));
  offset_.setY(std::clamp(offset_.y(), std::min(keep - h, 0.0), std::max(height() - keep, 0.0)));
}

QPointF DrawingView::ViewOf(PagePoint p) const {
  return offset_ + QPointF(p.x * zoom_, p.y * zoom_);
}

PagePoint DrawingView::PageOf(QPointF v) const {
  return {(v.x() - offset_.x()) / zoom_, (v.y() - offset_.y()) / zoom_};
}

void DrawingView::Sync() {
  if (plans_.shown_drawing() != shown_drawing_ || plans_.shown_page() != shown_page_) {
    shown_drawing_ = plans_.shown_drawing();
    shown_page_ = plans_.shown_page();
    Cancel();
    renderer_.CancelAll();
    FitPage();
  }
  // A moved point is shown by the measurement itself from now on.
  update();
}

void DrawingView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (fitted_) {
    FitPage();
  } else {
    ClampOffset();
  }
}

void DrawingView::hideEvent(QHideEvent* event) {
  renderer_.CancelAll();
  QWidget::hideEvent(event);
}

PagePoint DrawingView::Constrained(PagePoint p, std::optional<PagePoint> from,
                                   Qt::KeyboardModifiers modifiers) {
  if (!from || !(modifiers & Qt::ShiftModifier)) return p;
  if (std::abs(p.x - from->x) >= std::abs(p.y - from->y)) return {p.x, from->y};
  return {from->x, p.y};
}

// --- painting

void DrawingView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kOutside);
  painted_ = {};
  const QString text = message();
  const PlanPage* page = ShownPage();
  if (!text.isEmpty() || page == nullptr) {
    renderer_.CancelAll();
    painter.setPen(Qt::white);
    painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, text);
    return;
  }
  PaintTiles(painter, *page);
  PaintMeasurements(painter);
}

void DrawingView::PaintTiles(QPainter& painter, const PlanPage& page) {
  const QRectF page_rect(offset_, QSizeF(page.width * zoom_, page.height * zoom_));
  const QRectF visible = page_rect & QRectF(rect());
  painter.fillRect(page_rect, kPlaceholder);
  if (visible.isEmpty()) {
    renderer_.CancelAll();
    return;
  }
  const QString file = ShownFile();
  const int page_index = plans_.shown_page();
  const double dpr = devicePixelRatioF();
  const int level = PdfPageRenderer::LevelFor(zoom_ * dpr);
  // Logical pixels per device pixel of a tile at `l`.
  const auto factor = [this](int l) { return zoom_ / PdfPageRenderer::LevelScale(l); };
  const int kTile = PdfPageRenderer::kTileSize;

  // The tiles at level `l` that cover `area` (logical pixels), clipped to
  // the page.
  const auto range = [&](int l, const QRectF& area) {
    const QSize count = PdfPageRenderer::TileCount(page.width, page.height, l);
    const double f = factor(l) * kTile;
    const int x0 = std::max(0, static_cast<int>(std::floor((area.left() - offset_.x()) / f)));
    const int y0 = std::max(0, static_cast<int>(std::floor((area.top() - offset_.y()) / f)));
    const int x1 = std::min(count.width() - 1,
                            static_cast<int>(std::ceil((area.right() - offset_.x()) / f)) - 1);
    const int y1 = std::min(count.height() - 1,
                            static_cast<int>(std::ceil((area.bottom() - offset_.y()) / f)) - 1);
    return QRect(QPoint(x0, y0), QPoint(x1, y1));
  };
  const auto target = [&](int l, int x, int y, const QImage& image) {
    const double f = factor(l);
    return QRectF(offset_.x() + x * kTile * f, offset_.y() + y * kTile * f, image.width() * f,
                  image.height() * f);
  };

  const QRect tiles = range(level, visible);
  // Between two levels the finer is scaled down: smoothly, or thin lines
  // break up.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, std::abs(factor(level) * dpr - 1) > 1e-9);
  std::vector<PageTileKey> missing;
  const QPointF centre = visible.center();
  for (int y = tiles.top(); y <= tiles.bottom(); ++y) {
    for (int x = tiles.left(); x <= tiles.right(); ++x) {
      PageTileKey key{file, page_index, level, x, y};
      if (const QImage* image = renderer_.Tile(key)) {
        painter.drawImage(target(level, x, y, *image), *image);
        continue;
      }
      // Until it is rendered, what another zoom left in the cache stands
      // in for it, scaled.
      const double f = factor(level) * kTile;
      const QRectF area = QRectF(offset_.x() + x * f, offset_.y() + y * f, f, f) & visible;
      for (const int other : {level + 1, level + 2, level - 1, level - 2, level - 3, level - 4,
                              level - 6, level - 8}) {
        if (other < PdfPageRenderer::kMinLevel || other > PdfPageRenderer::kMaxLevel) continue;
        const QRect cover = range(other, area);
        bool all = true;
        for (int cy = cover.top(); all && cy <= cover.bottom(); ++cy) {
          for (int cx = cover.left(); all && cx <= cover.right(); ++cx) {
            all = renderer_.Cached({file, page_index, other, cx, cy});
          }
        }
        if (!all) continue;
        painter.save();
        painter.setClipRect(area);
        for (int cy = cover.top(); cy <= cover.bottom(); ++cy) {
          for (int cx = cover.left(); cx <= cover.right(); ++cx) {
            const QImage* image = renderer_.Tile({file, page_index, other, cx, cy});
            painter.drawImage(target(other, cx, cy, *image), *image);
          }
        }
        painter.restore();
        break;
      }
      missing.push_back(std::move(key));
    }
  }
  // The middle of the view first.
  std::sort(missing.begin(), missing.end(), [&](const PageTileKey& a, const PageTileKey& b) {
    const double fa = factor(level) * kTile;
    const auto d = [&](const PageTileKey& k) {
      return Distance(offset_ + QPointF((k.x + 0.5) * fa, (k.y + 0.5) * fa), centre);
    };
    return d(a) < d(b);
  });
  painted_ = {file, page_index, zoom_, offset_, size(), missing.empty()};
  renderer_.Request(missing);
}

bool DrawingView::AllTilesShown() const {
  // The last paint had every tile, and nothing has moved since.
  return painted_.complete && painted_.file == ShownFile() &&
         painted_.page == plans_.shown_page() && painted_.zoom == zoom_ &&
         painted_.offset == offset_ && painted_.size == size() && isVisible();
}

void DrawingView::PaintMeasurements(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing);
  const PlanSet& set = plans_.plans();
  const auto& measurements = set.measurements();
  const std::optional<int> selected = plans_.selected();
  for (int i = 0; i < static_cast<int>(measurements.size()); ++i) {
    const PlanMeasurement& m = measurements[static_cast<std::size_t>(i)];
    if (m.drawing != plans_.shown_drawing() || m.page != plans_.shown_page()) continue;
    std::vector<QPointF> points;
    points.reserve(m.points.size());
    for (std::size_t k = 0; k < m.points.size(); ++k) {
      const PagePoint p =
          drag_ && DragStillHolds() && drag_->index == i && drag_->point == static_cast<int>(k)
              ? drag_->to
              : m.points[k];
      points.push_back(ViewOf(p));
    }
    QString label;
    if (drag_ && DragStillHolds() && drag_->index == i) {
      // The value as it will be once the point is let go.
      std::vector<PagePoint> moved = m.points;
      moved[static_cast<std::size_t>(drag_->point)] = drag_->to;
      const PageScale* scale = set.ScaleOf(m.drawing, m.page);
      if (scale != nullptr) {
        if (const std::optional<Measured> v = Measure(m.kind, moved, *scale)) {
          label = ToQString(SentText(m.kind, *v));
        }
      }
    } else if (const std::optional<Measured> v = set.MeasureOf(i)) {
      label = ToQString(SentText(m.kind, *v));
    }
    if (label.isEmpty() && m.kind == MeasureKind::kCount) {
      label = QString::number(m.points.size());
    }
    PaintShape(painter, m.kind, points, ShapeColour(m.part), selected == i, label);
  }
  // The shape being drawn, to where the mouse is.
  if (!drawing_.empty()) {
    std::vector<QPointF> points;
    for (const PagePoint& p : drawing_) points.push_back(ViewOf(p));
    if (hover_ && tool_ != Tool::kCount) {
      const PagePoint at = Constrained(
          PageOf(*hover_), tool_ == Tool::kRect ? std::nullopt : std::optional(drawing_.back()),
          hover_modifiers_);
      points.push_back(ViewOf(at));
    }
    MeasureKind kind = MeasureKind::kLength;
    if (tool_ == Tool::kArea) kind = MeasureKind::kArea;
    if (tool_ == Tool::kRect) kind = MeasureKind::kRect;
    if (tool_ == Tool::kCount) kind = MeasureKind::kCount;
    const QColor colour =
        tool_ == Tool::kCalibrate ? QColor(220, 0, 0) : ShapeColour(plans_.part());
    PaintShape(painter, kind, points, colour, true, QString());
  }
}

void DrawingView::PaintShape(QPainter& painter, MeasureKind kind,
                             const std::vector<QPointF>& points, const QColor& colour,
                             bool selected, const QString& label) {
  if (points.empty()) return;
  QColor line = colour;
  line.setAlpha(selected ? 230 : 170);
  QColor fill = colour;
  fill.setAlpha(selected ? 90 : 60);
  painter.setPen(QPen(line, selected ? 3 : 2));
  const std::vector<QPointF> outline = Outline(kind, points);
  if (kind == MeasureKind::kCount) {
    painter.setBrush(fill);
    for (const QPointF& p : points) painter.drawEllipse(p, 7, 7);
  } else if (Closed(kind) && outline.size() >= 3) {
    painter.setBrush(fill);
    painter.drawPolygon(outline.data(), static_cast<int>(outline.size()));
  } else {
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(outline.data(), static_cast<int>(outline.size()));
  }
  if (selected) {
    painter.setPen(QPen(QColor(20, 20, 20), 1));
    painter.setBrush(Qt::white);
    for (const QPointF& p : points) {
      painter.drawRect(QRectF(p.x() - kHandleRadius, p.y() - kHandleRadius, 2 * kHandleRadius,
                              2 * kHandleRadius));
    }
  }
  if (label.isEmpty()) return;
  // Beside the shape: right of its last point, or of the middle of an area.
  QPointF at = points.back();
  if (Closed(kind)) {
    QPointF sum;
    for (const QPointF& p : outline) sum += p;
    at = sum / static_cast<double>(outline.size());
  }
  const QFontMetricsF metrics(painter.font());
  const QRectF box =
      metrics.boundingRect(label).adjusted(-3, -1, 3, 1).translated(at + QPointF(10, -6));
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 255, 255, 210));
  painter.drawRect(box);
  painter.setPen(colour.darker(160));
  painter.drawText(box, Qt::AlignCenter, label);
}

// --- input

std::optional<int> DrawingView::HitShape(QPointF v) const {
  const auto& measurements = plans_.plans().measurements();
  for (int i = static_cast<int>(measurements.size()) - 1; i >= 0; --i) {
    const PlanMeasurement& m = measurements[static_cast<std::size_t>(i)];
    if (m.drawing != plans_.shown_drawing() || m.page != plans_.shown_page()) continue;
    std::vector<QPointF> points;
    for (const PagePoint& p : m.points) points.push_back(ViewOf(p));
    const std::vector<QPointF> outline = Outline(m.kind, points);
    if (m.kind == MeasureKind::kCount) {
      for (const QPointF& p : points) {
        if (Distance(p, v) <= kHitDistance + 7) return i;
      }
      continue;
    }
    const std::size_t n = outline.size();
    const std::size_t edges = Closed(m.kind) ? n : n - 1;
    for (std::size_t k = 0; k < edges && n >= 2; ++k) {
      if (DistanceToSegment(v, outline[k], outline[(k + 1) % n]) <= kHitDistance) return i;
    }
    if (Closed(m.kind) && n >= 3) {
      QPolygonF polygon;
      for (const QPointF& p : outline) polygon << p;
      if (polygon.containsPoint(v, Qt::OddEvenFill)) return i;
    }
  }
  return std::nullopt;
}

std::optional<int> DrawingView::HitHandle(QPointF v) const {
  const std::optional<int> selected = plans_.selected();
  const auto& measurements = plans_.plans().measurements();
  if (!selected || *selected < 0 || *selected >= static_cast<int>(measurements.size())) {
    return std::nullopt;
  }
  const PlanMeasurement& m = measurements[static_cast<std::size_t>(*selected)];
  if (m.drawing != plans_.shown_drawing() || m.page != plans_.shown_page()) return std::nullopt;
  for (int k = 0; k < static_cast<int>(m.points.size()); ++k) {
    if (Distance(ViewOf(m.points[static_cast<std::size_t>(k)]), v) <= kHitDistance) return k;
  }
  return std::nullopt;
}

void DrawingView::Press(QPointF at, Qt::KeyboardModifiers modifiers) {
  if (ShownPage() == nullptr || !message().isEmpty()) return;
  if (tool_ == Tool::kSelect) {
    if (const std::optional<int> handle = HitHandle(at)) {
      const PlanMeasurement& m =
          plans_.plans().measurements()[static_cast<std::size_t>(*plans_.selected())];
      drag_ = Drag{*plans_.selected(), *handle, m.points[static_cast<std::size_t>(*handle)]};
      return;
    }
    plans_.Select(HitShape(at));
    emit changed();
    update();
    return;
  }
  const std::optional<PagePoint> from =
      drawing_.empty() || tool_ == Tool::kRect || tool_ == Tool::kCount
          ? std::nullopt
          : std::optional(drawing_.back());
  drawing_.push_back(Constrained(PageOf(at), from, modifiers));
  if (tool_ == Tool::kRect && drawing_.size() == 2) {
    Finish();
  } else if (tool_ == Tool::kCalibrate && drawing_.size() == 2) {
    const PagePoint a = drawing_[0];
    const PagePoint b = drawing_[1];
    drawing_.clear();
    update();
    emit calibrationPicked(a, b);
  }
  update();
}

void DrawingView::Finish() {
  std::vector<PagePoint> points = std::exchange(drawing_, {});
  update();
  std::size_t needed = 1;
  MeasureKind kind = MeasureKind::kCount;
  switch (tool_) {
    case Tool::kLength:
      kind = MeasureKind::kLength;
      needed = 2;
      break;
    case Tool::kArea:
      kind = MeasureKind::kArea;
      needed = 3;
      break;
    case Tool::kRect:
      kind = MeasureKind::kRect;
      needed = 2;
      break;
    case Tool::kCount:
      kind = MeasureKind::kCount;
      needed = 1;
      break;
    default:
      return;
  }
  // A shape given up before it has its points is no measurement.
  if (points.size() < needed) return;
  plans_.MeasureOnShownPage(kind, std::move(points));
  emit changed();
}

void DrawingView::Cancel() {
  drawing_.clear();
  drag_.reset();
  update();
}

bool DrawingView::DragStillHolds() const {
  // An undo in the middle of a drag may take the measurement or its point
  // away.
  const auto& measurements = plans_.plans().measurements();
  if (drag_->index >= static_cast<int>(measurements.size())) return false;
  return drag_->point <
         static_cast<int>(measurements[static_cast<std::size_t>(drag_->index)].points.size());
}

void DrawingView::mousePressEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && space_held_)) {
    pan_from_ = at;
    setCursor(Qt::ClosedHandCursor);
    return;
  }
  if (event->button() == Qt::LeftButton) {
    left_pressed_ = true;
    Press(at, event->modifiers());
  }
}

void DrawingView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || space_held_) return;
  // The platform delivers the second press of a double click before it,
  // which placed the point; a double click coming alone places it here.
  if (!left_pressed_) Press(event->position(), event->modifiers());
  if (tool_ == Tool::kLength || tool_ == Tool::kArea || tool_ == Tool::kCount) Finish();
}

void DrawingView::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  if (pan_from_) {
    Pan(at - *pan_from_);
    pan_from_ = at;
    return;
  }
  if (drag_ && !DragStillHolds()) drag_.reset();
  if (drag_) {
    const PlanMeasurement& m =
        plans_.plans().measurements()[static_cast<std::size_t>(drag_->index)];
    std::optional<PagePoint> from;
    if (m.points.size() >= 2 && m.kind != MeasureKind::kCount && m.kind != MeasureKind::kRect) {
      from = m.points[static_cast<std::size_t>(drag_->point > 0 ? drag_->point - 1 : 1)];
    }
    drag_->to = Constrained(PageOf(at), from, event->modifiers());
    update();
    return;
  }
  hover_ = at;
  hover_modifiers_ = event->modifiers();
  if (!drawing_.empty()) update();
}

void DrawingView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) left_pressed_ = false;
  if (pan_from_ && (event->button() == Qt::MiddleButton || event->button() == Qt::LeftButton)) {
    pan_from_.reset();
    setCursor(space_held_ ? Qt::OpenHandCursor
                          : (tool_ == Tool::kSelect ? Qt::ArrowCursor : Qt::CrossCursor));
    return;
  }
  if (drag_ && !DragStillHolds()) drag_.reset();
  if (drag_ && event->button() == Qt::LeftButton) {
    const Drag done = *drag_;
    drag_.reset();
    const PlanMeasurement& m = plans_.plans().measurements()[static_cast<std::size_t>(done.index)];
    if (!(m.points[static_cast<std::size_t>(done.point)] == done.to)) {
      plans_.MovePoint(done.index, done.point, done.to);
      emit changed();
    }
    update();
  }
}

void DrawingView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches == 0 || ShownPage() == nullptr) return;
  // A notch is a third of an octave.
  ZoomAt(zoom_ * std::exp2(notches / 3.0), event->position());
  event->accept();
}

void DrawingView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Finish();
      return;
    case Qt::Key_Escape:
      Cancel();
      return;
    case Qt::Key_Space:
      if (!event->isAutoRepeat()) {
        space_held_ = true;
        setCursor(Qt::OpenHandCursor);
      }
      return;
    case Qt::Key_Shift:
      hover_modifiers_ = event->modifiers();
      update();
      return;
    case Qt::Key_Delete:
      if (tool_ == Tool::kSelect && plans_.selected()) {
        plans_.Delete(*plans_.selected());
        emit changed();
        update();
      }
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void DrawingView::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
    space_held_ = false;
    pan_from_.reset();
    setCursor(tool_ == Tool::kSelect ? Qt::ArrowCursor : Qt::CrossCursor);
    return;
  }
  if (event->key() == Qt::Key_Shift) {
    hover_modifiers_ = event->modifiers();
    update();
    return;
  }
  QWidget::keyReleaseEvent(event);
}

// ---------------------------------------------------------------------------
// DrawingPane

DrawingPane::DrawingPane(PlanTakeoff& plans, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      plans_(plans),
      dialogs_(dialogs),
      own_files_(std::make_unique<QtFileDialogs>()),
      renderer_(std::make_unique<PdfPageRenderer>()) {
  setObjectName("DrawingPane");
  own_files_->SetParent(this);
  files_ = own_files_.get();
  ask_length_ = [this]() -> std::optional<double> {
    bool ok = false;
    const double mm =
        QInputDialog::getDouble(this, QStringLiteral("校正"), QStringLiteral("2点間の長さ (mm)："),
                                1000, 0.001, 1e9, 1, &ok);
    return ok ? std::optional(mm) : std::nullopt;
  };
  BuildControls();
  Refresh(true);
}

DrawingPane::~DrawingPane() {
  // The view paints from the renderer: it goes first.
  delete view_;
  view_ = nullptr;
}

void DrawingPane::BuildControls() {
  auto* v = new QVBoxLayout(this);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(2);
  const auto button = [this](const char* caption, const char* name, const char* tip) {
    // Tool buttons: as narrow as their captions, so that the pane fits
    // beside the sheet on the smallest screen.
    auto* b = new QToolButton(this);
    b->setText(QString::fromUtf8(caption));
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(QString::fromUtf8(tip));
    return b;
  };

  // The drawing, its page and scale.
  auto* top = new QHBoxLayout();
  QToolButton* attach = button("図面追加", "PlanAttach", "PDF の図面を物件に添付します");
  connect(attach, &QToolButton::clicked, this, [this] { ChooseAndAttach(); });
  top->addWidget(attach);
  page_model_ = new PageListModel(this);
  page_box_ = new QComboBox(this);
  page_box_->setObjectName("PlanPage");
  page_box_->setToolTip("表示する図面とページ");
  page_box_->setModel(page_model_);
  // Sized by a typical entry, not by measuring every page.
  page_box_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  page_box_->setMinimumContentsLength(8);
  if (auto* list = qobject_cast<QListView*>(page_box_->view())) list->setUniformItemSizes(true);
  connect(page_box_, &QComboBox::activated, this, [this](int row) {
    if (row < 0) return;
    const auto [drawing, page] = page_model_->PageOf(row);
    plans_.ShowPage(drawing, page);
    Changed();
  });
  top->addWidget(page_box_, 1);
  v->addLayout(top);
  // Rows short enough for the pane beside the sheet on the smallest screen.
  auto* scale_row = new QHBoxLayout();
  scale_box_ = new QComboBox(this);
  scale_box_->setObjectName("PlanScale");
  scale_box_->setToolTip("縮尺（1/N）");
  scale_box_->setEditable(true);
  scale_box_->setInsertPolicy(QComboBox::NoInsert);
  scale_box_->addItems({"1/50", "1/100", "1/200"});
  scale_box_->lineEdit()->setPlaceholderText("縮尺");
  scale_box_->setMinimumContentsLength(6);
  connect(scale_box_, &QComboBox::activated, this,
          [this](int index) { ApplyScaleText(scale_box_->itemText(index)); });
  connect(scale_box_->lineEdit(), &QLineEdit::returnPressed, this,
          [this] { ApplyScaleText(scale_box_->currentText()); });
  scale_row->addWidget(scale_box_);
  QToolButton* calibrate =
      button("校正", "PlanCalibrate", "長さの分かる2点をクリックして縮尺を決めます");
  calibrate->setCheckable(true);
  tools_.emplace_back(DrawingView::Tool::kCalibrate, calibrate);
  scale_row->addWidget(calibrate);
  QToolButton* fit = button("全体表示", "PlanFit", "ページ全体を表示します");
  scale_row->addWidget(fit);
  scale_row->addStretch(1);
  v->addLayout(scale_row);

  // The tools, the part and what is done with the selected shape.
  auto* tools_row = new QHBoxLayout();
  struct ToolButton {
    DrawingView::Tool tool;
    const char* caption;
    const char* name;
    const char* tip;
  };
  static constexpr ToolButton kTools[] = {
      {DrawingView::Tool::kLength, "長さ", "PlanLength",
       "クリックで点を置き、ダブルクリックか Enter で終わります"},
      {DrawingView::Tool::kArea, "面積", "PlanArea",
       "クリックで角を置き、ダブルクリックか Enter で閉じます"},
      {DrawingView::Tool::kRect, "矩形", "PlanRect", "対角の2点をクリックします"},
      {DrawingView::Tool::kCount, "箇所", "PlanCount", "数える所をクリックし、Enter で終わります"},
      {DrawingView::Tool::kSelect, "選択", "PlanSelect", "図形を選び、点をドラッグで動かします"},
  };
  for (const ToolButton& t : kTools) {
    QToolButton* b = button(t.caption, t.name, t.tip);
    b->setCheckable(true);
    tools_.emplace_back(t.tool, b);
    tools_row->addWidget(b);
  }
  for (const auto& [tool, b] : tools_) {
    connect(b, &QToolButton::clicked, this, [this, tool = tool] { ChooseTool(tool); });
  }
  part_box_ = new QComboBox(this);
  part_box_->setObjectName("PlanPart");
  part_box_->setToolTip("描く図形の部位");
  for (int part = 0; part < kParts; ++part) {
    QPixmap swatch(12, 12);
    swatch.fill(ShapeColour(part));
    part_box_->addItem(QIcon(swatch), ToQString(kPartNames[static_cast<std::size_t>(part)]));
  }
  connect(part_box_, &QComboBox::activated, this, [this](int part) {
    plans_.set_part(part);
    Changed();
  });
  tools_row->addStretch(1);
  v->addLayout(tools_row);

  auto* send_row = new QHBoxLayout();
  send_row->addWidget(part_box_);
  send_ = button("拾い表へ", "PlanSend", "選んだ図形の値を拾い表の式のセルへ送ります");
  send_params_ =
      button("パラメータへ", "PlanSendParams", "選んだ面積を部屋のパラメータ A・S へ送ります");
  delete_ = button("削除", "PlanDelete", "選んだ図形を削除します");
  connect(send_, &QToolButton::clicked, this, [this] {
    if (plans_.selected()) plans_.SendToSheet(*plans_.selected());
    Changed();
  });
  connect(send_params_, &QToolButton::clicked, this, [this] {
    if (plans_.selected()) plans_.SendToParameters(*plans_.selected());
    Changed();
  });
  connect(delete_, &QToolButton::clicked, this, [this] {
    if (plans_.selected()) plans_.Delete(*plans_.selected());
    Changed();
  });
  send_row->addWidget(send_);
  send_row->addWidget(send_params_);
  send_row->addWidget(delete_);
  send_row->addStretch(1);
  v->addLayout(send_row);

  view_ = new DrawingView(plans_, *renderer_, this);
  connect(view_, &DrawingView::changed, this, [this] { Changed(); });
  connect(view_, &DrawingView::calibrationPicked, this,
          [this](PagePoint a, PagePoint b) { Calibrate(a, b); });
  connect(fit, &QToolButton::clicked, view_, &DrawingView::FitPage);
  v->addWidget(view_, 1);
  ChooseTool(DrawingView::Tool::kSelect);
}

void DrawingPane::ChooseTool(DrawingView::Tool tool) {
  for (const auto& [t, b] : tools_) b->setChecked(t == tool);
  view_->SetTool(tool);
  view_->setFocus();
}

void DrawingPane::Changed() {
  Refresh();
  emit changed();
}

void DrawingPane::Refresh(bool force) {
  if (!force && plans_.revision() == shown_revision_) return;
  shown_revision_ = plans_.revision();
  SyncControls();
  view_->Sync();
}

void DrawingPane::SyncControls() {
  const PlanSet& set = plans_.plans();
  page_model_->Sync(set);
  const int row = page_model_->Row(plans_.shown_drawing(), plans_.shown_page());
  if (page_box_->currentIndex() != row) page_box_->setCurrentIndex(row);
  const PageScale* scale = set.ScaleOf(plans_.shown_drawing(), plans_.shown_page());
  QString scale_text;
  if (scale != nullptr) {
    scale_text =
        scale->ratio_text().empty() ? QStringLiteral("校正済") : ToQString(scale->ratio_text());
  }
  if (!scale_box_->lineEdit()->hasFocus() && scale_box_->currentText() != scale_text) {
    scale_box_->setEditText(scale_text);
  }
  if (part_box_->currentIndex() != plans_.part()) part_box_->setCurrentIndex(plans_.part());
  const bool shown = plans_.shown_drawing() >= 0;
  scale_box_->setEnabled(shown);
  for (const auto& [tool, b] : tools_) b->setEnabled(shown);
  const std::optional<int> selected = plans_.selected();
  send_->setEnabled(selected.has_value());
  delete_->setEnabled(selected.has_value());
  send_params_->setEnabled(selected && *selected < static_cast<int>(set.measurements().size()) &&
                           set.measurements()[static_cast<std::size_t>(*selected)].kind ==
                               MeasureKind::kArea);
}

void DrawingPane::ChooseAndAttach() {
  FileDialogRequest request;
  request.title = "図面追加";
  request.filter = "PDF (*.pdf)";
  request.default_extension = "pdf";
  const std::optional<std::filesystem::path> chosen = files_->ChooseFileToOpen(request);
  if (chosen) AttachFile(*chosen);
}

bool DrawingPane::AttachFile(const std::filesystem::path& pdf) {
  PdfDrawingPages pages;
  const std::optional<int> drawing = plans_.AttachDrawing(pdf, pages);
  // A file attached again under the same name is read anew.
  if (drawing) renderer_->Forget(PathToQString(plans_.DrawingPath(*drawing)));
  Changed();
  return drawing.has_value();
}

void DrawingPane::ApplyScaleText(const QString& text) {
  // An emptied box leaves the scale as it was.
  if (text.trimmed().isEmpty()) return;
  const PageScale* scale = plans_.plans().ScaleOf(plans_.shown_drawing(), plans_.shown_page());
  if (scale != nullptr && ToQString(scale->ratio_text()) == text.trimmed()) return;
  if (scale != nullptr && scale->ratio_text().empty() && text == QStringLiteral("校正済")) return;
  const std::optional<PageScale> parsed = PageScale::FromRatioText(ToStdString(text));
  if (!parsed) {
    dialogs_.ShowMessage(kTitleConfirm, "縮尺は「1/100」のように入力してください。",
                         MessageIcon::kWarning);
    Refresh(true);
    return;
  }
  plans_.SetScaleOfShownPage(*parsed);
  Changed();
}

void DrawingPane::Calibrate(PagePoint a, PagePoint b) {
  const std::optional<double> mm = ask_length_();
  if (mm) {
    const std::optional<PageScale> scale = PageScale::Calibrated(a, b, *mm);
    if (!scale) {
      dialogs_.ShowMessage(kTitleConfirm, "2点と長さから縮尺を決められませんでした。",
                           MessageIcon::kWarning);
    } else {
      plans_.SetScaleOfShownPage(*scale);
    }
  }
  ChooseTool(DrawingView::Tool::kSelect);
  Changed();
}

}  // namespace veltrano
