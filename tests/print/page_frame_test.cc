// The frame of a printed page: the title line with a project name in front
// at 上左, the page number centred over its rule, the names at the top and
// bottom by the width estimate, never over the rule, and both names joined
// where they share a bottom position.
#include "print/page_frame.h"

#include "gtest/gtest.h"

namespace veltrano {
namespace {

FrameSettings Names(int project_at, int company_at) {
  FrameSettings s;
  s.print_project_name = project_at >= 0;
  s.project_name_position = project_at;
  s.print_company_name = company_at >= 0;
  s.company_name = "山田内装";
  s.company_name_position = company_at;
  s.project_name = "見本邸";
  return s;
}

TEST(PageFrameTest, TitlePageNumberAndNames) {
  RecordingCanvas canvas;
  const double w = canvas.PrintableWidth();
  const double h = canvas.PrintableHeight();
  {
    PageFrame frame(canvas, Names(0, 2));
    frame.SetPage(12);
    frame.PrintPageFrame("部屋名：居間");
  }
  const RecordingCanvas::Text* title = canvas.Find(0, "見本邸 部屋名：居間");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->x, 800);
  EXPECT_EQ(title->y, 750);
  EXPECT_TRUE(title->font.bold);
  EXPECT_EQ(title->font.size, 10);
  // " 12" centred over the 600-twip rule that ends at the right margin.
  const RecordingCanvas::Text* number = canvas.Find(0, " 12");
  ASSERT_NE(number, nullptr);
  EXPECT_DOUBLE_EQ(number->x + canvas.TextWidth(" 12") / 2, w - 700 - 300);
  const RecordingCanvas::Line& rule = canvas.pages()[0].lines.at(0);
  EXPECT_EQ(rule.x1, w - 1300);
  EXPECT_EQ(rule.x2, w - 700);
  EXPECT_EQ(rule.width, 5);
  // The company at the bottom right: n = 8 bytes / 2, s = 9 points.
  const RecordingCanvas::Text* company = canvas.Find(0, "山田内装");
  ASSERT_NE(company, nullptr);
  EXPECT_DOUBLE_EQ(company->x, w - 700 - 20 * 5 * 9);
  EXPECT_DOUBLE_EQ(company->y, h - 480);

  // At 上右 the project name ends before the page number's rule; at the
  // same bottom position as the company name the two make one text.
  RecordingCanvas top_right;
  PageFrame(top_right, Names(2, -1)).PrintPageFrame("T");
  const RecordingCanvas::Text* name = top_right.Find(0, "見本邸");
  ASSERT_NE(name, nullptr);
  EXPECT_LT(name->x + top_right.TextWidth("見本邸"), w - 1300);
  RecordingCanvas bottom;
  PageFrame(bottom, Names(4, 1)).PrintPageFrame("T");
  const RecordingCanvas::Text* both = bottom.Find(0, "見本邸  山田内装");
  ASSERT_NE(both, nullptr);
  EXPECT_DOUBLE_EQ(both->x, w / 2 - 20 * 8 * 9 / 2.0);  // 16 bytes
  EXPECT_EQ(bottom.Find(0, "山田内装"), nullptr);

  // A summary page has no title line; a project name at 上左 stands alone
  // in the top margin.
  RecordingCanvas summary;
  PageFrame(summary, Names(0, -1)).PrintPageFrame("", /*has_title_line=*/false);
  EXPECT_NE(summary.Find(0, "見本邸"), nullptr);
  EXPECT_EQ(summary.TextsOf(0).size(), 2u);
}

}  // namespace
}  // namespace veltrano
