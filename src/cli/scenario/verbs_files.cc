#include "cli/scenario/verbs.h"

#include <filesystem>
#include <map>
#include <string>
#include <system_error>

#include "calc/text_file.h"
#include "cli/scenario/runner.h"
#include "cli/scenario/script_reader.h"
#include "port/dialogs.h"

namespace veltrano::scenario {

namespace fs = std::filesystem;

void DefineFileVerbs(Runner& r) {
  constexpr Where kAny = Where::kAnywhere;

  // ---- Answers for the next action ----------------------------------------
  r.Define("answer", kAny, [&r](const Args& a) {
    if (!r.Arity(a, 1, 99, "answer ok|cancel|yes|no...")) return false;
    static const std::map<std::string, Answer> kAnswers = {
        {"ok", Answer::kOk},
        {"cancel", Answer::kCancel},
        {"yes", Answer::kYes},
        {"no", Answer::kNo}};
    for (const Token& t : a) {
      const auto it = kAnswers.find(t.text);
      if (it == kAnswers.end()) {
        return r.Fail("answer takes ok, cancel, yes or no, not " +
                    Quoted(t.text));
      }
      r.dialogs().answers.push_back(it->second);
    }
    return true;
  });
  r.Define("choose-file", kAny, [&r](const Args& a) {
    fs::path path;
    if (!r.Arity(a, 1, 1, "choose-file NAME") || !r.FilePath(a[0], &path))
      return false;
    r.files().answers.push_back({path, a[0].text});
    return true;
  });
  r.Define("cancel-file-dialog", kAny, [&r](const Args& a) {
    if (!r.Arity(a, 0, 0, "cancel-file-dialog")) return false;
    r.files().answers.push_back({std::nullopt, ""});
    return true;
  });

  // ---- Files outside the program ------------------------------------------
  r.Define("write-file", kAny, [&r](const Args& a) {
    fs::path path;
    if (!r.Arity(a, 1, 1, "write-file NAME, then the lines, each after \"|\"") ||
        !r.FilePath(a[0], &path)) {
      return false;
    }
    std::string error;
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (!WriteTextLinesAtomic(path, r.block(), &error)) {
      return r.Fail("cannot write " + Quoted(a[0].text) + ": " + error);
    }
    return true;
  });
  r.Define("copy-file", kAny, [&r](const Args& a) {
    fs::path from, to;
    if (!r.Arity(a, 2, 2, "copy-file FROM TO") || !r.FilePath(a[0], &from) ||
        !r.FilePath(a[1], &to)) {
      return false;
    }
    std::error_code ec;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec)
      return r.Fail("cannot copy " + Quoted(a[0].text) + ": " + ec.message());
    return true;
  });
  r.Define("remove-file", kAny, [&r](const Args& a) {
    fs::path path;
    if (!r.Arity(a, 1, 1, "remove-file NAME") || !r.FilePath(a[0], &path))
      return false;
    std::error_code ec;
    fs::remove_all(path, ec);
    if (ec)
      return r.Fail("cannot remove " + Quoted(a[0].text) + ": " + ec.message());
    return true;
  });
  r.Define("make-folder", kAny, [&r](const Args& a) {
    fs::path path;
    if (!r.Arity(a, 1, 1, "make-folder NAME") || !r.FilePath(a[0], &path))
      return false;
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec)
      return r.Fail("cannot make " + Quoted(a[0].text) + ": " + ec.message());
    return true;
  });
}

}  // namespace veltrano::scenario
