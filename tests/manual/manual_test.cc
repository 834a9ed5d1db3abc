// The operation manual the build makes: A4 pages, Japanese fonts embedded,
// a table of contents naming every chapter of the source with the page it
// begins on, and that page beginning it.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
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

// The chapter titles of the source, in file name order.
std::vector<Chapter> SourceChapters() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(VELTRANO_MANUAL_SOURCE)) {
    const std::string name = entry.path().filename().string();
    if (name.size() > 3 && std::isdigit(static_cast<unsigned char>(name[0])) &&
        entry.path().extension() == ".md") {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
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

}  // namespace
