#include "cli/cli_platform.h"

namespace veltrano {

namespace {

std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return line;
}

}  // namespace

void StderrDialogs::ShowMessage(std::string_view title, std::string_view text,
                                MessageIcon) {
  err_ << OneLine(title) << ": " << OneLine(text) << '\n';
}

Answer StderrDialogs::Ask(std::string_view title, std::string_view text,
                          Buttons buttons, MessageIcon) {
  err_ << OneLine(title) << ": " << OneLine(text) << '\n';
  return buttons == Buttons::kYesNo || buttons == Buttons::kYesNoCancel
             ? Answer::kYes
             : Answer::kOk;
}

std::optional<std::filesystem::path> QueuedFileDialogs::ChooseFileToOpen(
    const FileDialogRequest&) {
  if (paths_.empty()) return std::nullopt;
  std::filesystem::path p = std::move(paths_.front());
  paths_.pop_front();
  return p;
}

std::optional<std::filesystem::path> QueuedFileDialogs::ChooseFileToSave(
    const FileDialogRequest& request) {
  return ChooseFileToOpen(request);
}

}  // namespace veltrano
