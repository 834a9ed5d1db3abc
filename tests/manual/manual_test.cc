// The operation manual the build makes: A4 pages, Japanese fonts embedded,
// a table of contents naming every chapter of the source with the page it
// begins on, and that page beginning it; bookmarks and contents links to
// every chapter and section, and page labels as printed.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string RunCommand(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return out;
  std::array<char, 4096> buffer{};
  while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) {
    out.append(buffer.data(), n);
  }
  return out;
}

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// Text without blanks, so that the layout's spacing does not matter.
std::string Squeezed(const std::string& text) {
  static const std::string kIdeographicSpace = "\u3000";
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, kIdeographicSpace.size(), kIdeographicSpace) == 0) {
      i += kIdeographicSpace.size() - 1;
      continue;
    }
    if (text[i] != ' ' && text[i] != '\t' && text[i] != '\n' && text[i] != '\f') out += text[i];
  }
  return out;
}

struct Chapter {
  int number = 0;
  std::string title;
};

// The chapter files of the source ("01_….md"), in file name order.
std::vector<std::filesystem::path> ChapterFiles() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(VELTRANO_MANUAL_SOURCE)) {
    const std::string name = entry.path().filename().string();
    if (name.size() > 3 && std::isdigit(static_cast<unsigned char>(name[0])) &&
        entry.path().extension() == ".md") {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The chapter titles of the source, in file name order.
std::vector<Chapter> SourceChapters() {
  const std::vector<std::filesystem::path> files = ChapterFiles();
  std::vector<Chapter> chapters;
  for (const auto& file : files) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line) && line.rfind("# ", 0) != 0) {
    }
    chapters.push_back({static_cast<int>(chapters.size()) + 1, line.substr(2)});
  }
  return chapters;
}

class ManualTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::is_regular_file(pdf_)) << pdf_;
    const std::string info = RunCommand("pdfinfo " + Quoted(pdf_));
    std::smatch m;
    ASSERT_TRUE(std::regex_search(info, m, std::regex(R"(Pages:\s+(\d+))"))) << info;
    pages_ = std::stoi(m[1]);
  }
  std::string PageText(int page) const {
    return RunCommand("pdftotext -layout -f " + std::to_string(page) + " -l " + std::to_string(page) +
               " " + Quoted(pdf_) + " -");
  }

  std::filesystem::path pdf_ = VELTRANO_MANUAL_PDF;
  int pages_ = 0;
};

TEST_F(ManualTest, EveryPageIsA4AndEveryFontIsEmbedded) {
  ASSERT_GT(pages_, 20);
  const std::string sizes =
      RunCommand("pdfinfo -f 1 -l " + std::to_string(pages_) + " " + Quoted(pdf_));
  std::istringstream lines(sizes);
  int a4 = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.find(" size:") == std::string::npos || line.rfind("Page ", 0) != 0) continue;
    EXPECT_NE(line.find("(A4)"), std::string::npos) << line;
    ++a4;
  }
  EXPECT_EQ(a4, pages_);

  const std::string fonts = RunCommand("pdffonts " + Quoted(pdf_));
  std::istringstream rows(fonts);
  int listed = 0;
  bool japanese = false;
  for (std::string row; std::getline(rows, row);) {
    if (row.rfind("name", 0) == 0 || row.rfind("----", 0) == 0 || row.empty()) continue;
    ++listed;
    // The columns emb, sub and uni: the font is in the file.
    EXPECT_TRUE(std::regex_search(row, std::regex(R"(\s+yes\s+(yes|no)\s+(yes|no)\s+\d+\s+\d+\s*$)")))
        << row;
    japanese = japanese || row.find("IPA") != std::string::npos;
  }
  EXPECT_GT(listed, 0);
  EXPECT_TRUE(japanese) << fonts;
}

