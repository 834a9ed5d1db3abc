#include "takeoff/templates.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <utility>

#include "calc/cp932.h"
#include "calc/number_text.h"
#include "calc/text_file.h"
#include "calc/text_util.h"

namespace veltrano {

namespace {

constexpr int kTableCols = kTemplateParts + 1;
constexpr std::array<std::string_view, kTableCols> kHeadings = {
    "No", "床", "巾木", "壁", "天井", "雑"};

}  // namespace

std::string TemplateNameRefusal(std::string_view name) {
  if (IsBlankText(name)) return "リスト名を入力してください。";
  if (name == "." || name == "..") return "リスト名に「.」や「..」は使用できません。";
  for (char c : name) {
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos ||
        static_cast<unsigned char>(c) < 0x20) {
      return "リスト名に使用できない文字（\\ / : * ? \" < > | など）が含まれています。";
    }
  }
  return "";
}

std::filesystem::path TemplatePath(const Folders& folders, std::string_view name) {
  return FindFileIgnoringCase(folders.list, std::string(name) + ".klt");
}

bool TemplateFileExists(const Folders& folders, std::string_view name) {
  std::error_code ec;
  const std::filesystem::file_status status =
      std::filesystem::status(TemplatePath(folders, name), ec);
  return status.type() != std::filesystem::file_type::not_found;
}

bool TemplateNames(const Folders& folders, std::vector<std::string>* names,
                   std::string* error) {
  names->clear();
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::directory_iterator it(folders.list, ec);
  if (ec == std::errc::no_such_file_or_directory) return true;
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::error_code type_ec;
    if (!it->is_regular_file(type_ec)) continue;
    const std::string file = PathText(it->path().filename());
    names->push_back(file.substr(0, file.find('.')));
  }
  if (ec) {
    names->clear();
    *error = PathText(folders.list) + " (" + ec.message() + ")";
    return false;
  }
  std::sort(names->begin(), names->end());
  return true;
}

std::string TemplateFolderUnreadable(const std::string& error) {
  return "項目リストのフォルダを読めないため、登録済みのリスト名を表示できま"
         "せん。\n" +
         error;
}

bool ReadTemplateFile(const std::filesystem::path& path,
                      std::vector<TemplateRow>* rows, std::string* error,
                      TemplateFileNotes* notes) {
  TemplateFileNotes seen;
  rows->assign(kTemplateRows, TemplateRow{});
  std::string bytes;
  if (!ReadFileHead(path, kMaxTemplateFileBytes, &bytes, &seen.too_large,
                    error)) {
    return false;
  }
  if (seen.too_large) {
    // The item the bound cut through is dropped; a line end stays, so that
    // the line before it is read whole.
    const std::size_t end = bytes.find_last_of(",\n");
    bytes.resize(end == std::string::npos ? 0
                 : bytes[end] == '\n'     ? end + 1
                                          : end);
  }
  int n = 0;
  ForEachLineIn(bytes, [&](std::string_view line) {
    TemplateRow& row = (*rows)[static_cast<std::size_t>(n)];
    bool replaced_in_line = false;
    for (std::string& item : row) {
      const std::size_t comma = line.find(',');
      bool replaced = false;
      item = Cp932ToUtf8Visible(line.substr(0, comma), &replaced);
      replaced_in_line = replaced_in_line || replaced;
      if (comma == std::string_view::npos) break;
      line.remove_prefix(comma + 1);
    }
    if (replaced_in_line) seen.replaced_lines.push_back(n + 1);
    return ++n < kTemplateRows;
  });
  if (notes != nullptr) *notes = std::move(seen);
  return true;
}

std::string TemplateFileNotice(std::string_view name,
                               const TemplateFileNotes& notes) {
  std::string notice;
  if (notes.too_large) {
    notice = "項目リスト「" + std::string(name) + "」は " +
             std::to_string(kMaxTemplateFileBytes >> 20) +
             " MB を超えているため、先頭の " +
             std::to_string(kMaxTemplateFileBytes >> 20) +
             " MB だけを読み込みました。";
  }
  if (!notes.replaced_lines.empty()) {
    if (!notice.empty()) notice += "\n";
    std::string lines;
    for (const int line : notes.replaced_lines) {
      if (!lines.empty()) lines += "、";
      lines += std::to_string(line);
    }
    notice += "項目リスト「" + std::string(name) + "」の " + lines +
              " 行目に Shift-JIS の文字として読めないバイトがあったため、「" +
              std::string(kNotCp932Mark) + "」に置き換えました。";
  }
  return notice;
}

