// The drawing pane beside the sheet: drawings attached, scales set, shapes
// drawn with the mouse, selected and moved, the page rendered in tiles, and
// what stands in for a drawing whose file is gone or unreadable.
#include "ui/drawing_pane.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QToolButton>
#include <QSplitter>
#include <QTest>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "main_form_fixture.h"
#include "ui/display_metrics.h"
#include "ui/takeoff_panel.h"

namespace veltrano::testing {
namespace {

namespace fs = std::filesystem;

// A drawing of `pages` pages of `size`, each with a black square in its
// middle a fifth of the page wide and a grid of thin lines.
void WriteDrawing(const fs::path& path, const QPageSize& size, int pages = 1) {
  QPdfWriter writer(QString::fromStdString(path.string()));
  writer.setResolution(72);
  writer.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF()));
  QPainter painter(&writer);
  const QRectF page = writer.pageLayout().fullRectPoints();
  for (int i = 0; i < pages; ++i) {
    if (i > 0) writer.newPage();
    painter.setPen(QPen(Qt::darkGray, 0.5));
    for (double x = 0; x < page.width(); x += 50)
      painter.drawLine(QPointF(x, 0), QPointF(x, page.height()));
    painter.fillRect(
        QRectF(page.width() * 0.4, page.height() * 0.4, page.width() * 0.2, page.height() * 0.2),
        Qt::black);
  }
}

class DrawingPaneTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    NewProject("図面");
    Toolbar("Drawing");
    pane = Find<DrawingPane>("DrawingPane");
    view = pane->view();
    ASSERT_TRUE(pane->isVisible());
  }

  PlanTakeoff& plans() { return ws->plan_takeoff(); }

  // Attaches an A3 drawing and gives its page `scale`.
  void AttachA3(const QString& scale = "1/100") {
    const fs::path pdf = root / "平面図.pdf";
    WriteDrawing(pdf, QPageSize(QPageSize::A3));
    ASSERT_TRUE(pane->AttachFile(pdf));
    dialogs.Take();
    auto* box = Find<QComboBox>("PlanScale");
    box->lineEdit()->setFocus();
    box->lineEdit()->selectAll();
    Type(box->lineEdit(), scale);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    AlignView();
  }

  // Zoom 1 with the page's top left on a whole pixel: a click at a whole
  // pixel is at a whole point of the page.
  void AlignView() {
    view->ZoomAt(1.0, QPointF(0, 0));
    const QPointF origin = view->ViewOf({0, 0});
    view->Pan(QPointF(std::round(origin.x()) - origin.x(), std::round(origin.y()) - origin.y()));
    ASSERT_DOUBLE_EQ(view->zoom(), 1.0);
  }

  QPoint At(double x, double y) const { return view->ViewOf({x, y}).toPoint(); }
  void ClickAt(double x, double y, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(view, Qt::LeftButton, modifiers, At(x, y));
  }
  const PlanMeasurement& Measurement(int i) {
    return plans().plans().measurements()[static_cast<std::size_t>(i)];
  }

  DrawingPane* pane = nullptr;
  DrawingView* view = nullptr;
};

