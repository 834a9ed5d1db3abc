// Summary tables typed for spreadsheets: what counts as a number as the
// tables show them, CSV quoting and encodings, and the HTML clipboard form.
#include "aggregate/typed_export.h"

#include <string>

#include "gtest/gtest.h"

namespace veltrano {
namespace {

TEST(TypedExportTest, NumbersAsTheTablesShowThem) {
  struct Case {
    const char* text;
    bool number;
    double value;
    int decimals;
    bool grouped;
    bool bracketed;
  };
  const Case cases[] = {
      {"1,234.50", true, 1234.5, 2, true, false},
      {"(18,900)", true, 18900, 0, true, true},
      {"-3.5", true, -3.5, 1, false, false},
      {" 12 ", true, 12, 0, false, false},
      {"0.000", true, 0, 3, false, false},
      {"1,234,567", true, 1234567, 0, true, false},
      {"1,23", false, 0, 0, false, false},
      {"12,345,6", false, 0, 0, false, false},
      {"1234,567", false, 0, 0, false, false},
      {"(12", false, 0, 0, false, false},
      {"(-5)", false, 0, 0, false, false},
      {"1.2.3", false, 0, 0, false, false},
      {".5", false, 0, 0, false, false},
      {"5.", false, 0, 0, false, false},
      {"", false, 0, 0, false, false},
      {"小計", false, 0, 0, false, false},
      {"1e5", false, 0, 0, false, false},
  };
  for (const Case& c : cases) {
    const std::optional<ShownNumber> n = ParseShownNumber(c.text);
    ASSERT_EQ(n.has_value(), c.number) << c.text;
    if (!n) continue;
    EXPECT_EQ(n->value, c.value) << c.text;
    EXPECT_EQ(n->decimals, c.decimals) << c.text;
    EXPECT_EQ(n->grouped, c.grouped) << c.text;
    EXPECT_EQ(n->bracketed, c.bracketed) << c.text;
  }
}

TEST(TypedExportTest, CsvAndHtmlCarryTheSameCells) {
  TextGrid work(3, 10);
  const char* heading[] = {"工種", "項目名", "", "区分", "部位", "数量", "単位", "単価", "金額", "備考"};
  for (int c = 0; c < 10; ++c) work.Set(0, c, heading[c]);
  work.Set(1, 0, "内装工事");
  work.Set(1, 1, "PB張, \"厚\"");
  work.Set(1, 5, "1,234.50");
  work.Set(1, 8, "24,750");
  work.Set(1, 9, "<別途>&");
  work.Set(2, 6, "小計");
  work.Set(2, 8, "(24,750)");
  const SheetTable table = TypedWorkTypeTable(work, "工種別");

  std::string bytes;
  std::string error;
  ASSERT_TRUE(CsvBytes(table, /*utf8=*/true, &bytes, &error)) << error;
  EXPECT_EQ(bytes,
            "\xEF\xBB\xBF工種,項目名,,区分,部位,数量,単位,単価,金額,備考\r\n"
            "内装工事,\"PB張, \"\"厚\"\"\",,,,1234.50,,,24750,<別途>&\r\n"
            ",,,,,,小計,,24750,\r\n");
  ASSERT_TRUE(CsvBytes(table, /*utf8=*/false, &bytes, &error)) << error;
  EXPECT_EQ(bytes.substr(0, 4), "\x8D\x48\x8E\xED");  // 工種 in code page 932
  TextGrid emoji(1, 1);
  emoji.Set(0, 0, "床😀");
  EXPECT_FALSE(CsvBytes(TypedWorkTypeTable(emoji, "x"), false, &bytes, &error));
  EXPECT_NE(error.find("😀"), std::string::npos) << error;

  const std::string html = HtmlTable(table);
  // The subtotal: a positive value shown in parentheses by its format, and
  // no parentheses in the text where the format is not read.
  EXPECT_NE(html.find("<td x:num=\"24750\" sdval=\"24750\" sdnum=\"1041;0;(#,##0)\" "
                      "style=\"mso-number-format:'(#,##0)';text-align:right\">24,750</td><td></td></tr>"),
            std::string::npos)
      << html;
  EXPECT_NE(html.find("x:num=\"1234.50\""), std::string::npos);
  EXPECT_NE(html.find("<td>&lt;別途&gt;&amp;</td>"), std::string::npos);
  EXPECT_NE(html.find("<td style=\"font-weight:bold\">工種</td>"), std::string::npos);
  EXPECT_EQ(html.find("(24,750)"), std::string::npos);
}

TEST(TypedExportTest, PagesBreakWhereThePrintoutBreaksThem) {
  // 4 heading rows and 62 rooms; the name and places columns and 30 items.
  const SheetTable part = TypedSummaryTable(TextGrid(66, 32), "内部 床");
  EXPECT_EQ(part.row_breaks, (std::vector<int>{33, 62}));
  EXPECT_EQ(part.column_breaks, (std::vector<int>{14, 26}));
  EXPECT_EQ(part.heading_rows, 4);
  EXPECT_EQ(part.heading_columns, 2);
  // The heading row and 70 rows: two pages of 35.
  const SheetTable work = TypedWorkTypeTable(TextGrid(71, 10), "工種別");
  EXPECT_EQ(work.row_breaks, (std::vector<int>{36}));
  EXPECT_TRUE(work.column_breaks.empty());
}

}  // namespace
}  // namespace veltrano