TEST_F(ManualTest, TheContentsListEveryChapterAtThePageItBeginsOn) {
  const std::vector<Chapter> chapters = SourceChapters();
  ASSERT_GE(chapters.size(), 10u);

  // The printed page numbers ("- N -" at the foot) of the PDF's pages, and
  // the contents' text (the pages before the first numbered one).
  std::map<int, int> pdf_page_of;
  std::vector<std::string> texts(static_cast<std::size_t>(pages_) + 1);
  std::string contents;
  for (int p = 1; p <= pages_; ++p) {
    texts[static_cast<std::size_t>(p)] = PageText(p);
    std::smatch m;
    if (std::regex_search(texts[static_cast<std::size_t>(p)], m,
                          std::regex(R"(\n\s*- (\d+) -\s*$)"))) {
      pdf_page_of[std::stoi(m[1])] = p;
    } else if (pdf_page_of.empty()) {
      contents += texts[static_cast<std::size_t>(p)];
    }
  }
  ASSERT_NE(contents.find("目次"), std::string::npos);
  EXPECT_EQ(static_cast<int>(pdf_page_of.size()), pages_ - pdf_page_of.begin()->second + 1)
      << "every page after the contents is numbered";

  std::istringstream toc(contents);
  std::map<int, int> begins;  // chapter number -> printed page
  std::map<int, std::string> toc_lines;
  for (std::string line; std::getline(toc, line);) {
    std::smatch m;
    const std::string flat = Squeezed(line);
    if (std::regex_match(flat, m, std::regex(R"(第(\d+)章(.*?)(\d+))"))) {
      begins[std::stoi(m[1])] = std::stoi(m[3]);
      toc_lines[std::stoi(m[1])] = m[2];
    }
  }
  ASSERT_EQ(begins.size(), chapters.size()) << contents;
  int previous = 0;
  for (const Chapter& c : chapters) {
    SCOPED_TRACE(c.title);
    EXPECT_EQ(toc_lines[c.number], Squeezed(c.title));
    const int page = begins[c.number];
    EXPECT_GT(page, previous);
    previous = page;
    ASSERT_TRUE(pdf_page_of.count(page)) << page;
    const int pdf_page = pdf_page_of[page];
    const std::string heading = "第" + std::to_string(c.number) + "章" + Squeezed(c.title);
    const std::string here = Squeezed(texts[static_cast<std::size_t>(pdf_page)]);
    // The running head and the heading itself.
    std::size_t first = here.find(heading);
    ASSERT_NE(first, std::string::npos) << texts[static_cast<std::size_t>(pdf_page)];
    EXPECT_NE(here.find(heading, first + 1), std::string::npos);
    // The page before belongs to the chapter before.
    if (page > 1) {
      EXPECT_EQ(Squeezed(texts[static_cast<std::size_t>(pdf_page - 1)]).find(heading),
                std::string::npos);
    }
  }
}

// The chapters and sections of the source, in order, numbered as the
// manual numbers them ("第3章" + title, "3.2" + title), without blanks.
std::vector<std::string> SourceHeadings() {
  const std::vector<std::filesystem::path> files = ChapterFiles();
  std::vector<std::string> headings;
  int chapter = 0;
  for (const auto& file : files) {
    std::ifstream in(file);
    int section = 0;
    bool code = false;  // inside a fenced block of command lines
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.rfind("```", 0) == 0) code = !code;
      if (code) continue;
      if (line.rfind("# ", 0) == 0) {
        headings.push_back(Squeezed("第" + std::to_string(++chapter) + "章" + line.substr(2)));
      } else if (line.rfind("## ", 0) == 0) {
        headings.push_back(Squeezed(std::to_string(chapter) + "." + std::to_string(++section) +
                                    line.substr(3)));
      }
    }
  }
  return headings;
}

// A text of pdftohtml's XML output as it was in the PDF.
std::string Unescaped(std::string text) {
  for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
           {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#34;", "\""},
           {"&#39;", "'"}, {"&amp;", "&"}}) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
      text.replace(at, from.size(), to);
    }
  }
  return text;
}

