#ifndef VELTRANO_TESTS_SUPPORT_WORKSPACE_FIXTURE_H_
#define VELTRANO_TESTS_SUPPORT_WORKSPACE_FIXTURE_H_

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "shell/workspace.h"
#include "support/fake_dialogs.h"

namespace veltrano::testing {

// The lines of a project file with what every written file holds added: the
// size line and the heading rows of each summary table the lines do not
// size, as a fresh project lays it out. Tests write only the records they
// are about; the program reads a file without them as damaged.
std::vector<std::string> CompleteProjectLines(std::vector<std::string> lines);

// File dialogs answered from a queue; each request is recorded.
class FakeFileDialogs : public FileDialogs {
 public:
  std::optional<std::filesystem::path> ChooseFileToOpen(
      const FileDialogRequest& r) override {
    return Next(r);
  }
  std::optional<std::filesystem::path> ChooseFileToSave(
      const FileDialogRequest& r) override {
    return Next(r);
  }
  std::deque<std::optional<std::filesystem::path>> answers;
  std::vector<FileDialogRequest> requests;

 private:
  std::optional<std::filesystem::path> Next(const FileDialogRequest& r) {
    requests.push_back(r);
    if (answers.empty()) return std::nullopt;
    auto a = answers.front();
    answers.pop_front();
    return a;
  }
};

// A started workspace on a fresh base folder of its own.
class WorkspaceTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates a project through New and the name dialog.
  void NewProjectNamed(const std::string& name);
  // Writes a project file of these record lines and opens it through
  // "Open" (no project may be open).
  void OpenProjectOfLines(const std::string& name,
                          const std::vector<std::string>& lines);
  // Adds rooms (or places, in mode 5) through the rooms dialog and closes it.
  void AddRooms(const std::vector<std::string>& names);
  // Types into the cell (row, col) of the shown sheet and presses Enter.
  void TypeAt(int row, int col, const std::string& text);
  std::string Cell(int row, int col) const {
    return w->sheets().sheet(w->side()).At(row, col);
  }
  std::filesystem::path DataFile(const std::string& name) const {
    return base / "Data" / name;
  }

  std::filesystem::path base;
  std::filesystem::path home;
  FakeDialogs dialogs;
  FakeFileDialogs files;
  Progress progress;
  MemoryClipboard clipboard;
  std::unique_ptr<Workspace> w;
};

}  // namespace veltrano::testing

#endif  // VELTRANO_TESTS_SUPPORT_WORKSPACE_FIXTURE_H_
