#include "framework/core/IniFiles.h"

#include "framework/core/CodePage.h"
#include "framework/core/FileSystem.h"
#include "framework/core/StrUtils.h"

const char* IniEncodingName(TIniEncoding encoding) {
  switch (encoding) {
    case TIniEncoding::ieUtf8: return "UTF-8";
    case TIniEncoding::ieUtf16LE: return "UTF-16 little-endian";
    case TIniEncoding::ieUtf16BE: return "UTF-16 big-endian";
    default: return "code page 1251";
  }
}

TMemIniFile::TMemIniFile(std::string fileName) : fileName_(std::move(fileName)) {
  if (fileName_.empty()) return;
  if (auto bytes = ReadFileBytes(fileName_)) LoadFromBytes(*bytes);
}

void TMemIniFile::LoadFromBytes(std::string_view bytes) {
  if (StartsWithUtf8Bom(bytes)) {
    encoding_ = TIniEncoding::ieUtf8;
    SetText(bytes.substr(3));
  } else if (bytes.starts_with("\xFF\xFE")) {
    encoding_ = TIniEncoding::ieUtf16LE;
    SetText(Utf16ToUtf8(bytes.substr(2), false));
  } else if (bytes.starts_with("\xFE\xFF")) {
    encoding_ = TIniEncoding::ieUtf16BE;
    SetText(Utf16ToUtf8(bytes.substr(2), true));
  } else {
    encoding_ = TIniEncoding::ieCp1251;
    SetText(Cp1251ToUtf8(bytes));
  }
}

void TMemIniFile::SetText(std::string_view utf8Text) {
  TStringList lines;
  lines.SetText(utf8Text);
  SetStrings(lines);
}

void TMemIniFile::Clear() {
  sections_.clear();
  sectionIndex_.clear();
}

void TMemIniFile::SetStrings(const TStringList& lines) {
  Clear();
  Section* current = nullptr;
  for (const auto& raw : lines.Items()) {
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
      current = &FindOrAdd(Trim(std::string_view(line).substr(1, line.size() - 2)));
      continue;
    }
    if (current == nullptr) continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = Trim(std::string_view(line).substr(0, eq));
    if (current->KeyIndex.emplace(UpperCase(key), current->Values.size()).second)
      current->Values.emplace_back(std::move(key), Trim(std::string_view(line).substr(eq + 1)));
  }
}

TStringList TMemIniFile::GetStrings() const {
  TStringList lines;
  for (const auto& section : sections_) {
    lines.Add("[" + section.Name + "]");
    for (const auto& [key, value] : section.Values) lines.Add(key + "=" + value);
    lines.Add("");
  }
  return lines;
}

const TMemIniFile::Section* TMemIniFile::Find(std::string_view section) const {
  const auto it = sectionIndex_.find(UpperCase(section));
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

TMemIniFile::Section* TMemIniFile::Find(std::string_view section) {
  const auto it = sectionIndex_.find(UpperCase(section));
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

TMemIniFile::Section& TMemIniFile::FindOrAdd(std::string_view section) {
  const auto [it, added] = sectionIndex_.emplace(UpperCase(section), sections_.size());
  if (added) sections_.push_back({std::string(section), {}, {}});
  return sections_[it->second];
}

const std::string* TMemIniFile::FindValue(std::string_view section, std::string_view key) const {
  const Section* s = Find(section);
  if (s == nullptr) return nullptr;
  const auto it = s->KeyIndex.find(UpperCase(key));
  return it == s->KeyIndex.end() ? nullptr : &s->Values[it->second].second;
}

void TMemIniFile::Reindex() {
  sectionIndex_.clear();
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    Section& s = sections_[i];
    sectionIndex_.emplace(UpperCase(s.Name), i);
    s.KeyIndex.clear();
    for (std::size_t k = 0; k < s.Values.size(); ++k) s.KeyIndex.emplace(UpperCase(s.Values[k].first), k);
  }
}

std::string TMemIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  const std::string* value = FindValue(section, key);
  return value != nullptr ? *value : std::string(def);
}

std::int32_t TMemIniFile::ReadInteger(std::string_view section, std::string_view key, std::int32_t def) const {
  const std::string* value = FindValue(section, key);
  if (value == nullptr) return def;
  return ParseInt(*value).value_or(def);
}

bool TMemIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  const std::string* value = FindValue(section, key);
  if (value == nullptr) return def;
  if (SameText(*value, "TRUE")) return true;
  if (SameText(*value, "FALSE")) return false;
  if (auto number = ParseInt(*value)) return *number != 0;
  return def;
}

double TMemIniFile::ReadFloat(std::string_view section, std::string_view key, double def) const {
  const std::string* value = FindValue(section, key);
  if (value == nullptr) return def;
  return ParseFloat(*value).value_or(def);
}

void TMemIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  Section& s = FindOrAdd(Trim(section));
  const std::string k = Trim(key);
  const auto [it, added] = s.KeyIndex.emplace(UpperCase(k), s.Values.size());
  if (added) {
    s.Values.emplace_back(k, Trim(value));
  } else {
    s.Values[it->second].second = Trim(value);
  }
}

void TMemIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TMemIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "TRUE" : "FALSE");
}

void TMemIniFile::ReadSections(TStringList& names) const {
  names.Clear();
  for (const auto& s : sections_) names.Add(s.Name);
}

int TMemIniFile::SectionPosition(std::string_view section) const {
  const auto it = sectionIndex_.find(UpperCase(section));
  return it == sectionIndex_.end() ? -1 : static_cast<int>(it->second);
}

const std::string* TMemIniFile::ValueAt(int position, const std::string& upperKey) const {
  if (position < 0 || static_cast<std::size_t>(position) >= sections_.size()) return nullptr;
  const Section& s = sections_[static_cast<std::size_t>(position)];
  const auto it = s.KeyIndex.find(upperKey);
  return it == s.KeyIndex.end() ? nullptr : &s.Values[it->second].second;
}

void TMemIniFile::ReadSection(std::string_view section, TStringList& keys) const {
  keys.Clear();
  if (const Section* s = Find(section))
    for (const auto& kv : s->Values) keys.Add(kv.first);
}

bool TMemIniFile::SectionExists(std::string_view section) const { return Find(section) != nullptr; }

bool TMemIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return FindValue(section, key) != nullptr;
}

void TMemIniFile::EraseSection(std::string_view section) {
  const auto it = sectionIndex_.find(UpperCase(section));
  if (it == sectionIndex_.end()) return;
  sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(it->second));
  Reindex();
}

void TMemIniFile::DeleteKey(std::string_view section, std::string_view key) {
  Section* s = Find(section);
  if (s == nullptr) return;
  const auto it = s->KeyIndex.find(UpperCase(key));
  if (it == s->KeyIndex.end()) return;
  s->Values.erase(s->Values.begin() + static_cast<std::ptrdiff_t>(it->second));
  Reindex();
}

std::string TMemIniFile::ToBytes() const {
  const std::string text = GetStrings().Text();
  if (encoding_ == TIniEncoding::ieCp1251) {
    if (auto cp1251 = Utf8ToCp1251(text)) return *cp1251;
  }
  return "\xEF\xBB\xBF" + text;
}

bool TMemIniFile::UpdateFile() const {
  return !fileName_.empty() && WriteFileBytes(fileName_, ToBytes());
}