TEST_F(ManualTest, BookmarksAndContentsLinksLeadToEveryHeadingAndLabelsArePrintedNumbers) {
  const std::vector<std::string> headings = SourceHeadings();
  ASSERT_GT(headings.size(), 50u);

  // The bookmarks: one per chapter and section, in order, sections under
  // their chapter, each leading to the page its heading stands on.
  const std::string xml =
      RunCommand("pdftohtml -xml -stdout -i -f 1 -l 1 " + Quoted(pdf_) + " 2>/dev/null");
  std::vector<std::pair<std::string, int>> items;
  const std::regex item(R"re(<item page="(\d+)">([^<]*)</item>)re");
  for (auto it = std::sregex_iterator(xml.begin(), xml.end(), item);
       it != std::sregex_iterator(); ++it) {
    items.emplace_back(Squeezed(Unescaped((*it)[2])), std::stoi((*it)[1]));
  }
  ASSERT_EQ(items.size(), headings.size()) << xml.substr(0, 2000);
  std::size_t chapters = 0;
  for (const std::string& h : headings) chapters += h.rfind("第", 0) == 0 ? 1 : 0;
  std::size_t nested = 0;
  for (std::size_t at = xml.find("<outline>"); at != std::string::npos;
       at = xml.find("<outline>", at + 1)) {
    ++nested;
  }
  EXPECT_EQ(nested, 1 + chapters) << "the sections of each chapter under it";
  std::map<int, std::string> page_texts;
  for (std::size_t i = 0; i < headings.size(); ++i) {
    SCOPED_TRACE(headings[i]);
    EXPECT_EQ(items[i].first, headings[i]);
    const int page = items[i].second;
    ASSERT_GE(page, 1);
    ASSERT_LE(page, pages_);
    if (!page_texts.count(page)) page_texts[page] = Squeezed(PageText(page));
    EXPECT_NE(page_texts[page].find(headings[i]), std::string::npos) << "on page " << page;
  }

  // The contents: each line a link to the bookmark's page.
  const int first_chapter_page = items.front().second;
  const std::string contents =
      RunCommand("pdftohtml -xml -stdout -i -f 2 -l " + std::to_string(first_chapter_page - 1) +
                 " " + Quoted(pdf_) + " 2>/dev/null");
  // The contents' lines (by page and height), each with the pages its
  // links lead to and the pieces of its text (pdftohtml gives a line in
  // overlapping pieces).
  struct Line {
    std::set<int> targets;
    std::vector<std::string> pieces;
  };
  std::map<std::pair<int, int>, Line> lines;
  const std::regex page_start(R"re(<page number="(\d+)")re");
  const std::regex link(R"re(<text top="(\d+)"[^>]*><a href="[^"#]*#(\d+)">([^<]*)</a>)re");
  int xml_page = 0;
  std::istringstream xml_lines(contents);
  for (std::string row; std::getline(xml_lines, row);) {
    std::smatch m;
    if (std::regex_search(row, m, page_start)) xml_page = std::stoi(m[1]);
    if (std::regex_search(row, m, link)) {
      Line& line = lines[{xml_page, std::stoi(m[1])}];
      line.targets.insert(std::stoi(m[2]));
      line.pieces.push_back(Squeezed(Unescaped(m[3])));
    }
  }
  ASSERT_EQ(lines.size(), items.size()) << "one link per contents line";
  std::size_t i = 0;
  for (const auto& [where, line] : lines) {
    SCOPED_TRACE(items[i].first);
    EXPECT_EQ(line.targets, std::set<int>{items[i].second});
    bool piece_of_heading = false;
    for (const std::string& piece : line.pieces) {
      piece_of_heading |= !piece.empty() && items[i].first.rfind(piece, 0) == 0;
    }
    EXPECT_TRUE(piece_of_heading) << line.pieces.front();
    ++i;
  }

  // The page labels name every page as it is printed ("- N -" at its
  // foot): the viewer's page numbers are the manual's.
  std::ifstream in(pdf_, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t labels_at = bytes.rfind("/PageLabels");
  ASSERT_NE(labels_at, std::string::npos);
  // Ranges from their first page (from 0): decimal from a start, or
  // anything else (roman numerals) for unnumbered pages.
  std::map<int, std::pair<bool, int>> ranges;
  const std::string labels = bytes.substr(labels_at, bytes.find("]", labels_at) - labels_at);
  const std::regex range(R"((\d+)\s*<<\s*/S\s*/(\w)(?:\s*/St\s*(\d+))?\s*>>)");
  for (auto it = std::sregex_iterator(labels.begin(), labels.end(), range);
       it != std::sregex_iterator(); ++it) {
    ranges[std::stoi((*it)[1])] = {(*it)[2] == "D", (*it)[3].matched ? std::stoi((*it)[3]) : 1};
  }
  ASSERT_FALSE(ranges.empty()) << labels;
  for (int p = 1; p <= pages_; ++p) {
    const std::string text = PageText(p);
    std::smatch m;
    const bool numbered = std::regex_search(text, m, std::regex(R"(\n\s*- (\d+) -\s*$)"));
    auto r = ranges.upper_bound(p - 1);
    ASSERT_NE(r, ranges.begin());
    --r;
    const bool decimal = r->second.first;
    EXPECT_EQ(decimal, numbered) << "page " << p;
    if (numbered && decimal) {
      EXPECT_EQ(r->second.second + (p - 1 - r->first), std::stoi(m[1])) << "page " << p;
    }
  }
}

}  // namespace
