#ifndef VELTRANO_TESTS_SUPPORT_FAKE_DIALOGS_H_
#define VELTRANO_TESTS_SUPPORT_FAKE_DIALOGS_H_

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "port/dialogs.h"

namespace veltrano::testing {

// One message box or question as the user saw it.
struct ShownDialog {
  std::string title;
  std::string text;
  bool question = false;
  bool operator==(const ShownDialog&) const = default;
};

// Records every message and question; answers questions from a script and
// fails the test (through `unexpected`) when a question comes unscripted.
class FakeDialogs : public Dialogs {
 public:
  void ShowMessage(std::string_view title, std::string_view text,
                   MessageIcon) override {
    if (before_showing) before_showing();
    shown.push_back({std::string(title), std::string(text), false});
  }
  Answer Ask(std::string_view title, std::string_view text, Buttons,
             MessageIcon) override {
    if (before_showing) before_showing();
    shown.push_back({std::string(title), std::string(text), true});
    if (answers.empty()) {
      ++unexpected;
      return Answer::kCancel;
    }
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  void Beep() override { ++beeps; }

  std::vector<ShownDialog> Take() { return std::exchange(shown, {}); }

  std::vector<ShownDialog> shown;
  std::deque<Answer> answers;
  // Runs as a box comes up, as the desktop's boxes let the window catch up.
  std::function<void()> before_showing;
  int beeps = 0;
  int unexpected = 0;
};

}  // namespace veltrano::testing

#endif  // VELTRANO_TESTS_SUPPORT_FAKE_DIALOGS_H_