ItemTemplates::ItemTemplates(const Folders& folders, Platform platform)
    : folders_(folders), platform_(platform), table_(kTemplateRows + 1, kTableCols) {
  ClearTable();
}

void ItemTemplates::ClearTable() {
  for (int c = 0; c < kTableCols; ++c) table_.Set(0, c, kHeadings[static_cast<std::size_t>(c)]);
  for (int r = 1; r <= kTemplateRows; ++r) {
    table_.Set(r, 0, std::to_string(r));
    for (int c = 1; c < kTableCols; ++c) table_.Set(r, c, "");
  }
}

void ItemTemplates::Open() {
  ++revision_;
  shown_ = true;
  std::string error;
  if (!TemplateNames(folders_, &names_, &error)) {
    platform_.dialogs.ShowMessage(kTitleConfirm,
                                  TemplateFolderUnreadable(error),
                                  MessageIcon::kWarning);
  }
  name_.clear();
  ClearTable();
  row_ = 1;
  col_ = 1;
  editor_shown_ = false;
}

void ItemTemplates::Close() {
  ++revision_;
  shown_ = false;
  editor_shown_ = false;
}

void ItemTemplates::SetName(std::string_view name) {
  ++revision_;
  name_.assign(name);
}

bool ItemTemplates::Listed() const {
  return std::find(names_.begin(), names_.end(), name_) != names_.end();
}

bool ItemTemplates::NameUsable() {
  const std::string refusal = TemplateNameRefusal(name_);
  if (refusal.empty()) return true;
  platform_.dialogs.ShowMessage(kTitleConfirm, refusal);
  return false;
}

void ItemTemplates::Load() {
  if (!Listed() || !NameUsable()) return;
  ++revision_;
  std::vector<TemplateRow> rows;
  std::string error;
  TemplateFileNotes notes;
  if (!ReadTemplateFile(TemplatePath(folders_, name_), &rows, &error,
                        &notes)) {
    platform_.dialogs.ShowMessage(kTitleConfirm,
                                  "項目リストを読み込めませんでした。\n" + error,
                                  MessageIcon::kWarning);
    return;
  }
  editor_shown_ = false;
  for (int r = 1; r <= kTemplateRows; ++r) {
    for (int k = 0; k < kTemplateParts; ++k) {
      table_.Set(r, k + 1, rows[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(k)]);
    }
  }
  if (const std::string notice = TemplateFileNotice(name_, notes);
      !notice.empty()) {
    platform_.dialogs.ShowMessage(kTitleConfirm, notice,
                                  MessageIcon::kInformation);
  }
}

void ItemTemplates::Save() {
  if (name_.empty()) return;
  if (!NameUsable()) return;
  ++revision_;
  // A cell the file cannot hold is shown for correction.
  for (int r = 1; r <= kTemplateRows; ++r) {
    for (int c = 1; c < kTableCols; ++c) {
      const std::string& text = table_.At(r, c);
      std::string refusal;
      if (text.find(',') != std::string::npos) {
        refusal = ",カンマは使用できません。";
      } else if (!text.empty()) {
        refusal = RecordTextRefusal(text);
      }
      if (!refusal.empty()) {
        OpenEditor(r, c);
        platform_.dialogs.ShowMessage(kTitleConfirm, refusal);
        return;
      }
    }
  }
  std::vector<std::string> lines;
  for (int r = 1; r <= kTemplateRows; ++r) {
    std::string line;
    for (int c = 1; c < kTableCols; ++c) line += table_.At(r, c) + ",";
    lines.push_back(std::move(line));
  }
  // The name list may miss a template whose file is there (a folder that
  // could not be listed): the file itself says whether one is replaced.
  const bool listed = Listed();
  if ((listed || TemplateFileExists(folders_, name_)) &&
      platform_.dialogs.Ask(kTitleConfirm, "上書きしますか？",
                            Buttons::kOkCancel) != Answer::kOk) {
    return;
  }
  std::error_code ec;
  std::filesystem::create_directories(folders_.list, ec);
  std::string error;
  if (!WriteTextLinesAtomic(TemplatePath(folders_, name_), lines, &error)) {
    platform_.dialogs.ShowMessage(kTitleError,
                                  "項目リストを保存できませんでした。\n" + error,
                                  MessageIcon::kCritical);
    return;
  }
  if (!listed) names_.push_back(name_);
  platform_.dialogs.ShowMessage(kTitleConfirm, "保存しました。");
}

