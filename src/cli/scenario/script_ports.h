#ifndef VELTRANO_CLI_SCENARIO_SCRIPT_PORTS_H_
#define VELTRANO_CLI_SCENARIO_SCRIPT_PORTS_H_

// The ports a scenario runs the workspace on: message boxes, questions,
// beeps and file dialogs that are written to the output as they come and
// take the answers the script queued.

#include <deque>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "port/dialogs.h"

namespace veltrano::scenario {

// The script's word for an answer: "ok", "cancel", "yes" or "no".
std::string_view AnswerName(Answer a);

enum class ShownKind { kMessage, kQuestion, kBeep };

// A message box, question or beep as the user met it.
struct Shown {
  ShownKind kind;
  std::string title;
  std::string text;
  bool matched = false;  // taken by an expectation
};

// "message TITLE: TEXT", "question TITLE: TEXT" or "beep".
std::string Describe(const Shown& s);

// Message boxes and questions of a scenario: each is written out as it
// comes and kept for the expectations; questions take the queued answers.
class ScriptDialogs : public Dialogs {
 public:
  explicit ScriptDialogs(std::ostream& out) : out_(out) {}

  void ShowMessage(std::string_view title, std::string_view text,
                   MessageIcon) override;
  Answer Ask(std::string_view title, std::string_view text, Buttons buttons,
             MessageIcon) override;
  void Beep() override;

  // Keeps the first problem of the action being replayed.
  void Note(std::string what);

  std::deque<Answer> answers;
  std::vector<Shown> shown;
  std::string problem;

 private:
  std::ostream& out_;
};

// A prepared reply to a file dialog: a path, or a cancel.
struct FileAnswer {
  std::optional<std::filesystem::path> path;
  std::string shown_as;
};

// File dialogs of a scenario: each returns the next queued reply. A save
// dialog that asks before replacing does so through the question mechanism,
// as the platform's dialog would.
class ScriptFileDialogs : public FileDialogs {
 public:
  ScriptFileDialogs(std::ostream& out, ScriptDialogs& dialogs)
      : out_(out), dialogs_(dialogs) {}

  std::optional<std::filesystem::path> ChooseFileToOpen(
      const FileDialogRequest& r) override {
    return Next(r, false);
  }
  std::optional<std::filesystem::path> ChooseFileToSave(
      const FileDialogRequest& r) override {
    return Next(r, true);
  }

  std::deque<FileAnswer> answers;
  std::vector<std::string> titles;  // of every file dialog shown

 private:
  std::optional<std::filesystem::path> Next(const FileDialogRequest& r,
                                            bool saving);

  std::ostream& out_;
  ScriptDialogs& dialogs_;
};

}  // namespace veltrano::scenario

#endif  // VELTRANO_CLI_SCENARIO_SCRIPT_PORTS_H_
