#pragma once
// An ini file held whole in memory: sections in brackets, lines key=value. Section and key
// names match without regard to case; sections and keys keep file order. Reading never touches
// the disk; UpdateFile writes everything back at once.
//
// On disk the text is code page 1251 unless it starts with a byte-order mark: UTF-8, or UTF-16
// (little- or big-endian, as editors save "Unicode"); in memory it is UTF-8. A file read as
// 1251 is written back as 1251 unless it has gained a character 1251 cannot hold; anything else
// is written as UTF-8 with its mark, so that writing never loses text.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "framework/core/StringList.h"

enum class TIniEncoding { ieCp1251, ieUtf8, ieUtf16LE, ieUtf16BE };
// "code page 1251", "UTF-8", "UTF-16 little-endian", "UTF-16 big-endian".
const char* IniEncodingName(TIniEncoding encoding);

class TMemIniFile {
 public:
  // Reads `fileName` when it exists; an empty name gives an ini that lives in memory only.
  explicit TMemIniFile(std::string fileName = {});

  const std::string& FileName() const { return fileName_; }
  // How the text was stored when it was read (code page 1251 for an ini made in memory).
  TIniEncoding Encoding() const { return encoding_; }

  // Replaces the whole content with `bytes` in the on-disk encoding (as read from a file).
  void LoadFromBytes(std::string_view bytes);
  // Replaces the whole content with UTF-8 lines. Lines are trimmed; empty lines and lines
  // starting with ";" are skipped; "[name]" opens a section; lines before the first section
  // are ignored; in "key=value" both sides are trimmed, and a line without "=" is ignored.
  // A section named twice is one section; a key named twice keeps its first value.
  void SetStrings(const TStringList& lines);
  void SetText(std::string_view utf8Text);
  TStringList GetStrings() const;
  void Clear();

  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  // Decimal, or hexadecimal with a "0x" or "$" prefix; `def` when missing or unreadable.
  std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t def) const;
  // True for "TRUE" in any case or a non-zero integer, false for "FALSE" or 0, else `def`.
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  double ReadFloat(std::string_view section, std::string_view key, double def) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);  // "TRUE"/"FALSE"

  void ReadSections(TStringList& names) const;
  // Sections by position, the order of ReadSections, for readers that visit every section and
  // key: the position of a section (-1 when none), and a value at a position by its key given
  // in upper case (null when missing). They spare the name lookups of ReadString.
  int SectionPosition(std::string_view section) const;
  const std::string* ValueAt(int position, const std::string& upperKey) const;
  void ReadSection(std::string_view section, TStringList& keys) const;
  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  void EraseSection(std::string_view section);
  void DeleteKey(std::string_view section, std::string_view key);

  // The content in the on-disk encoding.
  std::string ToBytes() const;
  // Writes the file; false when there is no file name or it cannot be written.
  bool UpdateFile() const;

 private:
  // Lookups go through maps keyed by the upper-cased name, so that a file with very many
  // sections or keys still reads in linear time.
  struct Section {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Values;
    std::unordered_map<std::string, std::size_t> KeyIndex;
  };
  const Section* Find(std::string_view section) const;
  Section* Find(std::string_view section);
  Section& FindOrAdd(std::string_view section);
  const std::string* FindValue(std::string_view section, std::string_view key) const;
  void Reindex();

  std::string fileName_;
  TIniEncoding encoding_ = TIniEncoding::ieCp1251;
  std::vector<Section> sections_;
  std::unordered_map<std::string, std::size_t> sectionIndex_;
};
