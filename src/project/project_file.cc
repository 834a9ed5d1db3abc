#include "project/project_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/cp932.h"
#include "calc/number_text.h"
#include "calc/text_file.h"
#include "calc/text_util.h"
#include "project/room_records.h"

namespace veltrano {
namespace {

constexpr int kLinesPerRoom = RoomRecords::kLinesPerRoom;

// What one summary table may write back: its rows times (its columns plus
// the line's tag, number and line end). Far above any table aggregation
// makes (500 rooms by 25000 items is 13 MB), it keeps a size record from
// declaring a table whose lines could not be written or read again.
constexpr long long kMaxSummaryTableBytes = 32ll << 20;
constexpr long long kSummaryLineOverhead = 12;
// What all summary tables together may write back, so that with every other
// record the file stays within what the reader takes (kMaxTextFileBytes).
// Aggregation of the largest project makes far less.
constexpr long long kMaxSummaryBytes = 64ll << 20;
// The most item columns a table can get: one per item cell of every room
// and place (500 and 100 sheets of 50 rows in five parts) and one per
// fittings kind (599 fittings of six rows in five categories). The work-type
// memory has a row per item column, so it is bounded alike.
constexpr int kMaxItemColumns =
    (kMaxRooms[kInterior] + kMaxRooms[kExterior]) * kLinesPerRoom * 5 +
    kMaxFittings * 6 * 5;
constexpr int kMaxWorkTypeMemoryRows = kMaxItemColumns;
constexpr long long kMaxSummaryColumns = kMaxItemColumns + 2;

// Summary tables by one index: 0-5 SyukeiGrid(0..5), 6-10
// GaibuSyukeiGrid(0..4), 11 TateguSyukeiGrid.
constexpr int kExteriorBase = 6;
constexpr int kFittingsSummaryIndex = 11;
constexpr int kSummaryTableCount = 12;

// What a line of the file holds, told by its tag (KindOf).
enum class Kind {
  kOther,
  kInteriorRoom,
  kExteriorRoom,
  kRegisterEntry,
  kWorkTypeMemory,
  kFittingsStore,
  kWorkTypeCopy,
  kUnitPrice,
  kInteriorSummarySize,
  kExteriorSummarySize,
  kFittingsSummarySize,
  kInteriorSummaryRow,
  kWorkTypeTableRow,
  kExteriorSummaryRow,
  kFittingsSummaryRow,
};

constexpr char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// True when `text` begins with `prefix`, ASCII letters compared without
// regard to case. Tags and markers are plain ASCII.

// The four characters of a tag, letters in upper case, as one number.
constexpr std::uint32_t PackedTag(std::string_view tag) {
  std::uint32_t packed = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    packed = packed << 8 | static_cast<unsigned char>(UpperAscii(tag[i]));
  }
  return packed;
}

Kind KindOf(std::string_view line) {
  if (line.size() < 4) return Kind::kOther;
  switch (PackedTag(line)) {
    case PackedTag("DATA"):
      return Kind::kInteriorRoom;
    case PackedTag("GAIB"):
      return Kind::kExteriorRoom;
    case PackedTag("TATE"):
      return Kind::kRegisterEntry;
    case PackedTag("KOSU"):
      return Kind::kWorkTypeMemory;
    case PackedTag("MADO"):
      return Kind::kFittingsStore;
    case PackedTag("SYUK"):
      return Kind::kWorkTypeCopy;
    case PackedTag("TANK"):
      return Kind::kUnitPrice;
    case PackedTag("SYNC"):
      return Kind::kInteriorSummarySize;
    case PackedTag("SYGC"):
      return Kind::kExteriorSummarySize;
    case PackedTag("SYTC"):
      return Kind::kFittingsSummarySize;
    case PackedTag("SYND"):
      return Kind::kInteriorSummaryRow;
    case PackedTag("SYSD"):
      return Kind::kWorkTypeTableRow;
    case PackedTag("SYGD"):
      return Kind::kExteriorSummaryRow;
    case PackedTag("SYTD"):
      return Kind::kFittingsSummaryRow;
    default:
      return Kind::kOther;
  }
}

std::string_view FieldAt(const std::vector<std::string_view>& fields,
                         std::size_t i) {
  return i < fields.size() ? fields[i] : std::string_view();
}

// A table number: a whole number within lo..hi at the start of the field (by
// the leading-number rule). A field without a number names no table, rather
// than table 0.
bool ReadTableNumber(std::string_view text, int lo, int hi, int* number) {
  std::string_view digits = TrimBlanks(text);
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
    digits.remove_prefix(1);
  }
  if (!digits.empty() && digits[0] == '.') digits.remove_prefix(1);
  if (digits.empty() || digits[0] < '0' || digits[0] > '9') return false;
  const double value = LeadingNumber(text);
  if (value != std::floor(value) || value < lo || value > hi) return false;
  *number = static_cast<int>(value);
  return true;
}