TEST_F(DrawingPaneTest, ARectangleDrawnOnTheScaledPageIsMeasured) {
  AttachA3();
  ASSERT_EQ(plans().plans().drawings().size(), 1u);
  const PageScale* scale = plans().plans().ScaleOf(0, 0);
  ASSERT_NE(scale, nullptr);
  EXPECT_EQ(scale->ratio_text(), "1/100");
  EXPECT_EQ(Find<QComboBox>("PlanPage")->currentText(), "平面図.pdf  1 / 1");

  Find<QComboBox>("PlanPart")->setCurrentIndex(2);
  emit Find<QComboBox>("PlanPart")->activated(2);
  Click("PlanRect");
  ClickAt(100, 100);
  EXPECT_EQ(view->drawing().size(), 1u);
  ClickAt(200, 150);
  ASSERT_EQ(plans().plans().measurements().size(), 1u);
  const PlanMeasurement& m = Measurement(0);
  EXPECT_EQ(m.kind, MeasureKind::kRect);
  EXPECT_EQ(m.part, 2);
  EXPECT_EQ(m.points, (std::vector<PagePoint>{{100, 100}, {200, 150}}));
  // 100 pt of paper at 1/100: 100 × 25.4 / 72 × 100 = 3527.8 mm.
  const std::optional<Measured> measured = plans().plans().MeasureOf(0);
  ASSERT_TRUE(measured);
  EXPECT_EQ(measured->width_mm, 3528);
  EXPECT_EQ(measured->height_mm, 1764);
  EXPECT_EQ(plans().selected(), 0);
  EXPECT_TRUE(Find<QToolButton>("PlanSend")->isEnabled());
  EXPECT_TRUE(view->drawing().empty());
}

TEST_F(DrawingPaneTest, AScaleThatIsNoRatioIsRefused) {
  AttachA3("1/x");
  EXPECT_EQ(plans().plans().ScaleOf(0, 0), nullptr);
  const std::vector<ShownDialog> shown = dialogs.Take();
  ASSERT_EQ(shown.size(), 1u) << shown[0].text << " / " << shown[1].text;
  EXPECT_NE(shown[0].text.find("1/100"), std::string::npos);
}

TEST_F(DrawingPaneTest, CalibrationTakesTheLengthBetweenTwoPoints) {
  AttachA3();
  pane->set_length_asker([] { return std::optional<double>(5000); });
  Click("PlanCalibrate");
  ClickAt(100, 100);
  ClickAt(300, 100, Qt::ShiftModifier);
  const PageScale* scale = plans().plans().ScaleOf(0, 0);
  ASSERT_NE(scale, nullptr);
  EXPECT_DOUBLE_EQ(scale->millimetres_per_point(), 25.0);
  EXPECT_EQ(Find<QComboBox>("PlanScale")->currentText(), "校正済");
}

TEST_F(DrawingPaneTest, ShiftKeepsASegmentLevelOrPlumbAndEscapeGivesUp) {
  AttachA3();
  Click("PlanLength");
  ClickAt(100, 100);
  ClickAt(300, 110, Qt::ShiftModifier);  // nearer level
  ClickAt(305, 300, Qt::ShiftModifier);  // nearer plumb
  ClickAt(350, 320);                     // free
  QTest::keyClick(view, Qt::Key_Return);
  ASSERT_EQ(plans().plans().measurements().size(), 1u);
  EXPECT_EQ(Measurement(0).kind, MeasureKind::kLength);
  EXPECT_EQ(Measurement(0).points,
            (std::vector<PagePoint>{{100, 100}, {300, 100}, {300, 300}, {350, 320}}));

  Click("PlanArea");
  ClickAt(100, 400);
  ClickAt(200, 400);
  QTest::keyClick(view, Qt::Key_Escape);
  EXPECT_TRUE(view->drawing().empty());
  ClickAt(100, 400);
  ClickAt(200, 400);
  QTest::mouseDClick(view, Qt::LeftButton, {}, At(200, 500));
  // The double click's first click placed the last corner.
  ASSERT_EQ(plans().plans().measurements().size(), 2u);
  EXPECT_EQ(Measurement(1).points, (std::vector<PagePoint>{{100, 400}, {200, 400}, {200, 500}}));

  Click("PlanCount");
  ClickAt(50, 50);
  ClickAt(60, 50);
  ClickAt(70, 50);
  QTest::keyClick(view, Qt::Key_Enter);
  ASSERT_EQ(plans().plans().measurements().size(), 3u);
  EXPECT_EQ(plans().plans().MeasureOf(2)->count, 3);
}

