#ifndef VELTRANO_PROJECT_PROJECT_FILE_H_
#define VELTRANO_PROJECT_PROJECT_FILE_H_

// The project data file (".xdt"): every table of a project as record lines,
// one record per line, named by its first four characters (the tag). On disk
// the file is CP932 with CR LF line ends (calc/text_file.h); here the lines
// are UTF-8 texts without line ends.
//
// Records, in the order they are written:
//   "Data"  interior rooms, 50 lines each (room_records.h), as read
//   "Gaib"  exterior places, 50 lines each, as read
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
//  - The file is read only if it is a regular file of at most 256 MB; only
//    lines with a known tag are kept in memory. A leading UTF-8 byte-order
//    mark is skipped; a last line without a line end is read and named in
//    a notice (the file may have been cut short).
//  - A file without a single record line (nor the line "New") is not a
//    project: empty, binary, UTF-16 or another program's text. It is
//    refused with "物件データではありません。" before anything changes.
//  - A file that ends inside a room, lacks one of the size records every
//    written file holds, or holds fewer summary rows than they declare, is
//    damaged: it is read as far as it goes with a notice naming the last
//    room and place read, and the first save over it asks first
//    (project/session.h). UTF-8 text gets a notice of its own.
//  - Capacities are those of the entries only: a side holds at most 500
//    rooms (25000 "Data" lines) or 100 places (5000 "Gaib" lines), the
//    register 599 fittings, the work-type memory one row per item column a
//    project can make (every item cell of every room and place, every
//    fittings kind). The fittings takeoff store, the unit-price table and
//    the summary rows take every line.
//    What lies beyond is left out and named in one message ("チェック") at
//    the end of the reading, together with the "Tate" lines without a code
//    and the summary lines that name no table.
//  - Sheet lines must come in whole rooms (a name line, then 49 lines "@");
//    otherwise nothing is read and the reading fails with a message naming
//    the first room concerned. Only a last room that is short is completed
//    with empty sheet lines.
//  - Summary tables: the size line decides each table's columns and rows
//    (read by the leading-number rule; with several size lines for one
//    table the last one holds). Fields beyond the columns and row lines
//    beyond the rows are left out with one notice; missing fields and rows
//    are empty, and the declared size is written back. Storage is lazy, so
//    a size line alone allocates nothing; a size with more item columns
//    than a project can make, or whose lines would pass 32 MB, or 64 MB
//    with the tables before it, is shrunk, with the same notice, so that
//    what is read can always be written back within the reader's bound.
//  - The writer never writes a file the reader would refuse (over 256 MB):
//    such a save fails and the file on disk stays as it was. A table without a size line
//    keeps its laid-out size. "SyND" and "SyGD" lines name part tables 0-4
//    by their field 1, "SySD" lines the work-type table (field 1 is "5"),
//    "SyTD" lines the fittings summary; a line naming anything else is
//    skipped and counted.
//  - The work-type table copy keeps its single empty row when the file holds
//    no "Syuk" line (the line the writer makes of that row consists of
//    separators only and is not read back).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "calc/text_file.h"
#include "port/dialogs.h"
#include "project/fittings_tables.h"
#include "project/project.h"

namespace veltrano {

// Title and fixed text of the read-failure messages.
inline constexpr std::string_view kReadCheckTitle = kTitleCheck;
inline constexpr std::string_view kReadLineTitle = "iチェック";
inline constexpr std::string_view kReadFailureText =
    "エラー(SiageHiroi:FileOpen)";

// The record lines of the whole project, in file order. The caller has
// stored the shown sheet and refreshed the work-type memory before.
std::vector<std::string> BuildProjectLines(const Project& t);

// Writes the project to `path` (CP932, CR LF), replacing any file there only
// once the new one is complete. On failure returns false with the reason in
// `error`; the file on disk is then unchanged.
bool WriteProjectFile(const std::filesystem::path& path, const Project& t,
                      std::string* error);

struct ProjectReadResult {
  // The file could not be read; nothing was loaded and the project is not
  // open. The failure messages have been shown.
  bool failed = false;
  // The file is damaged: it ends inside a room, lacks records that every
  // written file has, or holds fewer summary rows than its size records
  // declare. It was read as far as it goes, with a notice; the first save
  // over it asks first.
  bool damaged = false;
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
// (Project::Reset). Shows progress while the room lists are built and,
// when anything was left out, one message naming it.
ProjectReadResult ParseProjectLines(const std::vector<std::string>& lines,
                                    Project* t, Dialogs& dialogs,
                                    Progress& progress);
// The same, taking the lines over instead of copying the sheet lines.
ProjectReadResult ParseProjectLines(std::vector<std::string>&& lines,
                                    Project* t, Dialogs& dialogs,
                                    Progress& progress);

// True for a line (raw CP932 bytes) that the reader keeps: one with a
// record tag.
bool IsProjectRecordLine(std::string_view raw_line);

// The fittings register of another project's lines ("ファイルから読込"):
// one entry per "Tate" line with a code, down to the first empty line. As
// many as the lines hold; the caller keeps what the register can.
std::vector<FittingEntry> ReadRegisterEntries(const std::vector<std::string>& lines);

// A project file as read from disk, before anything is applied.
struct LoadedProjectFile {
  std::vector<std::string> lines;  // record lines, UTF-8
  TextFileShape shape;
  // A record line or the line "New" was read: the file is a project. A file
  // without either (empty, binary, UTF-16, another program's text) is not.
  bool is_project = false;
  // The kept lines are valid UTF-8 with characters beyond ASCII: a project
  // saved as UTF-8 by another program, whose names read garbled as CP932.
  bool utf8_text = false;
};

// Shown for a file that holds no project record.
inline constexpr std::string_view kNotAProjectText = "物件データではありません。";

// Reads the lines of a project file without applying them, first removing
// the temporary files that dead saves of it left behind. False with the
// reason in `error` when the file cannot be read.
bool LoadProjectFile(const std::filesystem::path& path,
                     LoadedProjectFile* loaded, std::string* error);

// Applies a loaded project file (one that is a project) to emptied tables,
// as ReadProjectFile does after reading: notices for what was left out, for
// a damaged file and for UTF-8 text.
ProjectReadResult ApplyProjectFile(LoadedProjectFile&& loaded,
                                   Project* t, Dialogs& dialogs,
                                   Progress& progress);

// Shows the two read-failure messages for a file that could not be read
// and returns the failed result.
ProjectReadResult ReportUnreadableProjectFile(std::string error,
                                              Dialogs& dialogs);

// Shows kNotAProjectText with the file's name, titled "チェック", and
// returns the failed result.
ProjectReadResult ReportNotAProject(const std::filesystem::path& path,
                                    Dialogs& dialogs);

// Reads a project data file into emptied tables, first removing the
// temporary files that dead saves of it left behind. A file that cannot be
// read shows "エラー(SiageHiroi:FileOpen)" with the step number (1) and the
// reason, titled "チェック", then the number of the line being read (0),
// titled "iチェック", and returns a failed result with the tables untouched.
// Sheet lines out of step with the rooms fail the same way with step 4 and
// the number (among the side's sheet lines) of the line concerned.
ProjectReadResult ReadProjectFile(const std::filesystem::path& path,
                                  Project* t, Dialogs& dialogs,
                                  Progress& progress);

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_PROJECT_FILE_H_
