#ifndef VELTRANO_PROJECT_PROJECT_FILE_H_
#define VELTRANO_PROJECT_PROJECT_FILE_H_

// The project data file (".xdt"): every table of a project as record lines,
// one record per line, named by its first four characters (the tag). On disk
// the file is CP932 with CR LF line ends (calc/text_file.h); here the lines
// are UTF-8 texts without line ends.
//
// Records, in the order they are written:
//   "Data"  interior room store lines (50 per room), verbatim
//   "Gaib"  exterior room store lines (50 per place), verbatim
//   "Tate"  "Tate," code "," W "," H  (register rows 1.. to the first
//           empty code)
//   "KoSu"  "KoSu," + 22 work-type memory cells, each followed by ","
//   "Mado"  35 fittings takeoff store cells, each followed by ","
//           (column 0 is the row marker; rows marked "DelData" are left out)
//   "Syuk"  10 work-type table copy cells, each followed by "'"
//   "Tank"  "Tank'" + 7 unit-price cells, each followed by "'"
//   "SyNC"  "SyNC," table "," columns "," rows ","  for interior tables 0-5
//   "SyGC"  the same for exterior tables 0-4
//   "SyTC"  "SyTC,5," columns "," rows ","  for the fittings summary
//   "SyND"  "SyND," table "," + cells each followed by ","  (tables 0-4)
//   "SySD"  "SySD'5'" + cells each followed by "'"  (the work-type table)
//   "SyGD"  "SyGD," table "," + cells each followed by ","  (tables 0-4)
//   "SyTD"  "SyTD,@," + cells each followed by ","  (the fittings summary)
//
// Reading is lenient and never refuses what the writer can write:
//  - Tags compare without regard to letter case; lines "New" (any case),
//    empty lines and lines with any other tag are ignored. Sheet lines are
//    kept exactly as read, so a file read and written again comes out byte
//    for byte the same.
//  - Every record kind is applied, whether or not the file holds sheet or
//    fittings records.
//  - A record with fewer fields than expected reads the missing fields as
//    empty.
//  - Capacities: a side holds at most 500 rooms (25000 "Data" lines) or 100
//    places (5000 "Gaib" lines), the register 599 fittings, the work-type
//    memory 1001 "KoSu" lines, the fittings takeoff store 4001 "Mado" lines
//    (cut before a six-row block that would not fit whole), the unit-price
//    table 2001 "Tank" lines, the summary tables 10001 row lines together.
//    What lies beyond is left out and named in one message ("チェック") at the
//    end of the reading, together with the "Tate" lines without a code and
//    the summary lines that name no table.
//  - A room store whose last room has fewer than 50 lines is completed with
//    empty sheet lines, so that the store stays in whole rooms.
//  - Summary tables: a size line gives columns and rows, read by the
//    leading-number rule and clamped to 0..2000 columns and 0..10001 rows;
//    then no table gets more rows than it has row lines (or has from its
//    layout), nor more columns than its longest row line (or its layout)
//    has cells, so that a size line alone allocates nothing (the summary
//    tables can hold at most about 10001 x 2000 cells). A table grows
//    to hold every row line that names it and every non-empty cell of
//    those lines (up to 2000 columns). "SyND" and "SyGD" lines name part
//    tables 0-4 by their field 1, "SySD" lines the work-type table (field 1
//    is "5"), "SyTD" lines the fittings summary; a line naming anything else
//    is skipped and counted. With several size lines for one table the last
//    one holds.
//  - The work-type table copy keeps its single empty row when the file holds
//    no "Syuk" line (the line the writer makes of that row consists of
//    separators only and is not read back).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "project/project_tables.h"
#include "port/dialogs.h"

namespace veltrano {

// Title and fixed text of the read-failure messages.
inline constexpr std::string_view kReadCheckTitle = kTitleCheck;
inline constexpr std::string_view kReadLineTitle = "iチェック";
inline constexpr std::string_view kReadFailureText =
    "エラー(SiageHiroi:FileOpen)";

// The record lines of the whole project, in file order. The caller has
// stored the shown sheet and refreshed the work-type memory before.
std::vector<std::string> BuildProjectLines(const ProjectTables& t);

// Writes the project to `path` (CP932, CR LF), replacing any file there only
// once the new one is complete. On failure returns false with the reason in
// `error`; the file on disk is then unchanged.
bool WriteProjectFile(const std::filesystem::path& path, const ProjectTables& t,
                      std::string* error);

struct ProjectReadResult {
  // The file could not be read; nothing was loaded and the project is not
  // open. The failure messages have been shown.
  bool failed = false;
  // A "Data", "Gaib", "Tate" or "Mado" line was read: the caller rebuilds
  // the entered-data list of the fittings.
  bool had_sheet_or_fittings = false;
  // What was left out, one sentence each; shown as one message.
  std::vector<std::string> cut;
  // Summary lines (size or row lines) that named no table.
  int unplaced_summary_lines = 0;
  // The reason the file could not be read.
  std::string error;
};

// Reads the record lines of a project into tables the caller has emptied
// (ResetProjectTables). Shows progress while the room lists are built and,
// when anything was left out, one message naming it.
ProjectReadResult ParseProjectLines(const std::vector<std::string>& lines,
                                    ProjectTables* t, Dialogs& dialogs,
                                    Progress& progress);
// The same, taking the lines over instead of copying the sheet lines.
ProjectReadResult ParseProjectLines(std::vector<std::string>&& lines,
                                    ProjectTables* t, Dialogs& dialogs,
                                    Progress& progress);

// Reads a project data file into emptied tables. A file that cannot be read
// shows "エラー(SiageHiroi:FileOpen)" with the step number (1) and the reason,
// titled "チェック", then the number of the line being read (0), titled
// "iチェック", and returns a failed result with the tables untouched.
ProjectReadResult ReadProjectFile(const std::filesystem::path& path,
                                  ProjectTables* t, Dialogs& dialogs,
                                  Progress& progress);

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_PROJECT_FILE_H_