TEST_F(DrawingPaneTest, APointDraggedInTheSelectToolMovesWhenLetGo) {
  AttachA3();
  Click("PlanRect");
  ClickAt(100, 100);
  ClickAt(200, 150);
  Click("PlanSelect");
  ClickAt(20, 20);  // off every shape
  EXPECT_FALSE(plans().selected());
  EXPECT_FALSE(Find<QToolButton>("PlanDelete")->isEnabled());
  ClickAt(150, 120);  // inside the rectangle
  ASSERT_EQ(plans().selected(), 0);

  QTest::mousePress(view, Qt::LeftButton, {}, At(200, 150));
  QTest::mouseMove(view, At(230, 160));
  QTest::mouseMove(view, At(250, 150));
  // Nothing changes before the point is let go.
  EXPECT_EQ(Measurement(0).points[1], (PagePoint{200, 150}));
  QTest::mouseRelease(view, Qt::LeftButton, {}, At(250, 150));
  EXPECT_EQ(Measurement(0).points[1], (PagePoint{250, 150}));
  // 150 pt at 1/100 is 5291.7 mm.
  EXPECT_EQ(plans().plans().MeasureOf(0)->width_mm, 5292);

  Click("PlanDelete");
  EXPECT_TRUE(plans().plans().measurements().empty());
}

TEST_F(DrawingPaneTest, ARowClickedInTheSheetShowsTheShapeSentToIt) {
  AddRooms({"居室"});
  PressRoom(0);
  AttachA3();
  Click("PlanRect");
  ClickAt(100, 100);
  ClickAt(200, 150);
  ClickCell(1, kFormulaColumn[0]);
  Click("PlanSend");
  EXPECT_EQ(Shown(1, kFormulaColumn[0]), "3.528*1.764");
  Click("PlanRect");
  ClickAt(300, 300);
  ClickAt(400, 350);
  ClickCell(2, kFormulaColumn[0]);
  Click("PlanSend");
  ASSERT_EQ(plans().plans().measurements().size(), 2u);
  ASSERT_TRUE(Measurement(1).link);

  ClickCell(1, kFormulaColumn[0]);
  EXPECT_EQ(plans().selected(), 0);
  ClickCell(2, kFormulaColumn[0]);
  EXPECT_EQ(plans().selected(), 1);
}

TEST_F(DrawingPaneTest, ThePaneStandsBesideTheSheetInTheTakeoffModesOnly) {
  auto* splitter = Find<QSplitter>("DrawingSplitter");
  EXPECT_EQ(splitter->indexOf(window->takeoff_panel()), 0);
  EXPECT_EQ(splitter->indexOf(pane), 1);
  EXPECT_GT(window->takeoff_panel()->width(), pane->width());
  Click("HiroiBunrui(2)");
  EXPECT_FALSE(pane->isVisible());
  Click("HiroiBunrui(5)");
  EXPECT_TRUE(pane->isVisible());
  Toolbar("Drawing");
  EXPECT_FALSE(pane->isVisible());
  EXPECT_TRUE(window->takeoff_panel()->isVisible());
}

TEST_F(DrawingPaneTest, NothingIsCutOffAtEveryDisplaySize) {
  AttachA3();
  window->resize(1600, 1000);
  for (int size = 0; size < kDisplaySizes; ++size) {
    window->SelectDisplaySize(size);
    window->resize(1600, 1000);
    QCoreApplication::processEvents();
    for (QWidget* w : pane->findChildren<QWidget*>()) {
      const bool control =
          qobject_cast<QToolButton*>(w) != nullptr || qobject_cast<QComboBox*>(w) != nullptr;
      if (!w->isVisible() || !control) continue;
      EXPECT_GE(w->width(), w->minimumSizeHint().width())
          << w->objectName().toStdString() << " at size " << size;
      EXPECT_TRUE(QRect(QPoint(0, 0), pane->size()).contains(w->geometry()))
          << w->objectName().toStdString() << " at size " << size;
    }
    EXPECT_GE(pane->view()->height(), 300) << "at size " << size;
    EXPECT_GE(window->takeoff_panel()->width(), window->takeoff_panel()->minimumSizeHint().width());
  }
}

