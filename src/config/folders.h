#ifndef VELTRANO_CONFIG_FOLDERS_H_
#define VELTRANO_CONFIG_FOLDERS_H_

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The folders every file of the program lives in. The base folder holds the
// project data ("Data"), the settings files ("info"), the item-list templates
// ("list") and the operation manual ("Manual"). Project backups go to the
// base folder's "info" as well, so that the program touches nothing outside
// the base folder it is given.

namespace veltrano {

struct Folders {
  std::filesystem::path base;    // the base folder
  std::filesystem::path data;    // base/Data: project data files (.xdt)
  std::filesystem::path info;    // base/info: settings files (.ini)
  std::filesystem::path list;    // base/list: item-list templates (.klt)
  std::filesystem::path manual;  // base/Manual: the operation manual
  std::filesystem::path backup;  // project backups: base/info, or see below
};

// The folders under `base`, the backups in its "info" folder. A subfolder
// that already exists under another letter case ("Info", "List") is used as
// it is, so that one folder is never split into two.
Folders FoldersUnder(const std::filesystem::path& base);

// The same with the backups in "Veltrano/info" under `backup_root` instead,
// as when they go to a fixed drive of their own.
Folders FoldersUnder(const std::filesystem::path& base,
                     const std::filesystem::path& backup_root);

// The folders of this run. The base folder is `base_option` (the command-line
// option --base DIR) when given and not empty, else the environment variable
// VELTRANO_BASE when set and not empty, else "Veltrano" in the user's home
// folder ($HOME; the working directory when HOME is not set). A relative
// base is taken from the working directory at start-up. The home folder is
// consulted only when no base folder is given.
Folders ResolveFolders(const std::optional<std::string>& base_option);

// Creates the base folder and its subfolders where they do not exist yet,
// parents included. The backup folder is not among them: it is made when a
// backup is written. On failure returns false with the reason, naming the
// folder, in `error`.
bool EnsureFolders(const Folders& folders, std::string* error);

// The file in `dir` whose name equals `name` without regard to letter case
// ("kousyu.ini" finds "Kousyu.ini"); a file named exactly `name` is preferred.
// When there is none, dir / name.
std::filesystem::path FindFileIgnoringCase(const std::filesystem::path& dir,
                                           std::string_view name);

// The operation manual's file in the Manual folder.
inline constexpr std::string_view kManualFileName = "操作マニュアル.pdf";

// Puts a copy of the manual that comes with the program (`shipped`) into the
// Manual folder when no file of its name is there, letter case ignored; a
// manual already there, whatever its content, is left alone. Nothing is done
// when `shipped` is empty or not a file. False, with the reason, when the copy
// cannot be made (the copy is written whole or not at all).
bool EnsureManual(const Folders& folders, const std::filesystem::path& shipped,
                  std::string* error);

}  // namespace veltrano

#endif  // VELTRANO_CONFIG_FOLDERS_H_
