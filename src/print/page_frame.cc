#include "print/page_frame.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "calc/cp932.h"

namespace veltrano {

namespace {

constexpr double kRuleLength = 600;
constexpr double kTitleRise = 250;  // the title line above the top margin

constexpr std::string_view kEllipsis = "…";
// Text widths follow the font size closely but not always exactly: the
// size is stepped down from the proportional one to the minimum.
constexpr double kScaleStep = 0.02;
// Rounding in the widths: a text this much wider than its room still fits.
constexpr double kWidthSlack = 1e-6;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The byte offsets of the character boundaries of a UTF-8 text, from 0 to
// its size.
std::vector<std::size_t> Boundaries(std::string_view text) {
  std::vector<std::size_t> at;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) at.push_back(i);
  }
  at.push_back(text.size());
  return at;
}

}  // namespace

bool LooksLikeNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.size() >= 2 && text.front() == '(' && text.back() == ')') {
    text = text.substr(1, text.size() - 2);
  }
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    text.remove_prefix(1);
  }
  bool digits = false;
  bool point = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else if (c == ',' && !point && digits && i + 1 < text.size() &&
               IsDigit(text[i + 1])) {
      continue;
    } else {
      return false;
    }
  }
  return digits;
}

std::string_view BeginningWithin(std::string_view text, double room,
                                 double size) {
  const double bytes = std::floor(room / (10 * size));
  if (!(bytes > 0)) return text.substr(0, 0);
  return text.substr(
      0, PrefixWithinByteWidth(text, static_cast<std::size_t>(bytes)));
}

PrintFont TitleFont() { return PrintFont{"ＭＳ 明朝", 10, true}; }

PrintFont BodyFont(bool bold) { return PrintFont{"ＭＳ 明朝", 9, bold}; }

FrameSettings FrameSettings::Of(const SettingsPanel& panel, std::string project_name) {
  FrameSettings s;
  s.print_project_name = panel.print_project_name();
  s.project_name_position = panel.project_name_position();
  s.print_company_name = panel.print_company_name();
  s.company_name = panel.company_name();
  s.company_name_position = panel.company_name_position();
  s.project_name = std::move(project_name);
  return s;
}

PageFrame::PageFrame(PrinterCanvas& canvas, const FrameSettings& settings)
    : canvas_(canvas) {
  const std::string& project = settings.project_name;
  const int project_at = settings.print_project_name && !project.empty()
                             ? settings.project_name_position
                             : -1;
  if (project_at == 0) {
    // What the title line can show of the project name and its blank.
    const std::string prefix = project + " ";
    title_prefix_ = std::string(TitleLineBeginning(prefix));
    title_prefix_fills_line_ = title_prefix_.size() < prefix.size();
    top_left_ =
        PlacedText{std::string(BeginningWithin(project, width() - kLeftMargin,
                                               BodyFont().size)),
                   kLeftMargin};
  } else if (project_at == 1 || project_at == 2) {
    top_ = Placed(project, project_at, /*before_rule=*/project_at == 2);
  }

  // At the bottom: the project name and the company name, as one text
  // where both stand at the same position.
  std::array<std::string, 3> bottom;
  if (project_at >= 3 && project_at <= 5) {
    bottom[static_cast<std::size_t>(project_at - 3)] = project;
  }
  const int company_at =
      settings.print_company_name && !settings.company_name.empty()
          ? settings.company_name_position
          : -1;
  if (company_at >= 0 && company_at <= 2) {
    std::string& text = bottom[static_cast<std::size_t>(company_at)];
    text = text.empty() ? settings.company_name
                        : text + "  " + settings.company_name;
  }
  for (int where = 0; where < 3; ++where) {
    const std::string& text = bottom[static_cast<std::size_t>(where)];
    if (!text.empty()) {
      bottom_[static_cast<std::size_t>(where)] =
          Placed(text, where, /*before_rule=*/false);
    }
  }
}

double PageFrame::AlignInCell(std::string_view text, double width, int alignment) const {
  const double text_width = canvas_.TextWidth(text);
  switch (alignment) {
    case kAlignLeft:
      return 50;
    case kAlignRight:
      return width - text_width - 50;
    default:
      return (width - text_width) / 2;
  }
}

