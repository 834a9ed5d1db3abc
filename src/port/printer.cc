#include "port/printer.h"

#include "calc/cp932.h"

namespace veltrano {

double RecordingCanvas::TextWidth(std::string_view text) const {
  return static_cast<double>(ByteWidth(text)) * 10 * font_.size;
}

int RecordingCanvas::page_count() const {
  const Page& last = pages_.back();
  const bool trailing_empty = last.texts.empty() && last.lines.empty();
  return static_cast<int>(pages_.size()) - (trailing_empty && pages_.size() > 1 ? 1 : 0);
}

std::vector<std::string> RecordingCanvas::TextsOf(int page) const {
  std::vector<std::string> texts;
  if (page < 0 || page >= static_cast<int>(pages_.size())) return texts;
  for (const Text& t : pages_[static_cast<std::size_t>(page)].texts) texts.push_back(t.text);
  return texts;
}

const RecordingCanvas::Text* RecordingCanvas::Find(int page, std::string_view text) const {
  if (page < 0 || page >= static_cast<int>(pages_.size())) return nullptr;
  for (const Text& t : pages_[static_cast<std::size_t>(page)].texts) {
    if (t.text == text) return &t;
  }
  return nullptr;
}

}  // namespace veltrano
