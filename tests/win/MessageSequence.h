#pragma once
// Recorded message sequences and the tables they are compared with.
//
// A recording keeps every message a test window or control receives, in order and with
// repeats: the message, its wParam and lParam, the receiver where a test has several, and what
// the recorder noted about the moment (a state). Between messages a test may write down events
// of its own (a paint, a step's result). An expected table names each entry and says which
// parameters count: a parameter is compared only where the entry gives it, so that pointers
// and handles stay out of the tables. An entry marked optional may be absent, for messages
// the system sends or not. On a mismatch both sides are printed side by side and the first
// difference is marked.
//
// Portable: message numbers are plain integers; the Windows side (WinTestSupport.h) adds the
// names of the window messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

// What an expected entry compares besides message, receiver and note.
enum TSeqFlags : std::uint32_t {
  sfWParam = 1,    // wParam must be equal
  sfLParam = 2,    // lParam must be equal
  sfOptional = 4,  // the entry may be absent
};

// One entry of a recording or of an expected table. Message 0 is an event: Name says what.
struct TSeqEntry {
  std::uint32_t Message = 0;
  std::string Name;    // an event's text; for a message, empty (named through the recording)
  std::string Target;  // the receiver, where a test has several
  std::uint64_t WParam = 0;
  std::int64_t LParam = 0;
  std::string Note;    // what the recorder saw with the message; always compared
  std::uint32_t Flags = 0;

  // Table helpers: give a parameter (and so compare it), a receiver, a note, optionality.
  TSeqEntry& W(std::uint64_t value) {
    WParam = value;
    Flags |= sfWParam;
    return *this;
  }
  TSeqEntry& L(std::int64_t value) {
    LParam = value;
    Flags |= sfLParam;
    return *this;
  }
  TSeqEntry& To(std::string target) {
    Target = std::move(target);
    return *this;
  }
  TSeqEntry& With(std::string note) {
    Note = std::move(note);
    return *this;
  }
  TSeqEntry& Optional() {
    Flags |= sfOptional;
    return *this;
  }
};

// An expected message, compared by number, receiver and note; parameters as given.
inline TSeqEntry Msg(std::uint32_t message) {
  TSeqEntry entry;
  entry.Message = message;
  return entry;
}
// An expected or recorded event.
inline TSeqEntry Event(std::string text) {
  TSeqEntry entry;
  entry.Name = std::move(text);
  return entry;
}

// Does a recorded entry satisfy an expected one?
inline bool SeqMatches(const TSeqEntry& expected, const TSeqEntry& recorded) {
  if (expected.Message != recorded.Message || expected.Target != recorded.Target || expected.Note != recorded.Note)
    return false;
  if (expected.Message == 0 && expected.Name != recorded.Name) return false;
  if ((expected.Flags & sfWParam) != 0 && expected.WParam != recorded.WParam) return false;
  if ((expected.Flags & sfLParam) != 0 && expected.LParam != recorded.LParam) return false;
  return true;
}

// A recording. Names of messages come from the namer given at construction (the numbers in
// hexadecimal where it knows none).
class TMessageLog {
 public:
  using TNamer = std::string (*)(std::uint32_t);
  explicit TMessageLog(TNamer namer = nullptr) : namer_(namer) {}

  void Message(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam, std::string target = {},
               std::string note = {}) {
    TSeqEntry entry = Msg(message);
    entry.Target = std::move(target);
    entry.WParam = wParam;
    entry.LParam = lParam;
    entry.Note = std::move(note);
    entries_.push_back(std::move(entry));
  }
  void Event(std::string text) { entries_.push_back(::Event(std::move(text))); }
  void Clear() { entries_.clear(); }
  const std::vector<TSeqEntry>& Entries() const { return entries_; }

