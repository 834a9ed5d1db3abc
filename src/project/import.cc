#include "project/import.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "calc/text_file.h"
#include "calc/text_util.h"
#include "project/history.h"
#include "project/room_records.h"

namespace veltrano {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kConfirmTitle = kTitleConfirm;
constexpr std::string_view kImportTitle = "データ取り込み";

bool NameTaken(const std::vector<std::string>& names, std::string_view name) {
  for (const std::string& n : names) {
    if (EqualsIgnoreCase(n, name)) return true;
  }
  return false;
}

bool HasTag(std::string_view line, std::string_view tag) {
  return line.size() >= 4 && EqualsIgnoreCase(line.substr(0, 4), tag);
}

}  // namespace

void Importer::SetSide(int side, bool on) {
  if (side < 0 || side > 1) return;
  import_.sides[static_cast<std::size_t>(side)] = on;
  ++revision_;
}

void Importer::ChooseImportSource() {
  if (!session_.project_open()) return;
  ++revision_;
  const auto chosen = platform_.files.ChooseFileToOpen(
      ProjectFileDialog("データを取り出す物件を選択", folders_.data));
  if (!chosen) return;
  import_.source_path = *chosen;
  if (chosen->empty()) return;
  if (EqualsIgnoreCase(chosen->string(), session_.project_path().string())) {
    platform_.dialogs.ShowMessage(kConfirmTitle,
                                  "現在編集中のデータは選択できません。");
    import_.name_box.clear();
    return;
  }
  const std::string file_name = chosen->filename().string();
  import_.name_box = file_name.substr(0, file_name.find('.'));
}

bool Importer::ImportRooms() {
  ++revision_;
  if (import_.name_box.empty()) {
    platform_.dialogs.ShowMessage(kConfirmTitle, "選択されていません。");
    return false;
  }
  if (import_.source_path.empty()) {
    platform_.dialogs.ShowMessage(kConfirmTitle, "現在作業中の物件名がありません。");
    return false;
  }
  if (!import_.sides[0] && !import_.sides[1]) {
    platform_.dialogs.ShowMessage(kConfirmTitle,
                                  "取り出す内容が選択されていません。");
    return false;
  }
  std::vector<std::string> lines;
  std::string error;
  // Only the sheet lines are kept in memory.
  if (!ReadTextLines(import_.source_path, &lines, &error,
                     [](std::string_view raw) {
                       return HasTag(raw, kSheetTag[kInterior]) ||
                              HasTag(raw, kSheetTag[kExterior]);
                     })) {
    platform_.dialogs.ShowMessage(kTitleCheck,
                                  "エラー(SiageHiroi:FileOpen)\n" + error);
    return false;
  }
  std::array<std::vector<std::string_view>, 2> kept;
  for (const std::string& line : lines) {
    for (int s = 0; s < 2; ++s) {
      if (HasTag(line, kSheetTag[s])) {
        kept[s].push_back(line);
        break;
      }
    }
  }
  const std::array<std::vector<Room>, 2> incoming = {RoomRecords::ReadRooms(kInterior, kept[0]),
                                                     RoomRecords::ReadRooms(kExterior, kept[1])};
  // A side never grows past its capacity: an import that would not fit is
  // refused before anything changes.
  for (int s = 0; s < 2; ++s) {
    if (!import_.sides[s]) continue;
    const int have = tables_.rooms().count(s);
    if (have + static_cast<int>(incoming[s].size()) > kMaxRooms[s]) {
      const std::string what = s == kInterior ? "部屋" : "場所";
      platform_.dialogs.ShowMessage(
          kConfirmTitle, "取り込むと" + what + "が" +
                             std::to_string(kMaxRooms[s]) +
                             "を超えるため、取り込めません。\n（現在 " +
                             std::to_string(have) + "、取り込み " +
                             std::to_string(incoming[s].size()) + "）");
      return false;
    }
  }
  if (platform_.dialogs.Ask(kImportTitle, "取り込みを開始します。",
                            Buttons::kOkCancel) != Answer::kOk) {
    return false;
  }
  import_.status = "処理中･･････";
  ++revision_;
  platform_.progress.ShowStatus(import_.status);
  platform_.progress.ProcessPendingEvents();
  HistoryStep step(history_, "取り込み");
  for (int s = 0; s < 2; ++s) {
    if (!import_.sides[s]) continue;
    const std::string_view clash = s == kInterior
                                       ? "と同じ名前の部屋がありますので"
                                       : "と同じ名前の場所がありますので";
    // Imported names are compared with the rooms the side had before the
    // import (without regard to letter case). A renamed room must not
    // repeat a name that is there already or that this import has given.
    const std::vector<std::string> before = tables_.rooms().names(s);
    std::vector<std::string> given;
    auto free_name = [&](const std::string& name) {
      return !NameTaken(before, name) &&
             std::find(given.begin(), given.end(), name) == given.end();
    };
    for (Room room : incoming[s]) {
      const std::string n = room.name();
      int matches = 0;
      for (const std::string& existing : before) {
        if (EqualsIgnoreCase(existing, n)) ++matches;
      }
      const bool repeats_given = std::find(given.begin(), given.end(), n) != given.end();
      if (matches > 0 || repeats_given) {
        // The first free "(k)" form, from "(2)" on.
        int k = 2;
        while (!free_name(n + "(" + std::to_string(k) + ")")) ++k;
        const std::string renamed = n + "(" + std::to_string(k) + ")";
        for (int m = 0; m < std::max(matches, 1); ++m) {
          platform_.dialogs.ShowMessage(
              kConfirmTitle, n + std::string(clash) + "\n" + renamed + "で取り込みます。");
        }
        room.Rename(renamed);
        given.push_back(renamed);
      } else {
        given.push_back(n);
      }
      tables_.rooms().Append(s, std::move(room));
    }
    hooks_.RoomsImported(s);
  }
  platform_.dialogs.ShowMessage(kImportTitle, "終了しました。");
  import_.status.clear();
  ++revision_;
  platform_.progress.ShowStatus(import_.status);
  return true;
}

}  // namespace veltrano
