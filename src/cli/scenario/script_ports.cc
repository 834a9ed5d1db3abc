#include "cli/scenario/script_ports.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "cli/scenario/script_reader.h"

namespace veltrano::scenario {

namespace {

namespace fs = std::filesystem;

std::string_view ButtonsName(Buttons b) {
  switch (b) {
    case Buttons::kOk:
      return "OK";
    case Buttons::kOkCancel:
      return "OK and Cancel";
    case Buttons::kYesNo:
      return "Yes and No";
    case Buttons::kYesNoCancel:
      return "Yes, No and Cancel";
  }
  return "?";
}

bool AnswerFits(Answer a, Buttons b) {
  switch (b) {
    case Buttons::kOk:
      return a == Answer::kOk;
    case Buttons::kOkCancel:
      return a == Answer::kOk || a == Answer::kCancel;
    case Buttons::kYesNo:
      return a == Answer::kYes || a == Answer::kNo;
    case Buttons::kYesNoCancel:
      return a == Answer::kYes || a == Answer::kNo || a == Answer::kCancel;
  }
  return false;
}

// What closing an unanswered question amounts to: its most cautious button.
Answer CautiousAnswer(Buttons b) {
  switch (b) {
    case Buttons::kOk:
      return Answer::kOk;
    case Buttons::kYesNo:
      return Answer::kNo;
    default:
      return Answer::kCancel;
  }
}

}  // namespace

std::string_view AnswerName(Answer a) {
  switch (a) {
    case Answer::kOk:
      return "ok";
    case Answer::kCancel:
      return "cancel";
    case Answer::kYes:
      return "yes";
    case Answer::kNo:
      return "no";
  }
  return "?";
}

std::string Describe(const Shown& s) {
  switch (s.kind) {
    case ShownKind::kMessage:
      return "message " + Escaped(s.title) + ": " + Escaped(s.text);
    case ShownKind::kQuestion:
      return "question " + Escaped(s.title) + ": " + Escaped(s.text);
    case ShownKind::kBeep:
      return "beep";
  }
  return "";
}

void ScriptDialogs::ShowMessage(std::string_view title, std::string_view text,
                                MessageIcon) {
  out_ << "message " << Escaped(title) << ": " << Escaped(text) << '\n';
  shown.push_back({ShownKind::kMessage, std::string(title), std::string(text)});
}

Answer ScriptDialogs::Ask(std::string_view title, std::string_view text,
                          Buttons buttons, MessageIcon) {
  shown.push_back(
      {ShownKind::kQuestion, std::string(title), std::string(text)});
  out_ << "question " << Escaped(title) << ": " << Escaped(text) << " -> ";
  if (answers.empty()) {
    out_ << "(no answer queued)\n";
    Note("unexpected question " + Escaped(title) + ": " + Escaped(text));
    return CautiousAnswer(buttons);
  }
  const Answer a = answers.front();
  answers.pop_front();
  out_ << AnswerName(a) << '\n';
  if (!AnswerFits(a, buttons)) {
    Note("the answer " + std::string(AnswerName(a)) +
         " does not fit the question " + Escaped(title) + ": " + Escaped(text) +
         ", which offers " + std::string(ButtonsName(buttons)));
    return CautiousAnswer(buttons);
  }
  return a;
}

void ScriptDialogs::Beep() {
  out_ << "beep\n";
  shown.push_back({ShownKind::kBeep, "", ""});
}

void ScriptDialogs::Note(std::string what) {
  if (problem.empty()) problem = std::move(what);
}

std::optional<fs::path> ScriptFileDialogs::Next(const FileDialogRequest& r,
                                                bool saving) {
  titles.push_back(r.title);
  out_ << "file-dialog " << Escaped(r.title) << " -> ";
  if (answers.empty()) {
    out_ << "(nothing queued)\n";
    dialogs_.Note("unexpected file dialog " + Escaped(r.title));
    return std::nullopt;
  }
  FileAnswer a = std::move(answers.front());
  answers.pop_front();
  out_ << (a.path ? a.shown_as : std::string("cancel")) << '\n';
  if (!a.path) return std::nullopt;
  fs::path path = *a.path;
  if (saving && !r.default_extension.empty() && !path.has_extension()) {
    path += "." + r.default_extension;
  }
  return path;
}

}  // namespace veltrano::scenario
