#include "cli/scenario/script_reader.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltrano::scenario {

bool Tokenize(std::string_view line, Args* tokens, std::string* error) {
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    }
    if (c == '#') return true;
    Token token;
    if (c == '"') {
      ++i;
      bool closed = false;
      while (i < line.size()) {
        const char d = line[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d != '\\') {
          token.text += d;
          continue;
        }
        if (i >= line.size()) break;
        const char e = line[i++];
        // The escapes \" \\ \n \r \t and what they stand for.
        constexpr std::string_view kEscapes = "\"\\nrt";
        constexpr std::string_view kEscaped = "\"\\\n\r\t";
        const std::size_t k = kEscapes.find(e);
        if (k == std::string_view::npos) {
          *error = std::string("unknown escape \\") + e + " in a quoted text";
          return false;
        }
        token.text += kEscaped[k];
      }
      if (!closed) {
        *error = "a quoted text is not closed";
        return false;
      }
      if (i < line.size() && line[i] != ' ' && line[i] != '\t') {
        *error = "a quoted text must be followed by a blank";
        return false;
      }
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
        if (line[i] == '"') {
          *error = "a quote inside a word; quote the whole text";
          return false;
        }
        token.text += line[i++];
      }
    }
    tokens->push_back(std::move(token));
  }
  return true;
}

std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      out += c;
    }
  }
  return out;
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
  return Escaped(out);
}

std::string QuotedList(const std::vector<std::string>& items) {
  if (items.empty()) return "(none)";
  std::string out;
  for (const std::string& item : items) {
    if (!out.empty()) out += ' ';
    out += Quoted(item);
  }
  return out;
}

std::vector<std::string_view> SplitLines(std::string_view script) {
  if (script.substr(0, 3) == "\xEF\xBB\xBF") script.remove_prefix(3);
  std::vector<std::string_view> lines;
  while (!script.empty()) {
    const std::size_t end = script.find('\n');
    std::string_view line = script.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    script.remove_prefix(end + 1);
  }
  return lines;
}

std::optional<std::string_view> BlockLine(std::string_view line) {
  const std::size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos || line[start] != '|')
    return std::nullopt;
  line.remove_prefix(start + 1);
  if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  return line;
}

Args RepeatRound(const Args& tokens, int i) {
  Args once(tokens.begin() + 2, tokens.end());
  for (std::size_t t = 1; t < once.size(); ++t) {
    std::string& text = once[t].text;
    for (std::size_t at = text.find("{i}"); at != std::string::npos;
         at = text.find("{i}", at)) {
      text.replace(at, 3, std::to_string(i));
    }
  }
  return once;
}

}  // namespace veltrano::scenario