// The summary table a size or row line names: its field 1 for the part
// tables (0-5 for "SyNC", 0-4 for "SyND", "SyGC" and "SyGD", 5 for
// "SySD"); the fittings summary for "SyTC" and "SyTD". False when the line
// names no table.
bool TableOfLine(Kind kind, const std::vector<std::string_view>& f,
                 int* table) {
  switch (kind) {
    case Kind::kInteriorSummarySize:
      return ReadTableNumber(FieldAt(f, 1), 0, kWorkTypeTable, table);
    case Kind::kInteriorSummaryRow:
      return ReadTableNumber(FieldAt(f, 1), 0, 4, table);
    case Kind::kWorkTypeTableRow:
      return ReadTableNumber(FieldAt(f, 1), kWorkTypeTable, kWorkTypeTable,
                             table);
    case Kind::kExteriorSummarySize:
    case Kind::kExteriorSummaryRow:
      if (!ReadTableNumber(FieldAt(f, 1), 0, 4, table)) return false;
      *table += kExteriorBase;
      return true;
    default:
      *table = kFittingsSummaryIndex;
      return true;
  }
}

// A size by the leading-number rule, fraction dropped, at least 0.
long long ReadSize(std::string_view text) {
  const double value = std::trunc(LeadingNumber(text));
  if (!(value > 0)) return 0;
  return value >= 1e15 ? 1'000'000'000'000'000ll
                       : static_cast<long long>(value);
}

std::string Count(std::size_t n) { return std::to_string(n); }

TextGrid* SummaryTable(Project* t, int index) {
  if (index < kExteriorBase) return t->interior_summaries()[index].Edit();
  if (index < kFittingsSummaryIndex) {
    return t->exterior_summaries()[index - kExteriorBase].Edit();
  }
  return t->fittings_summary().Edit();
}

void AppendCells(const TextGrid& grid, int row, int cols, char separator,
                 std::string* line) {
  const int stored = std::min(cols, grid.StoredCols(row));
  for (int c = 0; c < stored; ++c) {
    line->append(grid.At(row, c));
    line->push_back(separator);
  }
  // The cells that hold nothing, at once.
  line->append(static_cast<std::size_t>(cols - stored), separator);
}

void AppendSizeLine(std::string_view tag, std::string_view number,
                    const TextGrid& grid, const LineSink& out) {
  std::string line(tag);
  line += ',';
  line += number;
  line += ',';
  line += std::to_string(grid.cols());
  line += ',';
  line += std::to_string(grid.rows());
  line += ',';
  out(std::move(line));
}

void AppendSummaryRows(std::string_view head, char separator,
                       const TextGrid& grid, const LineSink& out) {
  for (int r = 0; r < grid.rows(); ++r) {
    std::string line(head);
    AppendCells(grid, r, grid.cols(), separator, &line);
    out(std::move(line));
  }
}

// The lines of each record kind, as positions in the file's line list.
struct Sorted {
  std::array<std::vector<std::size_t>, 2> sheet;
  // Fittings register ("Tate"), work-type memory ("KoSu"), fittings takeoff
  // store ("Mado"), work-type table copy ("Syuk"), unit prices ("Tank"),
  // summary sizes and summary rows.
  std::vector<std::size_t> register_lines, work_type_memory_lines,
      fittings_store_lines, work_type_copy_lines, unit_price_lines, sizes, rows;
  bool had_sheet_or_fittings = false;
};

Sorted SortLines(const std::vector<std::string>& lines) {
  Sorted s;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.empty() || EqualsIgnoreCase(line, "New")) continue;
    switch (KindOf(line)) {
      case Kind::kInteriorRoom:
        s.sheet[kInterior].push_back(i);
        break;
      case Kind::kExteriorRoom:
        s.sheet[kExterior].push_back(i);
        break;
      case Kind::kRegisterEntry:
        s.register_lines.push_back(i);
        break;
      case Kind::kWorkTypeMemory:
        s.work_type_memory_lines.push_back(i);
        break;
      case Kind::kFittingsStore:
        s.fittings_store_lines.push_back(i);
        break;
      case Kind::kWorkTypeCopy:
        s.work_type_copy_lines.push_back(i);
        break;
      case Kind::kUnitPrice:
        s.unit_price_lines.push_back(i);
        break;
      case Kind::kInteriorSummarySize:
      case Kind::kExteriorSummarySize:
      case Kind::kFittingsSummarySize:
        s.sizes.push_back(i);
        break;
      case Kind::kInteriorSummaryRow:
      case Kind::kWorkTypeTableRow:
      case Kind::kExteriorSummaryRow:
      case Kind::kFittingsSummaryRow:
        s.rows.push_back(i);
        break;
      case Kind::kOther:
        break;
    }
  }
  s.had_sheet_or_fittings = !s.sheet[kInterior].empty() ||
                            !s.sheet[kExterior].empty() || !s.register_lines.empty() ||
                            !s.fittings_store_lines.empty();
  return s;
}

