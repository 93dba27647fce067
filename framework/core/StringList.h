#pragma once
// An ordered list of UTF-8 strings, the framework's usual container for names and lines.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TStringList {
 public:
  TStringList() = default;

  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& operator[](int index) const { return items_.at(static_cast<std::size_t>(index)); }
  std::string& operator[](int index) { return items_.at(static_cast<std::size_t>(index)); }
  const std::vector<std::string>& Items() const { return items_; }

  int Add(std::string text);
  void Insert(int index, std::string text);
  void Delete(int index);
  void Clear() { items_.clear(); }
  // First index whose string equals `text` without regard to case, or -1.
  int IndexOf(std::string_view text) const;
  // Negative, zero or positive like strcmp.
  using TCompare = std::function<int(std::string_view, std::string_view)>;
  // Case-insensitive order (CompareText); equal strings keep their order.
  void Sort();
  // The order of `compare`; equal strings keep their order.
  void Sort(const TCompare& compare);

  // All lines, each followed by CR LF; assigning splits at CR LF, LF or CR.
  std::string Text() const;
  void SetText(std::string_view text);

  friend bool operator==(const TStringList&, const TStringList&) = default;

 private:
  std::vector<std::string> items_;
};