TEST_F(DrawingPaneTest, TilesRenderWithoutHoldingUpTheWindow) {
  AttachA3();
  view->FitPage();
  QTRY_VERIFY_WITH_TIMEOUT(view->AllTilesShown(), 20000);
  EXPECT_GT(pane->renderer().cached_tiles(), 0u);
  // The black square in the middle of the page is drawn, the margin white.
  const QImage shot = view->grab().toImage();
  const QPointF middle = view->ViewOf({421, 595});  // A3 is 842 × 1191 pt
  EXPECT_LT(qGray(shot.pixel(middle.toPoint())), 60);
  const QPointF margin = view->ViewOf({30, 30});
  EXPECT_GT(qGray(shot.pixel(margin.toPoint())), 200);
}

TEST_F(DrawingPaneTest, ZoomingFarOnAHugePageKeepsToTilesAndTheCacheBound) {
  // 5 m × 5 m, as large as a PDF page may be.
  const fs::path pdf = root / "配置図.pdf";
  WriteDrawing(pdf, QPageSize(QSizeF(5000, 5000), QPageSize::Millimeter));
  ASSERT_TRUE(pane->AttachFile(pdf));
  PdfPageRenderer& renderer = pane->renderer();
  const QPointF centre = view->rect().center();
  view->ZoomAt(1e6, centre);
  EXPECT_DOUBLE_EQ(view->zoom(), 16.0);
  view->ZoomAt(1e-9, centre);
  EXPECT_DOUBLE_EQ(view->zoom(), view->FitZoom() / 8);
  // Across the page at the finest zoom, then out and in: far more tiles
  // than the cache holds.
  view->FitPage();
  view->ZoomAt(16, centre);
  const std::size_t tile_bytes = 4u * PdfPageRenderer::kTileSize * PdfPageRenderer::kTileSize;
  for (int step = 0; step < 60; ++step) {
    view->Pan(QPointF(-view->width() * 0.9, step % 2 == 0 ? -40.0 : 40.0));
    if (step % 15 == 14) view->ZoomAt(view->zoom() / 2, centre);
    QTRY_VERIFY_WITH_TIMEOUT(view->AllTilesShown(), 20000);
    ASSERT_LE(renderer.cache_bytes(), PdfPageRenderer::kCacheBytes);
    ASSERT_LE(renderer.cache_bytes(), renderer.cached_tiles() * tile_bytes);
  }
  EXPECT_GT(renderer.cached_tiles() * tile_bytes, PdfPageRenderer::kCacheBytes / 2);
}

TEST_F(DrawingPaneTest, AMissingOrUnreadableFileIsSaidInTheView) {
  const fs::path note = root / "メモ.pdf";
  std::ofstream(note) << "not a drawing\n";
  EXPECT_FALSE(pane->AttachFile(note));
  const std::vector<ShownDialog> refused = dialogs.Take();
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_EQ(refused[0].text, "PDF ファイルではありません。");
  EXPECT_TRUE(plans().plans().drawings().empty());

  AttachA3();
  const fs::path copy = plans().DrawingPath(0);
  fs::remove(copy);
  view->update();
  EXPECT_EQ(view->message(), "図面ファイルが見つかりません: 平面図.pdf");
  view->grab();
  Click("PlanRect");
  ClickAt(100, 100);
  ClickAt(200, 200);
  EXPECT_TRUE(plans().plans().measurements().empty());

  // Back, but no longer a PDF.
  std::ofstream(copy, std::ios::binary) << "%PDF-1.4\ngarbage\n%%EOF\n";
  pane->renderer().Forget(QString::fromStdString(copy.string()));
  view->update();
  QTRY_COMPARE_WITH_TIMEOUT(view->message(), QString("図面ファイルを読めません: 平面図.pdf"),
                            20000);
}

}  // namespace
}  // namespace veltrano::testing
