#ifndef VELTRANO_TAKEOFF_TEMPLATES_H_
#define VELTRANO_TAKEOFF_TEMPLATES_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "calc/grid.h"
#include "config/folders.h"
#include "port/dialogs.h"

namespace veltrano {

// An item-list template ("NAME.klt" in the template folder): 200 lines, each
// the items of row n for 床, 巾木, 壁, 天井 and 雑, every one followed by a
// comma.
inline constexpr int kTemplateRows = 200;
inline constexpr int kTemplateParts = 5;
using TemplateRow = std::array<std::string, kTemplateParts>;

// Why `name` cannot name a template, or "" when it can: it must be a plain
// file name of the template folder.
std::string TemplateNameRefusal(std::string_view name);
// The file of template `name`: "NAME.klt" in the template folder, or the
// file already there whose name differs from it only in letter case.
std::filesystem::path TemplatePath(const Folders& folders, std::string_view name);
// Whether template `name` has a file, asked of the file itself, so that the
// answer does not depend on listing the folder (a file under another letter
// case is found only where the folder can be listed; the name itself then
// makes a file of its own). True when it cannot be told.
bool TemplateFileExists(const Folders& folders, std::string_view name);
// The names of the templates: every file of the template folder by its name
// up to the first ".", in name order. A folder not made yet holds none;
// false, with the reason and no names, when the folder cannot be listed.
bool TemplateNames(const Folders& folders, std::vector<std::string>* names,
                   std::string* error);
// What the user is told when the template names cannot be listed.
std::string TemplateFolderUnreadable(const std::string& error);

// A template the dialog writes holds 200 short lines. Of a larger file only
// the first kMaxTemplateFileBytes are read.
inline constexpr std::size_t kMaxTemplateFileBytes = 1u << 20;

// What reading a template changed besides taking its items.
struct TemplateFileNotes {
  // The file is larger than kMaxTemplateFileBytes: only its start was read,
  // without the item the bound cut through.
  bool too_large = false;
  // The lines (from 1) that held bytes that are not CP932, each of which
  // was read as "〓".
  std::vector<int> replaced_lines;
};

// Reads a template as far as it goes (a shorter file or line leaves the
// rest empty; lines beyond 200 and fields beyond five are not read). Bytes
// that are not CP932 are read as "〓", so that what was read can be saved
// again. False, with the reason, when it cannot be read.
bool ReadTemplateFile(const std::filesystem::path& path,
                      std::vector<TemplateRow>* rows, std::string* error,
                      TemplateFileNotes* notes = nullptr);
// What the user is told about reading template `name`, or "" when there is
// nothing to tell.
std::string TemplateFileNotice(std::string_view name,
                               const TemplateFileNotes& notes);

// The template dialog InputForm "項目リスト登録": the name box and its list,
// the template table KoumokuGrid (201 rows: the heading and rows 1-200; 6
// columns: "No" and the five parts) with its cell editor Text1, and the
// commands "読込", "保存", "削除", "行挿入", "行削除", "削除".
class ItemTemplates {
 public:
  ItemTemplates(const Folders& folders, Platform platform);

  std::uint64_t revision() const { return revision_; }
  bool shown() const { return shown_; }
  const TextGrid& table() const { return table_; }
  const std::vector<std::string>& names() const { return names_; }
  const std::string& name() const { return name_; }
  int current_row() const { return row_; }
  int current_col() const { return col_; }
  bool editor_shown() const { return editor_shown_; }
  const std::string& editor_text() const { return editor_text_; }

  // "登録・編集" of the settings panel: the dialog with the names of the
  // template folder and an empty table.
  void Open();
  // "閉じる".
  void Close();
  // Typing into the name box Combo1, or choosing a name in its list.
  void SetName(std::string_view name);
  // "読込", "保存" and "削除" (Command2(0..2)).
  void Load();
  void Save();
  void Delete();
  // A click on a cell of columns 1-5 opens the editor over it.
  void ClickCell(int row, int col);
  // Every keystroke goes into the cell at once.
  void EditorTextChanged(std::string_view text);
  enum class Key { kEnter, kUp, kDown };
  void EditorKey(Key key);
  // Command3(0..2): "行挿入", "行削除" and "削除" on the current column.
  void InsertRow();
  void DeleteRow();
  void DeleteCell();

 private:
  void ClearTable();
  void OpenEditor(int row, int col);
  // False, after a message, when the name box cannot name a template.
  bool NameUsable();
  bool Listed() const;

  const Folders& folders_;
  Platform platform_;
  bool shown_ = false;
  TextGrid table_;
  std::vector<std::string> names_;
  std::string name_;
  int row_ = 1;
  int col_ = 1;
  bool editor_shown_ = false;
  std::string editor_text_;
  std::uint64_t revision_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_TAKEOFF_TEMPLATES_H_