FittedText PageFrame::FitInCell(std::string_view text, double width,
                                int alignment, const PrintFont& font,
                                CutSide cut) {
  // The room from the text's aligned place to the far edge of the cell.
  const double room = alignment == kAlignCentre ? width : width - 50;
  FittedText fitted{std::string(text), font, 0};
  canvas_.SetFont(font);
  const double full = canvas_.TextWidth(text);
  if (text.empty() || full <= room + kWidthSlack) {
    fitted.x = AlignInCell(text, width, alignment);
    return fitted;
  }

  PrintFont smaller = font;
  if (room > 0) {
    for (double scale = std::max(room / full, kMinimumFontScale);
         scale >= kMinimumFontScale - 1e-9; scale -= kScaleStep) {
      smaller.size = font.size * scale;
      canvas_.SetFont(smaller);
      if (canvas_.TextWidth(text) <= room + kWidthSlack) {
        fitted.font = smaller;
        fitted.shrunk = true;
        fitted.x = AlignInCell(text, width, alignment);
        canvas_.SetFont(font);
        return fitted;
      }
    }
  }

  fitted.cut = true;
  if (LooksLikeNumber(text)) {
    canvas_.SetFont(font);
    const double hash = canvas_.TextWidth("#");
    const double count =
        hash > 0 ? std::floor((std::max(room, 0.0) + kWidthSlack) / hash) : 1;
    fitted.text.assign(static_cast<std::size_t>(std::max(1.0, count)), '#');
    fitted.x = AlignInCell(fitted.text, width, alignment);
    return fitted;
  }

  // The most characters that stand with "…" in the smallest font; the
  // width grows with every character, so the count is searched by halves.
  smaller.size = font.size * kMinimumFontScale;
  canvas_.SetFont(smaller);
  fitted.font = smaller;
  fitted.shrunk = true;
  const std::vector<std::size_t> at = Boundaries(text);
  const std::size_t chars = at.size() - 1;
  const auto with_ellipsis = [&](std::size_t kept) {
    return cut == CutSide::kEnd
               ? std::string(text.substr(0, at[kept])) + std::string(kEllipsis)
               : std::string(kEllipsis) +
                     std::string(text.substr(at[chars - kept]));
  };
  std::size_t low = 0;  // always fits (or nothing does)
  std::size_t high = chars;
  while (low < high) {
    const std::size_t mid = (low + high + 1) / 2;
    if (canvas_.TextWidth(with_ellipsis(mid)) <= room + kWidthSlack) {
      low = mid;
    } else {
      high = mid - 1;
    }
  }
  fitted.text = with_ellipsis(low);
  fitted.x = AlignInCell(fitted.text, width, alignment);
  canvas_.SetFont(font);
  return fitted;
}

void PageFrame::PrintInCell(std::string_view text, double left, double width,
                            int alignment, double y, const PrintFont& font,
                            CutSide cut) {
  if (text.empty()) return;
  const FittedText fitted = FitInCell(text, width, alignment, font, cut);
  if (fitted.font == font) {
    canvas_.DrawText(left + fitted.x, y, fitted.text);
    return;
  }
  canvas_.SetFont(fitted.font);
  canvas_.DrawText(left + fitted.x, y, fitted.text);
  canvas_.SetFont(font);
}

std::string_view PageFrame::TitleLineBeginning(std::string_view text) const {
  return BeginningWithin(text, width() - kLeftMargin, TitleFont().size);
}

double PageFrame::FrameTextX(std::string_view text, int where) const {
  const double n = static_cast<double>(ByteWidth(text) / 2);
  const double s = BodyFont().size;
  switch (where) {
    case 0:
      return kLeftMargin;
    case 1:
      return width() / 2 - (20 * n * s) / 2;
    default:
      return width() - kRightMargin - 20 * (n + 1) * s;
  }
}

PageFrame::PlacedText PageFrame::Placed(std::string_view text, int where,
                                        bool before_rule) const {
  // The room from where the text may start to where it must end: from the
  // left margin to the page's edge; centred on the page; from the page's
  // edge to the right position's end, 20 × s before the right margin (and
  // the rule's length before that at the top).
  const double s = BodyFont().size;
  const double shift = before_rule ? kRuleLength : 0;
  const double room = where == 0   ? width() - kLeftMargin
                      : where == 1 ? width() - 10 * s
                                   : width() - kRightMargin - 20 * s - shift;
  PlacedText placed;
  placed.text = std::string(BeginningWithin(text, room, s));
  placed.x = FrameTextX(placed.text, where) - shift;
  return placed;
}

void PageFrame::PrintPageFrame(std::string_view title, bool has_title_line) {
  const double top_y = kTopMargin - kTitleRise;

  // The title line, with the project name in front of it at 上左.
  if (has_title_line) {
    canvas_.SetFont(TitleFont());
    if (title_prefix_.empty()) {
      canvas_.DrawText(kLeftMargin, top_y, TitleLineBeginning(title));
    } else if (title_prefix_fills_line_) {
      canvas_.DrawText(kLeftMargin, top_y, title_prefix_);
    } else {
      const std::string line =
          title_prefix_ + std::string(TitleLineBeginning(title));
      canvas_.DrawText(kLeftMargin, top_y, TitleLineBeginning(line));
    }
  }
  canvas_.SetFont(BodyFont());
  if (!has_title_line && top_left_) {
    canvas_.DrawText(top_left_->x, top_y, top_left_->text);
  }

  // The page number over its rule, which ends at the right margin.
  const double rule_left = width() - kRightMargin - kRuleLength;
  const double rule_y = kTopMargin - 50;
  canvas_.DrawLine(rule_left, rule_y, width() - kRightMargin, rule_y, 5);
  const std::string number = " " + std::to_string(page_);
  canvas_.DrawText(rule_left + AlignInCell(number, kRuleLength, kAlignCentre),
                   rule_y - 20 * BodyFont().size - 20, number);

  // The project name at the top, centred or ending left of the rule.
  if (top_) canvas_.DrawText(top_->x, top_y, top_->text);

  const double bottom_y = height() - kBottomMargin + 20;
  for (const std::optional<PlacedText>& text : bottom_) {
    if (text) canvas_.DrawText(text->x, bottom_y, text->text);
  }
}

void PageFrame::NextPage() {
  ++page_;
  canvas_.NewPage();
}

}  // namespace veltrano
