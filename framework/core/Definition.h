#pragma once
// The stored window definition: a tree of components, each with a name, a class name, its
// properties in stored order and its child components. This file parses the text form; the
// Windows side (framework/win/Reader.h) turns the tree into live components.
//
// Text form ("window definition text", one item per line, '#' starts a comment line):
//
//   Form1: TForm1 {
//     Caption = "Расчет"          a string: double quotes, \" \\ \r \n \t escapes, UTF-8
//     Left = 191                  an integer (decimal, optionally signed, or 0x hexadecimal)
//     Font.Style = []             a set of identifiers in brackets, comma separated
//     Items = ("320x240", "1x1")  a list of strings in parentheses, comma separated
//     OnClick = Button1Click      an identifier: true/false, enumeration values, colour names,
//                                 event handler and component names
//     Label1: TLabel {            a child component, created after the properties above
//     }
//   }
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/Exceptions.h"

// A definition text that does not follow the grammar above, or a property that its component
// does not know.
class EReadError : public Exception {
 public:
  using Exception::Exception;
};

struct TDefValue {
  enum class TKind { Integer, String, Identifier, Set, List };
  TKind Kind = TKind::Integer;
  std::int64_t Integer = 0;
  std::string Text;                 // String and Identifier
  std::vector<std::string> Items;   // Set (identifiers) and List (strings)
};

struct TDefProperty {
  std::string Name;  // may be dotted: "Font.Name"
  TDefValue Value;
  int Line = 0;
};

struct TDefObject {
  std::string Name;
  std::string ClassName;
  std::vector<TDefProperty> Properties;
  std::vector<TDefObject> Children;
  int Line = 0;
};

// Parses one root object. Raises EReadError with the line number on any syntax error.
TDefObject ParseDefinition(std::string_view text);
