#include "print/room_sheet.h"

#include <algorithm>
#include <cmath>

#include "calc/cp932.h"
#include "calc/number_text.h"
#include "calc/text_util.h"

namespace veltrano {

namespace {

// The length in bytes of the UTF-8 character starting at `at`.
std::size_t CharLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  return std::min(n, text.size() - at);
}

std::size_t CharCount(std::string_view text) {
  std::size_t n = 0;
  for (std::size_t at = 0; at < text.size(); at += CharLength(text, at)) ++n;
  return n;
}

// The shortest prefix of `text` whose byte length reaches 29 or more.
std::size_t PrefixReaching(std::string_view text, std::size_t bytes) {
  std::size_t at = 0;
  while (at < text.size() && ByteWidth(text.substr(0, at)) < bytes) {
    at += CharLength(text, at);
  }
  return at;
}

std::string PaddedContinuation(std::string piece) {
  const std::size_t width = ByteWidth(piece);
  if (width < RoomSheetPrinter::kLineBytes) {
    piece.insert(0, RoomSheetPrinter::kLineBytes - width, ' ');
  }
  return piece;
}

}  // namespace

std::vector<std::string> RoomSheetPrinter::BreakLine(const std::string& line) {
  if (ByteWidth(line) <= kLineBytes) return {line};
  std::vector<std::string> pieces;
  const std::size_t first = PrefixReaching(line, kLineBytes);
  pieces.push_back(line.substr(0, first));
  std::string rest = line.substr(first);
  if (rest.empty()) return pieces;
  if (CharCount(rest) > kLineBytes) {
    const std::size_t second = PrefixReaching(rest, kLineBytes);
    pieces.push_back(PaddedContinuation(rest.substr(0, second)));
    rest = rest.substr(second);
    if (rest.empty()) return pieces;
  }
  pieces.push_back(PaddedContinuation(rest));
  return pieces;
}

int RoomSheetPrinter::PagesFor(int longest_column) {
  if (longest_column <= kFirstPageLines) return 1;
  return 1 + (longest_column - kFirstPageLines + kPageLines - 1) / kPageLines;
}

std::array<std::vector<std::string>, kParts> RoomSheetPrinter::BuildLines(
    const Project& tables, int room_index, int side) {
  std::array<std::vector<std::string>, kParts> columns;
  if (room_index < 0 || room_index >= tables.rooms().count(side)) return columns;
  std::vector<std::vector<std::string_view>> rows;
  tables.rooms().room(side, room_index).CellsByRow(&rows);
  for (int p = 0; p < kParts; ++p) {
    const int f = kFormulaColumn[static_cast<std::size_t>(p)];
    const auto cell = [&rows](int r, int c) { return rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]; };
    const int mark = kMarkColumn[static_cast<std::size_t>(p)];
    const int item = ItemColumn(p);
    const int value = ValueColumn(f);
    std::vector<std::string> lines;
    int block_start = 1;
    for (int r = 1; r <= kItemRows; ++r) {
      if (!EqualsIgnoreCase(cell(r, f), kSubtotalMarker)) continue;
      // The block's items, then its formulas and subtotal, then the
      // separator.
      for (int b = block_start; b <= r; ++b) {
        if (cell(b, mark) == kItemMarker) {
          lines.push_back(std::string(kItemMarker) + std::string(cell(b, item)));
        } else if (!cell(b, item).empty() && cell(b, f).empty()) {
          lines.push_back("※" + std::string(cell(b, item)));
        }
      }
      for (int b = block_start; b < r; ++b) {
        if (cell(b, f).empty() || EqualsIgnoreCase(cell(b, f), kSubtotalMarker)) continue;
        std::string line;
        if (cell(b, DeductionColumn(f)) == kDeductionMarker) line += kDeductionMarker;
        line += std::string(cell(b, f)) + "=" + std::string(cell(b, value));
        if (HasFittingColumn(p) && !cell(b, f - 1).empty()) {
          line += ":" + std::string(cell(b, f - 1));
        }
        lines.push_back(std::move(line));
      }
      lines.push_back(std::string(kSubtotalMarker) + "   " + std::string(cell(r, value)));
      lines.push_back(std::string(kSeparator));
      block_start = r + 1;
    }
    std::vector<std::string>& column = columns[static_cast<std::size_t>(p)];
    for (const std::string& line : lines) {
      for (std::string& piece : BreakLine(line)) column.push_back(std::move(piece));
    }
  }
  return columns;
}

