#ifndef VELTRANO_CLI_CLI_PLATFORM_H_
#define VELTRANO_CLI_CLI_PLATFORM_H_

#include <deque>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "port/dialogs.h"

namespace veltrano {

// Message boxes of the command-line tool: each is written to standard error
// as one line, "title: text" (line breaks inside the text become blanks);
// a question is answered OK (Yes where it offers Yes).
class StderrDialogs : public Dialogs {
 public:
  explicit StderrDialogs(std::ostream& err) : err_(err) {}
  void ShowMessage(std::string_view title, std::string_view text,
                   MessageIcon icon) override;
  Answer Ask(std::string_view title, std::string_view text, Buttons buttons,
             MessageIcon icon) override;
  void Beep() override {}

 private:
  std::ostream& err_;
};

// File dialogs that return prepared paths in order, and nothing (a cancel)
// once they run out.
class QueuedFileDialogs : public FileDialogs {
 public:
  void Push(std::filesystem::path path) { paths_.push_back(std::move(path)); }
  std::optional<std::filesystem::path> ChooseFileToOpen(
      const FileDialogRequest& request) override;
  std::optional<std::filesystem::path> ChooseFileToSave(
      const FileDialogRequest& request) override;

 private:
  std::deque<std::filesystem::path> paths_;
};

}  // namespace veltrano

#endif  // VELTRANO_CLI_CLI_PLATFORM_H_
