#ifndef VELTRANO_CALC_MESSAGES_H_
#define VELTRANO_CALC_MESSAGES_H_

#include <string_view>

namespace veltrano {

// The titles of the message boxes that more than one part of the program
// shows.
inline constexpr std::string_view kTitleConfirm = "確認";
inline constexpr std::string_view kTitleInputCheck = "入力確認";
inline constexpr std::string_view kTitleCheck = "チェック";
inline constexpr std::string_view kTitleError = "エラー";

// The icon a message box or question carries.
enum class MessageIcon { kNone, kInformation, kWarning, kCritical, kQuestion };

// Where a message for the user goes: a modal message box with an OK
// button. The lowest layers (the formula engine) report through this alone;
// the full set of dialogs is the port Dialogs, which is one.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void ShowMessage(std::string_view title, std::string_view text,
                           MessageIcon icon = MessageIcon::kNone) = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_CALC_MESSAGES_H_
