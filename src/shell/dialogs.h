#ifndef VELTRANO_SHELL_DIALOGS_H_
#define VELTRANO_SHELL_DIALOGS_H_

#include <string>
#include <string_view>

namespace veltrano {

// The icon a message box or question carries.
enum class MessageIcon { kNone, kInformation, kWarning, kCritical, kQuestion };

// The buttons a question offers.
enum class Buttons { kOk, kOkCancel, kYesNo, kYesNoCancel };

// The button the user pressed to close a question.
enum class Answer { kOk, kCancel, kYes, kNo };

// Everything the core says to the user, or asks of them, goes through this
// interface: modal message boxes, questions and the system beep. The desktop
// application shows real dialogs; tests and the command-line tool script them.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A modal message box with an OK button.
  virtual void ShowMessage(std::string_view title, std::string_view text,
                           MessageIcon icon = MessageIcon::kNone) = 0;

  // A modal question; returns the button that closed it.
  virtual Answer Ask(std::string_view title, std::string_view text,
                     Buttons buttons,
                     MessageIcon icon = MessageIcon::kQuestion) = 0;

  // The system beep.
  virtual void Beep() = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_SHELL_DIALOGS_H_
