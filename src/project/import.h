#ifndef VELTRANO_PROJECT_IMPORT_H_
#define VELTRANO_PROJECT_IMPORT_H_

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "config/folders.h"
#include "port/dialogs.h"
#include "project/history.h"
#include "project/project.h"
#include "project/session.h"

namespace veltrano {

// The import section of the settings panel.
struct ImportState {
  std::filesystem::path source_path;    // kept for the rest of the run
  std::string name_box;                 // FileSentakuText
  std::array<bool, 2> sides = {false, false};  // TorikomiSyubetu(0..1)
  std::string status;                   // Label20(2)
};

// "<<他物件のデータ取り込み>>": appends the rooms or places of another
// project to the open one, a clashing name taking the first free "(k)".
class Importer {
 public:
  Importer(const Folders& folders, Project& tables,
           const ProjectSession& session, Platform platform,
           ProjectHooks& hooks)
      : folders_(folders),
        tables_(tables),
        session_(session),
        platform_(platform),
        hooks_(hooks) {}

  const ImportState& state() const { return import_; }
  // The history an import is recorded in, which the workspace connects.
  void SetHistory(ProjectHistory* history) { history_ = history; }
  std::uint64_t revision() const { return revision_; }

  // "物件名選択".
  void ChooseImportSource();
  // The check boxes "内部" and "外部".
  void SetSide(int side, bool on);
  // "実行". Returns whether rooms or places were taken in.
  bool ImportRooms();

 private:
  const Folders& folders_;
  Project& tables_;
  const ProjectSession& session_;
  Platform platform_;
  ProjectHooks& hooks_;
  ProjectHistory* history_ = nullptr;
  ImportState import_;
  std::uint64_t revision_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_IMPORT_H_