// Keeps the first `capacity` positions; returns how many were dropped.
std::size_t CutTo(std::vector<std::size_t>* positions, std::size_t capacity) {
  if (positions->size() <= capacity) return 0;
  const std::size_t dropped = positions->size() - capacity;
  positions->resize(capacity);
  return dropped;
}

std::string TakeLine(const std::string& line) { return line; }
std::string TakeLine(std::string& line) { return std::move(line); }

// The rooms of each side, with progress. Returns for each side whether its
// last room was short (and has been completed with empty lines).
template <typename Lines>
std::array<bool, 2> ReadRooms(Lines& lines, const Sorted& s,
                              std::size_t register_lines, Project* t,
                              Progress& progress) {
  std::array<bool, 2> short_last_room = {false, false};
  const std::size_t steps =
      s.sheet[kInterior].size() + s.sheet[kExterior].size() + register_lines + 1;
  progress.ShowProgress(static_cast<int>(steps));
  int done = 0;
  for (int side : {kInterior, kExterior}) {
    const std::vector<std::size_t>& positions = s.sheet[side];
    const std::string empty_line = RoomRecords::EmptyLine(side);
    std::array<std::string, kLinesPerRoom> room_lines;
    for (std::size_t first = 0; first < positions.size(); first += kLinesPerRoom) {
      for (std::size_t k = 0; k < kLinesPerRoom; ++k) {
        if (first + k < positions.size()) {
          room_lines[k] = TakeLine(lines[positions[first + k]]);
          progress.SetProgress(++done);
        } else {
          // Keep the side in whole rooms: complete a last room that is short.
          room_lines[k] = empty_line;
          short_last_room[side] = true;
        }
      }
      t->rooms().AppendAsRead(side, RoomRecords::ReadRoom(side, std::move(room_lines)));
    }
  }
  progress.HideProgress();
  return short_last_room;
}

