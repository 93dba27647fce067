#include "framework/core/StringList.h"

#include <algorithm>

#include "framework/core/StrUtils.h"

int TStringList::Add(std::string text) {
  items_.push_back(std::move(text));
  return Count() - 1;
}

void TStringList::Insert(int index, std::string text) {
  items_.insert(items_.begin() + std::clamp(index, 0, Count()), std::move(text));
}

void TStringList::Delete(int index) {
  if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

int TStringList::IndexOf(std::string_view text) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(items_[static_cast<std::size_t>(i)], text)) return i;
  return -1;
}

void TStringList::Sort() { Sort(CompareText); }

void TStringList::Sort(const TCompare& compare) {
  std::stable_sort(items_.begin(), items_.end(),
                   [&](const std::string& a, const std::string& b) { return compare(a, b) < 0; });
}

std::string TStringList::Text() const {
  std::string out;
  for (const auto& line : items_) {
    out += line;
    out += "\r\n";
  }
  return out;
}

void TStringList::SetText(std::string_view text) {
  items_.clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      items_.emplace_back(text.substr(start));
      break;
    }
    items_.emplace_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
}
