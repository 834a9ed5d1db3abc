#ifndef VELTRANO_PORT_DIALOGS_H_
#define VELTRANO_PORT_DIALOGS_H_

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/messages.h"
#include "port/clipboard.h"

namespace veltrano {

// The buttons a question offers.
enum class Buttons { kOk, kOkCancel, kYesNo, kYesNoCancel };

// The button the user pressed to close a question.
enum class Answer { kOk, kCancel, kYes, kNo };

// The captions of a question's three buttons, in the order of the answers
// kYes, kNo and kCancel.
struct ChoiceCaptions {
  std::string yes;
  std::string no;
  std::string cancel;
};

// Everything the core says to the user, or asks of them, goes through this
// interface: modal message boxes, questions and the system beep. The desktop
// application shows real dialogs; tests and the command-line tool script them.
class Dialogs : public MessageSink {
 public:
  // A modal question; returns the button that closed it.
  virtual Answer Ask(std::string_view title, std::string_view text,
                     Buttons buttons,
                     MessageIcon icon = MessageIcon::kQuestion) = 0;

  // A modal question of three choices captioned for it: the first answers
  // kYes, the second kNo, the third (and closing the box) kCancel. Where
  // the buttons cannot be captioned, it is a Yes/No/Cancel question.
  virtual Answer AskChoice(std::string_view title, std::string_view text,
                           const ChoiceCaptions& captions,
                           MessageIcon icon = MessageIcon::kQuestion) {
    (void)captions;
    return Ask(title, text, Buttons::kYesNoCancel, icon);
  }

  // The system beep.
  virtual void Beep() = 0;
};

// Dialogs that show nothing: messages are counted and every question gets
// the same answer. For generators, benchmarks and fuzzing.
class SilentDialogs : public Dialogs {
 public:
  explicit SilentDialogs(Answer answer = Answer::kOk) : answer_(answer) {}
  void ShowMessage(std::string_view, std::string_view, MessageIcon) override {
    ++messages;
  }
  Answer Ask(std::string_view, std::string_view, Buttons,
             MessageIcon) override {
    return answer_;
  }
  void Beep() override {}

  int messages = 0;

 private:
  Answer answer_;
};

// Dialogs that keep the messages instead of showing them: every question
// gets OK, no beep sounds. For work that gathers its problems into one
// message at the end, and for tools without a screen.
class CollectingDialogs : public Dialogs {
 public:
  struct Message {
    std::string title;
    std::string text;
  };
  void ShowMessage(std::string_view title, std::string_view text,
                   MessageIcon) override {
    messages.push_back(Message{std::string(title), std::string(text)});
  }
  Answer Ask(std::string_view, std::string_view, Buttons,
             MessageIcon) override {
    return Answer::kOk;
  }
  void Beep() override {}

  std::vector<Message> messages;
};

// What a file dialog shows: its title, the filter ("*.xdt"), the extension
// added to a name typed without one and the folder it opens in. A save
// dialog never asks before replacing a file: the command that uses the
// name asks, through Dialogs, so that the question is the same everywhere.
struct FileDialogRequest {
  std::string title;
  std::string filter = "*.xdt";
  std::string default_extension;
  std::filesystem::path folder;
  // The name a save dialog offers ("" for none).
  std::string suggested_name;
};

// The platform's file dialogs. Each returns the chosen path, or nothing when
// the user cancels.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  virtual std::optional<std::filesystem::path> ChooseFileToOpen(
      const FileDialogRequest& request) = 0;
  virtual std::optional<std::filesystem::path> ChooseFileToSave(
      const FileDialogRequest& request) = 0;
};

// Long operations (recalculating every room, opening a project, importing,
// aggregating) report their progress and let pending window events run
// between steps. Every method does nothing by default.
class Progress {
 public:
  virtual ~Progress() = default;
  virtual void ShowProgress(int maximum) { (void)maximum; }
  virtual void SetProgress(int value) { (void)value; }
  virtual void HideProgress() {}
  virtual void ProcessPendingEvents() {}
  // Whether ProcessPendingEvents, called now, would let the window catch
  // up (paint, run its timers). Work that only the window would see may
  // wait until then. Without a window, never.
  virtual bool EventsDue() const { return false; }
  // A status caption of the running operation changed ("" when it ends).
  virtual void ShowStatus(std::string_view text) { (void)text; }
};

// The ports the core talks through.
struct Platform {
  Dialogs& dialogs;
  FileDialogs& files;
  Progress& progress;
  Clipboard& clipboard;
};

}  // namespace veltrano

#endif  // VELTRANO_PORT_DIALOGS_H_