// Summary sizes, then summary rows. The size record decides each table's
// columns and rows; fields and row lines beyond them are left out with one
// notice, missing ones are empty.
// Returns true when the summary records are whole as every written file
// has them: a size record for each table, and every row it declares.
template <typename Lines>
bool ReadSummaries(const Lines& lines, const Sorted& s, Project* t,
                   ProjectReadResult* result) {
  struct Size {
    bool sized = false;
    long long rows = 0;
    long long cols = 0;
  };
  std::array<Size, kSummaryTableCount> sizes{};
  int unplaced = 0;

  std::vector<std::string_view> f;
  for (std::size_t i : s.sizes) {
    SplitFieldsInto(lines[i], ',', &f);
    int table = 0;
    if (!TableOfLine(KindOf(lines[i]), f, &table)) {
      ++unplaced;
      continue;
    }
    sizes[static_cast<std::size_t>(table)] = {true, ReadSize(FieldAt(f, 3)),
                                              ReadSize(FieldAt(f, 2))};
  }

  std::vector<std::string> shrunk;
  long long budget = kMaxSummaryBytes;
  for (int table = 0; table < kSummaryTableCount; ++table) {
    const Size& size = sizes[static_cast<std::size_t>(table)];
    if (!size.sized) continue;
    // Each table within its own bound and all of them within theirs, in
    // table order.
    const long long table_bytes = std::min(kMaxSummaryTableBytes, budget);
    long long cols = std::min(size.cols, kMaxSummaryColumns);
    long long rows =
        std::min(size.rows, table_bytes / (cols + kSummaryLineOverhead));
    budget -= rows * (cols + kSummaryLineOverhead);
    if (rows != size.rows || cols != size.cols) {
      shrunk.push_back(
          std::to_string(size.rows) + "行×" + std::to_string(size.cols) +
          "列を" + std::to_string(rows) + "行×" + std::to_string(cols) + "列");
    }
    // Emptied first: rows without a line and cells without a field are
    // empty. Storage is lazy, so the size alone allocates nothing.
    TextGrid& grid = *SummaryTable(t, table);
    grid.Resize(0, 0);
    grid.Resize(static_cast<int>(rows), static_cast<int>(cols));
  }

  std::array<int, kSummaryTableCount> next_row{};
  std::array<bool, kSummaryTableCount> emptied{};
  int rows_left_out = 0;
  int rows_cut = 0;
  for (std::size_t i : s.rows) {
    const Kind kind = KindOf(lines[i]);
    SplitFieldsInto(lines[i], kind == Kind::kWorkTypeTableRow ? '\'' : ',', &f);
    int table = 0;
    if (!TableOfLine(kind, f, &table)) {
      ++unplaced;
      continue;
    }
    const auto index = static_cast<std::size_t>(table);
    TextGrid& grid = *SummaryTable(t, table);
    if (!sizes[index].sized && !emptied[index]) {
      // Without a size record the table keeps the size it has, emptied.
      const int rows = grid.rows();
      const int cols = grid.cols();
      grid.Resize(0, 0);
      grid.Resize(rows, cols);
      emptied[index] = true;
    }
    const int r = next_row[index]++;
    if (r >= grid.rows()) {
      ++rows_left_out;
      continue;
    }
    const std::size_t cols = static_cast<std::size_t>(grid.cols());
    for (std::size_t c = 0; c < cols && c + 2 < f.size(); ++c) {
      grid.Set(r, static_cast<int>(c), f[c + 2]);
    }
    for (std::size_t k = cols + 2; k < f.size(); ++k) {
      if (!f[k].empty()) {
        ++rows_cut;
        break;
      }
    }
  }

  if (unplaced > 0) {
    result->cut.push_back("集計表のデータのうち" + Count(unplaced) +
                          "行は該当する集計表がないため読み込みませんでした。");
  }
  if (rows_left_out > 0 || rows_cut > 0 || !shrunk.empty()) {
    std::string text = "集計表の大きさを超えるデータを読み込みませんでした。";
    if (rows_left_out > 0) {
      text += "（行数を超える" + Count(rows_left_out) + "行）";
    }
    if (rows_cut > 0) {
      text += "（列数を超える項目のある" + Count(rows_cut) + "行）";
    }
    for (const std::string& change : shrunk) {
      text += "（大きすぎる" + change + "に縮小）";
    }
    result->cut.push_back(std::move(text));
  }
  result->unplaced_summary_lines = unplaced;

  for (int table = 0; table < kSummaryTableCount; ++table) {
    const auto index = static_cast<std::size_t>(table);
    if (!sizes[index].sized || next_row[index] < sizes[index].rows) {
      return false;
    }
  }
  return true;
}

// The sheet lines of a side must come in whole rooms: a line naming the
// room, then 49 lines "@". Returns the position (in the side's lines) of
// the first line out of step, or -1; `room` gets the name of the room
// concerned. A short last room is not out of step.
template <typename Lines>
long long FirstSheetLineOutOfStep(const Lines& lines,
                                  const std::vector<std::size_t>& side,
                                  std::string* room) {
  std::string_view current;
  for (std::size_t k = 0; k < side.size(); ++k) {
    const std::string_view name = RoomRecords::NameField(lines[side[k]]);
    const bool names_a_room = RoomRecords::NamesARoom(name);
    if (k % kLinesPerRoom == 0) {
      if (!names_a_room) {
        // The room before has more than 50 lines, or the first room has
        // no name line.
        *room = k == 0 ? std::string() : std::string(current);
        return static_cast<long long>(k);
      }
      current = name;
    } else if (names_a_room) {
      // The room before ends early.
      *room = std::string(current);
      return static_cast<long long>(k);
    }
  }
  return -1;
}

// A reading that failed at `step` (1 reading the file, 2 out of memory, 4
// the sheet lines): "エラー(SiageHiroi:FileOpen)" with the step and the
// reason, then the number of the line concerned (0 when none was taken).
ProjectReadResult ReadFailure(int step, std::string reason, std::size_t line,
                              Dialogs& dialogs) {
  ProjectReadResult result;
  result.failed = true;
  result.error = std::move(reason);
  dialogs.ShowMessage(kReadCheckTitle,
                      std::string(kReadFailureText) + std::to_string(step) +
                          "\n" + result.error,
                      MessageIcon::kCritical);
  dialogs.ShowMessage(kReadLineTitle, Count(line), MessageIcon::kCritical);
  return result;
}

// The notice of a damaged file: what may be missing and the last room and
// place that were read.
std::string DamageNotice(const Project& t) {
  std::string text =
      "ファイルが途中で切れているか、一部が欠けています。"
      "ファイルが破損している可能性があります。";
  static constexpr std::array<std::string_view, 2> kWhat = {"部屋", "場所"};
  bool any = false;
  for (int side : {kInterior, kExterior}) {
    const std::vector<std::string>& names = t.rooms().names(side);
    if (names.empty()) continue;
    any = true;
    text += "\n最後に読み込んだ" + std::string(kWhat[side]) + "：「" +
            names.back() + "」（" + Count(names.size()) +
            std::string(kWhat[side]) + "目）";
  }
  if (!any) text += "\n部屋と場所のデータはありません。";
  return text;
}