void ItemTemplates::Delete() {
  if (!Listed() || !NameUsable()) return;
  ++revision_;
  if (platform_.dialogs.Ask(kTitleConfirm, name_ + "を削除してよろしいですか？",
                            Buttons::kOkCancel) != Answer::kOk) {
    return;
  }
  std::error_code ec;
  std::filesystem::remove(TemplatePath(folders_, name_), ec);
  if (ec) {
    platform_.dialogs.ShowMessage(
        kTitleError, "項目リストを削除できませんでした。\n" + ec.message(),
        MessageIcon::kCritical);
    return;
  }
  names_.erase(std::find(names_.begin(), names_.end(), name_));
  platform_.dialogs.ShowMessage(kTitleConfirm, "削除しました。");
}

void ItemTemplates::OpenEditor(int row, int col) {
  row_ = row;
  col_ = col;
  editor_text_ = table_.At(row, col);
  editor_shown_ = true;
}

void ItemTemplates::ClickCell(int row, int col) {
  if (row < 1 || row > kTemplateRows || col < 1 || col >= kTableCols) return;
  ++revision_;
  OpenEditor(row, col);
}

void ItemTemplates::EditorTextChanged(std::string_view text) {
  if (!editor_shown_) return;
  ++revision_;
  editor_text_ = FoldToCodePageLookalikes(text);
  table_.Set(row_, col_, editor_text_);
}

void ItemTemplates::EditorKey(Key key) {
  if (!editor_shown_) return;
  ++revision_;
  if (key == Key::kUp) {
    if (row_ > 1) OpenEditor(row_ - 1, col_);
  } else if (row_ < kTemplateRows) {
    OpenEditor(row_ + 1, col_);
  }
}

void ItemTemplates::InsertRow() {
  if (!editor_shown_) return;
  ++revision_;
  if (!table_.At(kTemplateRows, col_).empty()) {
    platform_.dialogs.ShowMessage(kTitleConfirm,
                                  "下部に空白がないため行挿入できません。");
    return;
  }
  int last = row_;
  for (int r = row_; r <= kTemplateRows; ++r) {
    if (!table_.At(r, col_).empty()) last = r;
  }
  for (int r = last; r >= row_; --r) table_.Set(r + 1, col_, std::string(table_.At(r, col_)));
  table_.Set(row_, col_, "");
  editor_text_.clear();
}

void ItemTemplates::DeleteRow() {
  if (!editor_shown_) return;
  ++revision_;
  if (!table_.At(row_, col_).empty()) {
    platform_.dialogs.ShowMessage(kTitleConfirm, "空白行を選択してください。");
    return;
  }
  for (int r = row_; r < kTemplateRows; ++r) {
    table_.Set(r, col_, std::string(table_.At(r + 1, col_)));
  }
  table_.Set(kTemplateRows, col_, "");
  editor_text_ = table_.At(row_, col_);
}

void ItemTemplates::DeleteCell() {
  if (!editor_shown_) return;
  ++revision_;
  const std::string text = table_.At(row_, col_);
  if (text.empty()) return;
  if (platform_.dialogs.Ask(kTitleConfirm, text + "を削除します。",
                            Buttons::kOkCancel) != Answer::kOk) {
    return;
  }
  table_.Set(row_, col_, "");
  editor_text_.clear();
}

}  // namespace veltrano
