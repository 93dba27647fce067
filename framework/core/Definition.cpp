#include "framework/core/Definition.h"

#include <cctype>
#include <charconv>
#include <utility>

namespace {

class TParser {
 public:
  explicit TParser(std::string_view text) : text_(text) {}

  TDefObject ParseRoot() {
    SkipBlank();
    TDefObject root = ParseObject();
    SkipBlank();
    if (pos_ < text_.size()) Fail("text after the end of the root object");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw EReadError("Window definition, line " + std::to_string(line_) + ": " + what);
  }

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  // Skips blanks, line ends and comment lines.
  void SkipBlank() {
    while (!AtEnd()) {
      const char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++pos_;
      } else if (c == '#') {
        while (!AtEnd() && text_[pos_] != '\n') ++pos_;
      } else {
        break;
      }
    }
  }

  // Blanks inside one line only.
  void SkipSpaces() {
    while (!AtEnd() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r')) ++pos_;
  }

  static bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '.';
  }

  std::string Name() {
    const std::size_t start = pos_;
    while (!AtEnd() && IsNameChar(text_[pos_])) ++pos_;
    if (pos_ == start) Fail("a name was expected");
    return std::string(text_.substr(start, pos_ - start));
  }

  void Expect(char c) {
    SkipSpaces();
    if (Peek() != c) Fail(std::string("'") + c + "' was expected");
    ++pos_;
  }

  void ExpectLineEnd() {
    SkipSpaces();
    if (Peek() == '#') {
      while (!AtEnd() && text_[pos_] != '\n') ++pos_;
    }
    if (!AtEnd() && Peek() != '\n') Fail("the line goes on after its value");
  }

  TDefObject ParseObject() {
    TDefObject object;
    object.Line = line_;
    object.Name = Name();
    Expect(':');
    SkipSpaces();
    object.ClassName = Name();
    Expect('{');
    ExpectLineEnd();
    for (;;) {
      SkipBlank();
      if (AtEnd()) Fail("'}' was expected before the end of the text");
      if (Peek() == '}') {
        ++pos_;
        ExpectLineEnd();
        return object;
      }
      const int line = line_;
      std::string name = Name();
      SkipSpaces();
      if (Peek() == ':') {
        pos_ -= name.size();
        object.Children.push_back(ParseObject());
        continue;
      }
      if (!object.Children.empty()) Fail("property '" + name + "' after the child components");
      Expect('=');
      SkipSpaces();
      TDefProperty property{std::move(name), ParseValue(), line};
      ExpectLineEnd();
      object.Properties.push_back(std::move(property));
    }
  }

  TDefValue ParseValue() {
    TDefValue value;
    const char c = Peek();
    if (c == '"') {
      value.Kind = TDefValue::TKind::String;
      value.Text = String();
    } else if (c == '-' || c == '+' || std::isdigit(static_cast<unsigned char>(c)) != 0) {
      value.Kind = TDefValue::TKind::Integer;
      value.Integer = Integer();
    } else if (c == '[') {
      value.Kind = TDefValue::TKind::Set;
      value.Items = Sequence(']', [this] { return Name(); });
    } else if (c == '(') {
      value.Kind = TDefValue::TKind::List;
      value.Items = Sequence(')', [this] {
        if (Peek() != '"') Fail("a string was expected in the list");
        return String();
      });
    } else {
      value.Kind = TDefValue::TKind::Identifier;
      value.Text = Name();
    }
    return value;
  }

  template <class ReadItem>
  std::vector<std::string> Sequence(char close, ReadItem readItem) {
    std::vector<std::string> items;
    ++pos_;  // the opening bracket
    SkipSpaces();
    if (Peek() == close) {
      ++pos_;
      return items;
    }
    for (;;) {
      SkipSpaces();
      items.push_back(readItem());
      SkipSpaces();
      if (Peek() == ',') {
        ++pos_;
        continue;
      }
      if (Peek() == close) {
        ++pos_;
        return items;
      }
      Fail(std::string("',' or '") + close + "' was expected");
    }
  }

  std::int64_t Integer() {
    bool negative = false;
    if (Peek() == '-' || Peek() == '+') {
      negative = Peek() == '-';
      ++pos_;
    }
    int base = 10;
    if (text_.substr(pos_, 2) == "0x" || text_.substr(pos_, 2) == "0X") {
      base = 16;
      pos_ += 2;
    }
    std::uint64_t magnitude = 0;
    const char* first = text_.data() + pos_;
    const char* last = text_.data() + text_.size();
    const auto [end, error] = std::from_chars(first, last, magnitude, base);
    if (error != std::errc() || end == first) Fail("a number was expected");
    pos_ += static_cast<std::size_t>(end - first);
    if (magnitude > (negative ? 0x80000000ull : 0xFFFFFFFFull)) Fail("number out of range");
    const auto signedValue = static_cast<std::int64_t>(magnitude);
    return negative ? -signedValue : signedValue;
  }

  std::string String() {
    ++pos_;  // opening quote
    std::string out;
    for (;;) {
      if (AtEnd() || Peek() == '\n') Fail("unterminated string");
      const char c = text_[pos_++];
      if (c == '"') return out;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (AtEnd()) Fail("unterminated string");
      switch (text_[pos_++]) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        default: Fail("unknown escape in a string");
      }
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace

TDefObject ParseDefinition(std::string_view text) { return TParser(text).ParseRoot(); }