// `file` is the file the lines come from, or nullptr for lines that come
// from elsewhere (which are not judged as a file).
template <typename Lines>
ProjectReadResult Parse(Lines& lines, const LoadedProjectFile* file,
                        Project* t, Dialogs& dialogs,
                        Progress& progress) {
  ProjectReadResult result;
  Sorted s = SortLines(lines);
  result.had_sheet_or_fittings = s.had_sheet_or_fittings;

  // Sheet lines out of step with the rooms would put every later room's
  // name on another room's sheet: nothing is read.
  for (int side : {kInterior, kExterior}) {
    std::string room;
    const long long at = FirstSheetLineOutOfStep(lines, s.sheet[side], &room);
    if (at < 0) continue;
    const std::string what = side == kInterior ? "部屋" : "場所";
    const std::string named =
        room.empty() ? "最初の" + what + "に名前の行がありません。"
                     : what + "「" + room + "」の行数が" +
                           Count(kLinesPerRoom) + "行ではありません。";
    return ReadFailure(4, named + what + "とその計算書の対応が崩れているため、" +
                              "読み込みを中止しました。",
                       static_cast<std::size_t>(at) + 1, dialogs);
  }
  if (file != nullptr && file->shape.last_line_unterminated) {
    result.damaged = true;
    result.cut.push_back(
        "ファイルの最後の行に改行がありません。ファイルが途中で切れている"
        "可能性があります。");
  }

  // Capacities first, so that every step below works on what is kept.
  if (std::size_t n =
          CutTo(&s.sheet[kInterior], kMaxRooms[kInterior] * kLinesPerRoom)) {
    result.cut.push_back("部屋データが" + Count(kMaxRooms[kInterior]) +
                         "部屋を超えています。" +
                         Count(kMaxRooms[kInterior] + 1) + "部屋目以降の" +
                         Count(n) + "行は読み込みませんでした。");
  }
  if (std::size_t n =
          CutTo(&s.sheet[kExterior], kMaxRooms[kExterior] * kLinesPerRoom)) {
    result.cut.push_back("場所データが" + Count(kMaxRooms[kExterior]) +
                         "場所を超えています。" +
                         Count(kMaxRooms[kExterior] + 1) + "場所目以降の" +
                         Count(n) + "行は読み込みませんでした。");
  }
  // A "Tate" line without a code would leave a gap in the register, and the
  // writer drops everything below a gap.
  const auto no_code = std::remove_if(
      s.register_lines.begin(), s.register_lines.end(),
      [&](std::size_t i) { return FieldOf(lines[i], 1).empty(); });
  if (const auto n = static_cast<std::size_t>(s.register_lines.end() - no_code)) {
    s.register_lines.erase(no_code, s.register_lines.end());
    result.cut.push_back("符号のない建具データ" + Count(n) +
                         "件は読み込みませんでした。");
  }
  if (std::size_t n = CutTo(&s.register_lines, kMaxFittings)) {
    result.cut.push_back("建具リストが" + Count(kMaxFittings) +
                         "件を超えています。" + Count(kMaxFittings + 1) +
                         "件目以降の" + Count(n) +
                         "件は読み込みませんでした。");
  }
  if (std::size_t n = CutTo(&s.work_type_memory_lines, kMaxWorkTypeMemoryRows)) {
    result.cut.push_back("工種の記憶が" + Count(kMaxWorkTypeMemoryRows) +
                         "行を超えています。" +
                         Count(kMaxWorkTypeMemoryRows + 1) + "行目以降の" +
                         Count(n) + "行は読み込みませんでした。");
  }
  const std::array<bool, 2> short_last_room =
      ReadRooms(lines, s, s.register_lines.size(), t, progress);

  std::vector<std::string_view> f;  // the fields of one line

  // Work-type memory: one row per line, at least one.
  {
    const int n = std::max<int>(1, static_cast<int>(s.work_type_memory_lines.size()));
    t->work_type_memory() = TextGrid(n, kWorkTypeMemoryCols);
    TextGrid& work_type_memory = *t->work_type_memory().Edit();
    for (std::size_t i = 0; i < s.work_type_memory_lines.size(); ++i) {
      SplitFieldsInto(lines[s.work_type_memory_lines[i]], ',', &f);
      for (int j = 0; j < kWorkTypeMemoryCols; ++j) {
        work_type_memory.Set(static_cast<int>(i), j,
                                FieldAt(f, static_cast<std::size_t>(j) + 1));
      }
    }
  }

  // Fittings register: rows 1.. in file order.
  TextGrid& fittings_register = *t->fittings_register().Edit();
  for (std::size_t j = 0; j < s.register_lines.size(); ++j) {
    SplitFieldsInto(lines[s.register_lines[j]], ',', &f);
    for (int c = 0; c < kRegisterCols; ++c) {
      fittings_register.Set(static_cast<int>(j) + 1, c,
                               FieldAt(f, static_cast<std::size_t>(c) + 1));
    }
  }

  // Fittings takeoff store: one row per line; an empty store keeps its
  // single row.
  {
    const int n = std::max<int>(1, static_cast<int>(s.fittings_store_lines.size()));
    t->fittings_store() = TextGrid(n, kFittingsStoreCols);
    TextGrid& fittings_store = *t->fittings_store().Edit();
    for (std::size_t i = 0; i < s.fittings_store_lines.size(); ++i) {
      SplitFieldsInto(lines[s.fittings_store_lines[i]], ',', &f);
      for (int k = 0; k < kFittingsStoreCols; ++k) {
        fittings_store.Set(static_cast<int>(i), k,
                              FieldAt(f, static_cast<std::size_t>(k)));
      }
    }
  }

  // Work-type table copy, split at "'"; without lines it keeps the single
  // empty row it has after emptying.
  if (!s.work_type_copy_lines.empty()) {
    t->work_type_copy() = TextGrid(static_cast<int>(s.work_type_copy_lines.size()), kWorkTypeCopyCols);
    TextGrid& work_type_copy = *t->work_type_copy().Edit();
    for (std::size_t i = 0; i < s.work_type_copy_lines.size(); ++i) {
      SplitFieldsInto(lines[s.work_type_copy_lines[i]], '\'', &f);
      for (int k = 0; k < kWorkTypeCopyCols; ++k) {
        work_type_copy.Set(static_cast<int>(i), k,
                              FieldAt(f, static_cast<std::size_t>(k)));
      }
    }
  }

  // Unit-price table, split at "'": one row per line, at least one.
  {
    const int n = std::max<int>(1, static_cast<int>(s.unit_price_lines.size()));
    t->unit_prices() = TextGrid(n, kUnitPriceCols);
    TextGrid& unit_prices = *t->unit_prices().Edit();
    for (std::size_t i = 0; i < s.unit_price_lines.size(); ++i) {
      SplitFieldsInto(lines[s.unit_price_lines[i]], '\'', &f);
      for (int k = 0; k < kUnitPriceCols; ++k) {
        unit_prices.Set(static_cast<int>(i), k,
                           FieldAt(f, static_cast<std::size_t>(k) + 1));
      }
    }
  }

  const bool summaries_whole = ReadSummaries(lines, s, t, &result);

  if (file != nullptr && !lines.empty()) {
    // Every file the writer makes ends with whole rooms and holds every
    // size record and every summary row they declare; what lacks them was
    // cut short or damaged.
    if (short_last_room[kInterior] || short_last_room[kExterior] ||
        !summaries_whole) {
      result.damaged = true;
    }
    if (result.damaged) {
      result.cut.insert(result.cut.begin(), DamageNotice(*t));
    }
    if (file->utf8_text) {
      result.cut.push_back(
          "このファイルの文字はUTF-8で書かれています。物件データの文字コード"
          "（シフトJIS）ではないため、名前や項目が正しく表示されない可能性が"
          "あります。");
    }
  }

  if (!result.cut.empty()) {
    std::string text;
    for (const std::string& sentence : result.cut) {
      if (!text.empty()) text += '\n';
      text += sentence;
    }
    dialogs.ShowMessage(kReadCheckTitle, text, MessageIcon::kWarning);
  }
  return result;
}