void RoomSheetPrinter::PrintRoomSheet(int room_index, int side) {
  const std::array<std::vector<std::string>, kParts> columns =
      BuildLines(tables_, room_index, side);
  if (room_index < 0 || room_index >= tables_.rooms().count(side)) return;
  const Room& room = tables_.rooms().room(side, room_index);
  int longest = 0;
  for (const std::vector<std::string>& column : columns) {
    int n = static_cast<int>(column.size());
    if (n > 0 && column.back() == kSeparator) --n;
    longest = std::max(longest, n);
  }
  // The name and the parameters go into the title of every page; what the
  // title line cannot hold of them is cut off here, once.
  const std::string name(
      frame_.TitleLineBeginning(room.name()));
  const long places = room.PlacesCount();
  std::string parameters;
  static constexpr const char* kLetters[3] = {" A=", " S=", " L="};
  for (int i = 0; i < 3; ++i) {
    const std::string_view value = room.Cell(2 + i, kExtraColumn);
    if (!value.empty()) parameters += kLetters[i] + std::string(value);
  }
  parameters.resize(frame_.TitleLineBeginning(parameters).size());

  PrinterCanvas& canvas = frame_.canvas();
  const double width = frame_.width();
  const double height = frame_.height();
  const double column_width = (width - kLeftMargin - kRightMargin) / kParts;
  const double line_height = (height - kTopMargin - kBottomMargin) / kPageLines;
  const int pages = PagesFor(longest);
  for (int page = 0; page < pages; ++page) {
    std::string title = page == 0 ? "部屋名：" + name : "部屋名：(" + name + ")";
    if (page == 0 && places != 1) title += ":ヶ所数： " + std::to_string(places);
    title += parameters;
    frame_.PrintPageFrame(title);

    // The body's frame and the rules between the columns.
    const double bottom = height - kBottomMargin;
    canvas.DrawRect(kLeftMargin, kTopMargin, width - kRightMargin, bottom, 10);
    for (int p = 1; p < kParts; ++p) {
      const double x = kLeftMargin + p * column_width;
      canvas.DrawLine(x, kTopMargin, x, bottom, 1);
    }
    int slot = 0;
    int first = 0;
    int count = kFirstPageLines;
    if (page == 0) {
      canvas.SetFont(BodyFont(true));
      for (int p = 0; p < kParts; ++p) {
        frame_.PrintInCell(kPartNames[static_cast<std::size_t>(p)],
                           kLeftMargin + p * column_width, column_width,
                           kAlignCentre, kTopMargin + 45, BodyFont(true));
      }
      canvas.DrawLine(kLeftMargin, kTopMargin + line_height, width - kRightMargin,
                      kTopMargin + line_height, 5);
      slot = 1;
    } else {
      first = kFirstPageLines + (page - 1) * kPageLines;
      count = kPageLines;
    }
    canvas.SetFont(BodyFont());
    for (int i = 0; i < count; ++i, ++slot) {
      const double y = kTopMargin + slot * line_height + 45;
      for (int p = 0; p < kParts; ++p) {
        const std::vector<std::string>& column = columns[static_cast<std::size_t>(p)];
        const std::size_t at = static_cast<std::size_t>(first + i);
        if (at >= column.size()) continue;
        const std::string& text = column[at];
        if (text.empty() || text == kSeparator) continue;
        // A line too long for its column (the last piece of a long
        // formula) is drawn smaller or cut; a formula line gives way at
        // its beginning, so that its value stays readable.
        const bool left = text.starts_with(kItemMarker) || text.starts_with("※");
        frame_.PrintInCell(text, kLeftMargin + p * column_width, column_width,
                           left ? kAlignLeft : kAlignRight, y, BodyFont(),
                           left ? CutSide::kEnd : CutSide::kStart);
      }
    }
    frame_.NextPage();
  }
}

}  // namespace veltrano
