#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <thread>

#include "calc/text_file.h"
#include "cli/scenario/runner.h"
#include "cli/scenario/script_reader.h"
#include "cli/scenario/verbs.h"
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
  // ---- Time passing: the timers run (the recovery copy) -------------------
  r.Define("wait", kAny, [&r](const Args& a) {
    int seconds = 0;
    if (!r.Arity(a, 1, 1, "wait SECONDS") ||
        !r.Count(a[0], 0, 24 * 60 * 60, "the seconds to wait", &seconds)) {
      return false;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    do {
      r.workspace().Tick();
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < end);
    r.workspace().Tick();
    r.workspace().recovery().Wait();
    return true;
  });
  r.Define("choose-file", kAny, [&r](const Args& a) {
    fs::path path;
    if (!r.Arity(a, 1, 1, "choose-file NAME") || !r.FilePath(a[0], &path))
      return false;
    r.files().answers.push_back({path, a[0].text});
    return true;
  });
  r.DefineAction("cancel-file-dialog", kAny, nullptr, [&r] {
    r.files().answers.push_back({std::nullopt, ""});
  });

  // ---- Files outside the program ------------------------------------------
  r.Define("write-file", kAny, [&r](const Args& a) {
    fs::path path;
    if (!r.Arity(a, 1, 1,
                 "write-file NAME, then the lines, each after \"|\"") ||
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
  // A verb that does `op` to the file or folder it names; a failure says
  // "cannot DOING NAME: why".
  using PathOp = void (*)(const fs::path&, std::error_code&);
  auto on_path = [&r](std::string verb, std::string doing, PathOp op) {
    return [&r, verb, doing, op](const Args& a) {
      fs::path path;
      if (!r.Arity(a, 1, 1, verb + " NAME") || !r.FilePath(a[0], &path))
        return false;
      std::error_code ec;
      op(path, ec);
      if (ec) {
        return r.Fail("cannot " + doing + " " + Quoted(a[0].text) + ": " +
                      ec.message());
      }
      return true;
    };
  };
  r.Define("remove-file", kAny,
           on_path("remove-file", "remove",
                   [](const fs::path& path, std::error_code& ec) {
                     fs::remove_all(path, ec);
                   }));
  r.Define("make-folder", kAny,
           on_path("make-folder", "make",
                   [](const fs::path& path, std::error_code& ec) {
                     fs::create_directories(path, ec);
                   }));
}

}  // namespace veltrano::scenario