// The first cell written into a record that holds the record's separator,
// described for the message that refuses the save, or "": read back, such a
// cell would split into two fields and move every field after it.
std::string SeparatorInCells(const Project& t) {
  struct Written {
    const TextGrid& grid;
    char separator;
    std::string_view table;
    int cols;
  };
  std::vector<Written> written = {
      {t.fittings_register(), ',', "建具リスト", 3},
      {t.work_type_memory(), ',', "集計表の工種", kWorkTypeMemoryCols},
      {t.fittings_store(), ',', "建具廻りの入力済みデータ", kFittingsStoreCols},
      {t.work_type_copy(), '\'', "工種別集計表", kWorkTypeCopyCols},
      {t.unit_prices(), '\'', "工種別集計表の単価", kUnitPriceCols},
      {t.interior_summaries()[kWorkTypeTable], '\'', "工種別集計表", -1},
      {t.fittings_summary(), ',', "建具集計表", -1},
  };
  for (int n = 0; n < kWorkTypeTable; ++n) {
    written.push_back({t.interior_summaries()[n], ',', "内部集計表", -1});
    written.push_back({t.exterior_summaries()[n], ',', "外部集計表", -1});
  }
  for (const Written& w : written) {
    const int cols = w.cols < 0 ? w.grid.cols() : w.cols;
    for (int r = 0; r < w.grid.rows(); ++r) {
      const int stored = std::min(cols, w.grid.StoredCols(r));
      for (int c = 0; c < stored; ++c) {
        const std::string& cell = w.grid.At(r, c);
        if (cell.find(w.separator) == std::string::npos) continue;
        return std::string(w.table) + "の「" + cell + "」に区切りの文字「" +
               w.separator + "」があるため保存できません。";
      }
    }
  }
  return {};
}

}  // namespace