  std::string Name(std::uint32_t message) const {
    if (namer_ != nullptr)
      if (std::string name = namer_(message); !name.empty()) return name;
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(message));
    return hex;
  }

  // "form:WM_NCPAINT w=1 l=0 note"; expected entries show only the parameters they compare.
  std::string Describe(const TSeqEntry& entry, bool expected) const {
    std::string text = entry.Target.empty() ? std::string() : entry.Target + ":";
    text += entry.Message == 0 ? entry.Name : Name(entry.Message);
    if (entry.Message != 0) {
      if (!expected || (entry.Flags & sfWParam) != 0) text += " w=" + Number(entry.WParam);
      if (!expected || (entry.Flags & sfLParam) != 0) {
        text += entry.LParam < 0 ? " l=-" : " l=";
        const auto magnitude = static_cast<std::uint64_t>(entry.LParam);
        text += Number(entry.LParam < 0 ? 0 - magnitude : magnitude);
      }
    }
    if (!entry.Note.empty()) text += " " + entry.Note;
    if (expected && (entry.Flags & sfOptional) != 0) text += " (optional)";
    return text;
  }

 private:
  // Small values in decimal, handles and pointers in hexadecimal.
  static std::string Number(std::uint64_t value) {
    if (value < 0x10000) return std::to_string(value);
    char hex[24];
    std::snprintf(hex, sizeof hex, "0x%llX", static_cast<unsigned long long>(value));
    return hex;
  }

  TNamer namer_;
  std::vector<TSeqEntry> entries_;
};

// Prints rows of "expected | recorded", "!" before each row that differs and an arrow at the
// first difference.
inline std::string SideBySide(const std::vector<std::pair<std::string, std::string>>& rows,
                              const std::vector<bool>& differs) {
  std::size_t width = 8;
  for (const auto& row : rows) width = std::max(width, row.first.size());
  std::string table = "  " + std::string("expected").append(width - 8, ' ') + " | recorded\n";
  bool first = true;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    table += (differs[i] ? "! " : "  ") + rows[i].first + std::string(width - rows[i].first.size(), ' ') + " | " +
             rows[i].second;
    if (differs[i] && first) table += "   <- first difference";
    first = first && !differs[i];
    table += "\n";
  }
  return table;
}

// Compares a recording with the expected table: every entry in order, each one as often as
// the table says, optional entries present or not.
inline void ExpectSequence(const std::vector<TSeqEntry>& expected, const TMessageLog& log) {
  const std::vector<TSeqEntry>& recorded = log.Entries();
  const std::size_t ne = expected.size();
  const std::size_t nr = recorded.size();
  // fits[i][j]: expected[i..] matches recorded[j..] (optional entries taken or skipped).
  std::vector<std::vector<char>> fits(ne + 1, std::vector<char>(nr + 1, 0));
  fits[ne][nr] = 1;
  for (std::size_t i = ne + 1; i-- > 0;)
    for (std::size_t j = nr + 1; j-- > 0;) {
      if (i == ne) continue;
      const bool optional = (expected[i].Flags & sfOptional) != 0;
      fits[i][j] = static_cast<char>((j < nr && SeqMatches(expected[i], recorded[j]) && fits[i + 1][j + 1]) ||
                                     (optional && fits[i + 1][j]));
    }
  if (fits[0][0]) return;

  // The walk to print: matching entries side by side, absent optional entries beside nothing;
  // from the first difference on, the rest of both sides row by row.
  std::vector<std::pair<std::string, std::string>> rows;
  std::vector<bool> differs;
  std::size_t i = 0;
  std::size_t j = 0;
  for (;;) {
    if (i < ne && j < nr && SeqMatches(expected[i], recorded[j])) {
      rows.emplace_back(log.Describe(expected[i++], true), log.Describe(recorded[j++], false));
    } else if (i < ne && (expected[i].Flags & sfOptional) != 0) {
      rows.emplace_back(log.Describe(expected[i++], true), "");
    } else {
      break;
    }
    differs.push_back(false);
  }
  while (i < ne || j < nr) {
    std::string e = i < ne ? log.Describe(expected[i], true) : "-";
    std::string r = j < nr ? log.Describe(recorded[j], false) : "-";
    differs.push_back(!(i < ne && j < nr && SeqMatches(expected[i], recorded[j])));
    rows.emplace_back(std::move(e), std::move(r));
    ++i;
    ++j;
  }
  ADD_FAILURE() << SideBySide(rows, differs);
}
