#include "print/page_frame.h"

#include <array>
#include <optional>
#include <utility>

#include "calc/cp932.h"

namespace veltrano {

namespace {

constexpr double kRuleLength = 600;
constexpr double kTitleRise = 250;  // the title line above the top margin

}  // namespace

PrintFont TitleFont() { return PrintFont{"ＭＳ 明朝", 10, true}; }

PrintFont BodyFont(bool bold) { return PrintFont{"ＭＳ 明朝", 9, bold}; }

FrameSettings FrameSettings::Of(const SettingsPanel& panel, std::string project_name) {
  FrameSettings s;
  s.print_project_name = panel.print_project_name;
  s.project_name_position = panel.project_name_position;
  s.print_company_name = panel.print_company_name;
  s.company_name = panel.company_name;
  s.company_name_position = panel.company_name_position;
  s.project_name = std::move(project_name);
  return s;
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

void PageFrame::PrintPageFrame(std::string_view title, bool has_title_line) {
  const int project_at = settings_.print_project_name &&
                                 !settings_.project_name.empty()
                             ? settings_.project_name_position
                             : -1;
  const double top_y = kTopMargin - kTitleRise;

  // The title line, with the project name in front of it at 上左.
  if (has_title_line) {
    std::string line(title);
    if (project_at == 0) line = settings_.project_name + " " + line;
    canvas_.SetFont(TitleFont());
    canvas_.DrawText(kLeftMargin, top_y, line);
  }
  canvas_.SetFont(BodyFont());
  if (!has_title_line && project_at == 0) {
    canvas_.DrawText(kLeftMargin, top_y, settings_.project_name);
  }

  // The page number over its rule, which ends at the right margin.
  const double rule_left = width() - kRightMargin - kRuleLength;
  const double rule_y = kTopMargin - 50;
  canvas_.DrawLine(rule_left, rule_y, width() - kRightMargin, rule_y, 5);
  const std::string number = " " + std::to_string(page_);
  canvas_.DrawText(rule_left + AlignInCell(number, kRuleLength, kAlignCentre),
                   rule_y - 20 * BodyFont().size - 20, number);

  // The project name at the top, centred or ending left of the rule.
  if (project_at == 1) {
    canvas_.DrawText(FrameTextX(settings_.project_name, 1), top_y, settings_.project_name);
  } else if (project_at == 2) {
    canvas_.DrawText(FrameTextX(settings_.project_name, 2) - kRuleLength, top_y,
                     settings_.project_name);
  }

  // At the bottom: the project name and the company name, as one text
  // where both stand at the same position.
  std::array<std::string, 3> bottom;
  if (project_at >= 3 && project_at <= 5) bottom[static_cast<std::size_t>(project_at - 3)] = settings_.project_name;
  const int company_at = settings_.print_company_name && !settings_.company_name.empty()
                             ? settings_.company_name_position
                             : -1;
  if (company_at >= 0 && company_at <= 2) {
    std::string& text = bottom[static_cast<std::size_t>(company_at)];
    text = text.empty() ? settings_.company_name : text + "  " + settings_.company_name;
  }
  const double bottom_y = height() - kBottomMargin + 20;
  for (int where = 0; where < 3; ++where) {
    const std::string& text = bottom[static_cast<std::size_t>(where)];
    if (!text.empty()) canvas_.DrawText(FrameTextX(text, where), bottom_y, text);
  }
}

void PageFrame::NextPage() {
  ++page_;
  canvas_.NewPage();
}

}  // namespace veltrano