namespace {

void ForEachProjectLine(const Project& t, const LineSink& out) {
  // Rooms, up to the side's capacity.
  for (int side : {kInterior, kExterior}) {
    const int rooms = std::min(t.rooms().count(side), kMaxRooms[side]);
    for (int i = 0; i < rooms; ++i) RoomRecords::ForEachLine(side, t.rooms().room(side, i), out);
  }

  // Fittings register, row 1 down to the first empty code.
  const TextGrid& reg = t.fittings_register();
  for (int r = 1; r < reg.rows() && !reg.At(r, 0).empty(); ++r) {
    out("Tate," + reg.At(r, 0) + "," + reg.At(r, 1) + "," + reg.At(r, 2));
  }

  for (int r = 0; r < t.work_type_memory()->rows(); ++r) {
    std::string line = "KoSu,";
    AppendCells(t.work_type_memory(), r, kWorkTypeMemoryCols, ',', &line);
    out(std::move(line));
  }

  const TextGrid& store = t.fittings_store();
  for (int r = 0; r < store.rows(); ++r) {
    const std::string& marker = store.At(r, 0);
    if (marker.empty() || EqualsIgnoreCase(marker, "DelData")) continue;
    std::string line;
    AppendCells(store, r, kFittingsStoreCols, ',', &line);
    out(std::move(line));
  }

  for (int r = 0; r < t.work_type_copy()->rows(); ++r) {
    std::string line;
    AppendCells(t.work_type_copy(), r, kWorkTypeCopyCols, '\'', &line);
    out(std::move(line));
  }

  for (int r = 0; r < t.unit_prices()->rows(); ++r) {
    std::string line = "Tank'";
    AppendCells(t.unit_prices(), r, kUnitPriceCols, '\'', &line);
    out(std::move(line));
  }

  static constexpr std::array<std::string_view, 6> kNumbers = {"0", "1", "2",
                                                               "3", "4", "5"};
  for (int n = 0; n <= kWorkTypeTable; ++n) {
    AppendSizeLine("SyNC", kNumbers[n], t.interior_summaries()[n], out);
  }
  for (int n = 0; n < 5; ++n) {
    AppendSizeLine("SyGC", kNumbers[n], t.exterior_summaries()[n], out);
  }
  AppendSizeLine("SyTC", "5", t.fittings_summary(), out);

  for (int n = 0; n < 5; ++n) {
    AppendSummaryRows("SyND," + std::string(kNumbers[n]) + ",", ',',
                      t.interior_summaries()[n], out);
  }
  AppendSummaryRows("SySD'5'", '\'', t.interior_summaries()[kWorkTypeTable], out);
  for (int n = 0; n < 5; ++n) {
    AppendSummaryRows("SyGD," + std::string(kNumbers[n]) + ",", ',',
                      t.exterior_summaries()[n], out);
  }
  AppendSummaryRows("SyTD,@,", ',', t.fittings_summary(), out);
}

}  // namespace

std::vector<std::string> BuildProjectLines(const Project& t) {
  std::vector<std::string> out;
  std::size_t summary_rows = t.fittings_summary()->rows();
  for (const TextGrid& g : t.interior_summaries()) summary_rows += g.rows();
  for (const TextGrid& g : t.exterior_summaries()) summary_rows += g.rows();
  out.reserve(
      static_cast<std::size_t>(t.rooms().count(kInterior) + t.rooms().count(kExterior)) *
          kLinesPerRoom +
      kRegisterRows + t.work_type_memory()->rows() + t.fittings_store()->rows() +
      t.work_type_copy()->rows() + t.unit_prices()->rows() + 12 + summary_rows);
  ForEachProjectLine(t, [&out](std::string&& line) { out.push_back(std::move(line)); });
  return out;
}

