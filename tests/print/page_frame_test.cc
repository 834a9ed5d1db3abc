// The frame of a printed page: the title line with a project name in front
// at 上左, the page number centred over its rule, the names at the top and
// bottom by the width estimate, never over the rule, and both names joined
// where they share a bottom position.
#include "print/page_frame.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "calc/cp932.h"
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

// `piece` repeated to at least `bytes` bytes.
std::string Repeated(std::string_view piece, std::size_t bytes) {
  std::string text;
  text.reserve(bytes + piece.size());
  while (text.size() < bytes) text += piece;
  return text;
}

// Is `text` a beginning of `whole` that ends between two characters?
bool BeginsAtCharacter(std::string_view text, std::string_view whole) {
  return whole.starts_with(text) &&
         (text.size() == whole.size() ||
          (static_cast<unsigned char>(whole[text.size()]) & 0xC0) != 0x80);
}

TEST(PageFrameTest, NamesWiderThanThePageAreCutOnceToStandWithinIt) {
  const std::string project = Repeated("見本邸b", 1 << 19);
  const std::string company = Repeated("山田内装A", 1 << 20);
  const std::string title = "部屋名：居間";
  constexpr int kPages = 10;
  for (int project_at = -1; project_at <= 5; ++project_at) {
    for (int company_at = -1; company_at <= 2; ++company_at) {
      SCOPED_TRACE(::testing::Message() << "project at " << project_at
                                        << ", company at " << company_at);
      FrameSettings settings = Names(project_at, company_at);
      settings.project_name = project;
      settings.company_name = company;
      RecordingCanvas canvas;
      PageFrame frame(canvas, settings);
      for (int page = 0; page < kPages; ++page) {
        frame.PrintPageFrame(title);
        frame.NextPage();
      }
      const double w = canvas.PrintableWidth();
      // Every page prints the same frame texts in the same places; only
      // the page number differs.
      const auto frame_texts = [&canvas](int page) {
        std::vector<RecordingCanvas::Text> texts =
            canvas.pages()[static_cast<std::size_t>(page)].texts;
        std::erase_if(texts, [page](const RecordingCanvas::Text& t) {
          return t.text == " " + std::to_string(page + 1);
        });
        return texts;
      };
      const std::vector<RecordingCanvas::Text> first = frame_texts(0);
      ASSERT_EQ(first.size(),
                1u + (project_at >= 1 ? 1 : 0) +
                    (company_at >= 0 && company_at != project_at - 3 ? 1 : 0));
      for (int page = 1; page < kPages; ++page) {
        const std::vector<RecordingCanvas::Text> texts = frame_texts(page);
        ASSERT_EQ(texts.size(), first.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
          EXPECT_EQ(texts[i].text, first[i].text);
          EXPECT_EQ(texts[i].x, first[i].x);
          EXPECT_EQ(texts[i].y, first[i].y);
        }
      }
      // Each is a beginning of what the frame prints there, as wide as the
      // page allows (more than half of it) but within it.
      const std::vector<std::string> wholes = {
          project_at == 0 ? project + " " + title : title, project, company,
          project + "  " + company};
      for (const RecordingCanvas::Text& t : first) {
        EXPECT_TRUE(std::any_of(wholes.begin(), wholes.end(),
                                [&t](const std::string& whole) {
                                  return BeginsAtCharacter(t.text, whole);
                                }))
            << t.text.substr(0, 40);
        const double width =
            10 * t.font.size * static_cast<double>(ByteWidth(t.text));
        EXPECT_GE(t.x, 0);
        EXPECT_LE(t.x + width, w);
        if (t.text != title) {
          EXPECT_GT(width, w / 2);
        }
      }
      // Placed as names that fit are: from the left margin, centred, or
      // ending 20 × 9 twips (and at the top the rule) before the right
      // margin.
      for (const RecordingCanvas::Text& t : first) {
        const double n = static_cast<double>(ByteWidth(t.text) / 2);
        const bool top = t.y < 1000;
        const bool title_line = t.font == TitleFont();
        const bool company_alone = company.starts_with(t.text.substr(0, 12));
        const int where = title_line      ? 0
                          : top           ? project_at
                          : company_alone ? company_at
                                          : project_at - 3;
        const double expected =
            where == 0   ? 800
            : where == 1 ? w / 2 - 20 * n * 9 / 2
                         : w - 700 - 20 * (n + 1) * 9 - (top ? 600 : 0);
        EXPECT_DOUBLE_EQ(t.x, expected) << where;
      }
    }
  }
}

}  // namespace
}  // namespace veltrano
