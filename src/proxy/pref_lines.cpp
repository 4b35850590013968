#include "proxy/pref_lines.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsWordChar(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsNumberChar(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '+'; }

class PrefReader {
 public:
  explicit PrefReader(std::string_view text) : text_(text) {}

  bool AtEnd() {
    SkipBlanks();
    return pos_ >= text_.size();
  }

  std::optional<PrefLine> Statement() {
    const std::string_view word = Word();
    if (word != "user_pref" && word != "pref" && word != "sticky_pref") return std::nullopt;
    PrefLine line;
    std::string_view name;
    if (!Take('(') || !String(name) || !Take(',') || !Value(line.value) || !Take(')') || !Take(';'))
      return std::nullopt;
    line.name = Unescaped(name.substr(1, name.size() - 2));
    return line;
  }

  // After a statement Firefox would not accept, its reader goes on with the next line.
  void SkipLine() {
    while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
  }

 private:
  void SkipBlanks() {
    for (;;) {
      while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
      const std::string_view rest = text_.substr(pos_);
      if (rest.starts_with("//") || rest.starts_with("#")) {
        SkipLine();
      } else if (rest.starts_with("/*")) {
        const std::size_t end = rest.find("*/", 2);
        pos_ = end == std::string_view::npos ? text_.size() : pos_ + end + 2;
      } else {
        return;
      }
    }
  }

  bool Take(char c) {
    SkipBlanks();
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  std::string_view Word() {
    SkipBlanks();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && IsWordChar(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }

  // A double-quoted string on one line, its quotes included.
  bool String(std::string_view& literal) {
    SkipBlanks();
    if (pos_ >= text_.size() || text_[pos_] != '"') return false;
    const std::size_t start = pos_++;
    while (pos_ < text_.size() && text_[pos_] != '"') {
      if (text_[pos_] == '\r' || text_[pos_] == '\n') return false;
      if (text_[pos_] == '\\') ++pos_;
      ++pos_;
    }
    if (pos_ >= text_.size()) return false;
    literal = text_.substr(start, ++pos_ - start);
    return true;
  }

  bool Value(std::string& value) {
    SkipBlanks();
    if (pos_ < text_.size() && text_[pos_] == '"') {
      std::string_view literal;
      if (!String(literal)) return false;
      value = literal;
      return true;
    }
    const std::string_view word = Word();
    if (word == "true" || word == "false") {
      value = word;
      return true;
    }
    const std::size_t start = pos_;
    while (pos_ < text_.size() && IsNumberChar(text_[pos_])) ++pos_;
    value = text_.substr(start, pos_ - start);
    return word.empty() && value.find_first_of("0123456789") != std::string::npos;
  }

  static std::string Unescaped(std::string_view text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\\' && i + 1 < text.size()) ++i;
      plain += text[i];
    }
    return plain;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

std::vector<PrefLine> ParsePrefLines(std::string_view text) {
  std::vector<PrefLine> lines;
  PrefReader reader(text);
  while (!reader.AtEnd()) {
    if (std::optional<PrefLine> line = reader.Statement())
      lines.push_back(std::move(*line));
    else
      reader.SkipLine();
  }
  return lines;
}

std::optional<std::string> LastPrefValue(const std::vector<PrefLine>& lines, std::string_view name) {
  for (auto it = lines.rbegin(); it != lines.rend(); ++it)
    if (it->name == name) return it->value;
  return std::nullopt;
}