bool WriteProjectFile(const std::filesystem::path& path, const Project& t,
                      std::string* error) {
  if (std::string separator = SeparatorInCells(t); !separator.empty()) {
    *error = std::move(separator);
    return false;
  }
  // The lines are encoded and written as they are made: memory holds a
  // buffer, not the file.
  TextLinesWriter writer;
  if (!writer.Open(path, error)) return false;
  ForEachProjectLine(t, [&writer](std::string&& line) { writer.Add(line); });
  // A file the reader would refuse is never written: the project on disk
  // stays as it was.
  if (writer.size() > kMaxTextFileBytes) {
    writer.Refuse("物件データが大きすぎるため保存できません（" +
                  std::to_string(writer.size() >> 20) + "MB、上限は" +
                  std::to_string(kMaxTextFileBytes >> 20) + "MB）: " + PathText(path));
  }
  return writer.Commit(error);
}

ProjectReadResult ParseProjectLines(const std::vector<std::string>& lines,
                                    Project* t, Dialogs& dialogs,
                                    Progress& progress) {
  return Parse(lines, nullptr, t, dialogs, progress);
}

ProjectReadResult ParseProjectLines(std::vector<std::string>&& lines,
                                    Project* t, Dialogs& dialogs,
                                    Progress& progress) {
  return Parse(lines, nullptr, t, dialogs, progress);
}

std::vector<FittingEntry> ReadRegisterEntries(const std::vector<std::string>& lines) {
  std::vector<FittingEntry> entries;
  for (const std::string& line : lines) {
    if (line.empty()) break;
    // A line without a code would leave a gap in the register.
    if (KindOf(line) == Kind::kRegisterEntry && !FieldOf(line, 1).empty()) {
      entries.push_back({std::string(FieldOf(line, 1)), std::string(FieldOf(line, 2)),
                         std::string(FieldOf(line, 3))});
    }
  }
  return entries;
}

bool IsProjectRecordLine(std::string_view raw_line) {
  return KindOf(raw_line) != Kind::kOther;
}

bool LoadProjectFile(const std::filesystem::path& path,
                     LoadedProjectFile* loaded, std::string* error) {
  // Temporaries of saves of this project that died on the way.
  RemoveStaleTemporaries(path);
  *loaded = LoadedProjectFile();
  bool all_utf8 = true;
  bool beyond_ascii = false;
  try {
    const bool read = ForEachTextLine(
        path,
        [&](std::string_view raw) {
          if (KindOf(raw) == Kind::kOther) {
            if (EqualsIgnoreCase(raw, "New")) loaded->is_project = true;
            return true;
          }
          loaded->is_project = true;
          if (all_utf8) {
            const Utf8Check check = CheckUtf8(raw);
            all_utf8 = check.valid;
            beyond_ascii = beyond_ascii || check.beyond_ascii;
          }
          loaded->lines.push_back(Cp932ToUtf8(raw));
          return true;
        },
        error, &loaded->shape);
    if (!read) {
      *loaded = LoadedProjectFile();
      return false;
    }
  } catch (const std::bad_alloc&) {
    *loaded = LoadedProjectFile();
    *error = "メモリが足りないため読めません: " + PathText(path);
    return false;
  }
  loaded->utf8_text = all_utf8 && beyond_ascii;
  return true;
}

ProjectReadResult ReportUnreadableProjectFile(std::string error,
                                              Dialogs& dialogs) {
  return ReadFailure(1, std::move(error), 0, dialogs);
}

ProjectReadResult ReportNotAProject(const std::filesystem::path& path,
                                    Dialogs& dialogs) {
  ProjectReadResult result;
  result.failed = true;
  result.error = std::string(kNotAProjectText);
  dialogs.ShowMessage(kReadCheckTitle, result.error + "\n" + PathText(path),
                      MessageIcon::kCritical);
  return result;
}

ProjectReadResult ApplyProjectFile(LoadedProjectFile&& loaded,
                                   Project* t, Dialogs& dialogs,
                                   Progress& progress) {
  try {
    return Parse(loaded.lines, &loaded, t, dialogs, progress);
  } catch (const std::bad_alloc&) {
    return ReadFailure(2, "メモリが足りないため読めません。", 0, dialogs);
  }
}

ProjectReadResult ReadProjectFile(const std::filesystem::path& path,
                                  Project* t, Dialogs& dialogs,
                                  Progress& progress) {
  LoadedProjectFile loaded;
  std::string error;
  if (!LoadProjectFile(path, &loaded, &error)) {
    return ReportUnreadableProjectFile(std::move(error), dialogs);
  }
  if (!loaded.is_project) return ReportNotAProject(path, dialogs);
  return ApplyProjectFile(std::move(loaded), t, dialogs, progress);
}

}  // namespace veltrano
