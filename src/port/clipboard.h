#ifndef VELTRANO_PORT_CLIPBOARD_H_
#define VELTRANO_PORT_CLIPBOARD_H_

#include <optional>
#include <string>
#include <string_view>

namespace veltrano {

// The system clipboard, plain text in both directions. Another program may
// hold it open; every access then fails and the caller says so.
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Empties the clipboard. False when it cannot be opened.
  virtual bool Clear() = 0;
  // Empties the clipboard and puts `text` on it as plain text. Tables with
  // carriage returns between their rows are also offered with CR LF line
  // ends (`crlf_text`, empty when there is no other form), for programs
  // that split rows at line feeds only. False when it cannot be opened.
  virtual bool PutText(std::string_view text, std::string_view crlf_text) = 0;
  // As PutText, with the table also as HTML (`html`), which spreadsheets
  // take before plain text: its cells carry numbers as numbers. A clipboard
  // that keeps plain text only puts the text.
  virtual bool PutTable(std::string_view text, std::string_view crlf_text,
                        std::string_view html) {
    (void)html;
    return PutText(text, crlf_text);
  }
  // The plain text on the clipboard ("" when it holds none), or nothing
  // when it cannot be opened.
  virtual std::optional<std::string> Text() = 0;
};

// A clipboard of this process alone, for the command-line tool, the
// scenario runner and tests. FailNextAccess() makes the next access fail as
// if another program held the clipboard open.
class MemoryClipboard : public Clipboard {
 public:
  bool Clear() override {
    if (Refused()) return false;
    text_.clear();
    crlf_text_.clear();
    html_.clear();
    return true;
  }
  bool PutText(std::string_view text, std::string_view crlf_text) override {
    if (Refused()) return false;
    text_.assign(text);
    crlf_text_.assign(crlf_text);
    html_.clear();
    return true;
  }
  bool PutTable(std::string_view text, std::string_view crlf_text,
                std::string_view html) override {
    if (!PutText(text, crlf_text)) return false;
    html_.assign(html);
    return true;
  }
  std::optional<std::string> Text() override {
    if (Refused()) return std::nullopt;
    return text_;
  }

  void FailNextAccess() { fail_next_ = true; }
  // What the clipboard holds, without counting as an access.
  const std::string& text() const { return text_; }
  const std::string& crlf_text() const { return crlf_text_; }
  const std::string& html() const { return html_; }

 private:
  bool Refused() {
    const bool refused = fail_next_;
    fail_next_ = false;
    return refused;
  }

  std::string text_;
  std::string crlf_text_;
  std::string html_;
  bool fail_next_ = false;
};

}  // namespace veltrano

#endif  // VELTRANO_PORT_CLIPBOARD_H_
