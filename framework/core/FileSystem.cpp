#include "framework/core/FileSystem.h"

#include <fstream>
#include <system_error>
#ifdef _WIN32
#include <windows.h>
#else
#include <unordered_map>

#include "framework/core/StrUtils.h"
#endif

namespace fs = std::filesystem;

fs::path PathFromUtf8(std::string_view utf8) {
  std::u8string u8(utf8.size(), u8'\0');
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    char c = utf8[i];
#ifndef _WIN32
    if (c == '\\') c = '/';  // paths are written the Windows way; the native build reads them too
#endif
    u8[i] = static_cast<char8_t>(c);
  }
  return fs::path(u8);
}

std::string PathToUtf8(const fs::path& path) {
  const std::u8string u8 = path.u8string();
  std::string out(u8.size(), '\0');
  for (std::size_t i = 0; i < u8.size(); ++i) out[i] = static_cast<char>(u8[i]);
  return out;
}

namespace {

#ifdef _WIN32
fs::path ExistingPath(std::string_view utf8) { return PathFromUtf8(utf8); }
#else
// Windows finds a file whatever the case of its name, and skin files are written for it: a
// skin names "MASTER.BMP" for a file stored as "Master.bmp". A path that does not exist as
// written is looked for again one part at a time without regard to case. The upper-cased names
// of each folder are kept while the folder's modification time stays the same, so that a folder
// with many files costs one listing, not one per file looked up.
const std::unordered_map<std::string, std::string>& NamesOf(const fs::path& folder) {
  struct TListing {
    fs::file_time_type Time;
    std::unordered_map<std::string, std::string> Names;  // upper-cased name -> name
  };
  static std::unordered_map<std::string, TListing> listings;
  static const std::unordered_map<std::string, std::string> none;
  std::error_code ec;
  const fs::file_time_type time = fs::last_write_time(folder, ec);
  if (ec) return none;
  const std::string key = PathToUtf8(folder);
  auto it = listings.find(key);
  if (it != listings.end() && it->second.Time == time) return it->second.Names;
  if (listings.size() > 64) listings.clear();
  TListing listing{time, {}};
  for (fs::directory_iterator entry(folder, ec), end; !ec && entry != end; entry.increment(ec)) {
    const std::string name = PathToUtf8(entry->path().filename());
    listing.Names.emplace(UpperCase(name), name);
  }
  return listings.insert_or_assign(key, std::move(listing)).first->second.Names;
}

fs::path ExistingPath(std::string_view utf8) {
  const fs::path path = PathFromUtf8(utf8);
  std::error_code ec;
  if (path.empty() || fs::exists(path, ec)) return path;
  fs::path found = path.root_path();
  for (const fs::path& part : path.relative_path()) {
    const fs::path next = found.empty() ? part : found / part;
    if (fs::exists(next, ec) || part == "." || part == "..") {
      found = next;
      continue;
    }
    const auto& names = NamesOf(found.empty() ? fs::path(".") : found);
    const auto name = names.find(UpperCase(PathToUtf8(part)));
    if (name == names.end()) return path;
    found = found.empty() ? PathFromUtf8(name->second) : found / PathFromUtf8(name->second);
  }
  return found;
}
#endif

}  // namespace

bool FileExists(std::string_view path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(ExistingPath(path), ec);
}

bool DirectoryExists(std::string_view path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(ExistingPath(path), ec);
}

bool ForceDirectories(std::string_view path) {
  std::error_code ec;
  fs::create_directories(PathFromUtf8(path), ec);
  return DirectoryExists(path);
}

std::optional<std::uintmax_t> FileSize(std::string_view path) {
  std::error_code ec;
  const fs::path p = ExistingPath(path);
  if (path.empty() || !fs::is_regular_file(p, ec)) return std::nullopt;
  const std::uintmax_t size = fs::file_size(p, ec);
  if (ec) return std::nullopt;
  return size;
}

#ifdef _WIN32
std::string FinalPath(std::string_view path) {
  if (path.empty()) return {};
  // The system follows the links (symbolic links, junctions) when it opens the file; its
  // final name is then the real place. Opening for no access reads neither file nor folder.
  HANDLE file = CreateFileW(PathFromUtf8(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::wstring name(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
  if (length >= name.size()) {
    name.resize(length + 1);
    length = GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
  }
  CloseHandle(file);
  if (length == 0 || length >= name.size()) return {};
  name.resize(length);
  if (name.starts_with(L"\\\\?\\UNC\\")) name = L"\\\\" + name.substr(8);
  else if (name.starts_with(L"\\\\?\\")) name = name.substr(4);
  return PathToUtf8(fs::path(name));
}
#else
std::string FinalPath(std::string_view path) {
  std::error_code ec;
  const fs::path p = fs::canonical(ExistingPath(path), ec);
  return ec ? std::string() : PathToUtf8(p);
}
#endif

bool LeadsOutside(std::string_view path, std::string_view folder) {
  const std::string inner = FinalPath(path);
  std::string outer = FinalPath(folder);
  if (inner.empty() || outer.empty()) return false;
#ifdef _WIN32
  const char separator = '\\';
  auto same = [](std::string_view a, std::string_view b) {
    const std::wstring wa = PathFromUtf8(a).wstring(), wb = PathFromUtf8(b).wstring();
    return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(), static_cast<int>(wb.size()), TRUE) ==
           CSTR_EQUAL;
  };
#else
  const char separator = '/';
  auto same = [](std::string_view a, std::string_view b) { return a == b; };
#endif
  if (outer.back() != separator) outer += separator;
  return inner.size() <= outer.size() || !same(std::string_view(inner).substr(0, outer.size()), outer);
}

std::optional<std::string> ReadFileBytes(std::string_view path, std::size_t maxBytes) {
  std::error_code ec;
  const fs::path p = ExistingPath(path);
  if (!fs::is_regular_file(p, ec)) return std::nullopt;
  const auto size = fs::file_size(p, ec);
  if (ec || size > maxBytes) return std::nullopt;
  std::ifstream in(p, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (static_cast<std::size_t>(in.gcount()) != bytes.size()) return std::nullopt;
  return bytes;
}

bool WriteFileBytes(std::string_view path, std::string_view bytes) {
  std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

std::vector<TDirEntry> ListDirectory(std::string_view path) {
  std::vector<TDirEntry> entries;
  std::error_code ec;
  for (fs::directory_iterator it(PathFromUtf8(path), ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeEc;
    entries.push_back({PathToUtf8(it->path().filename()), it->is_directory(typeEc)});
  }
  return entries;
}
