#pragma once
// File access by UTF-8 path. On Windows the path goes to the system as UTF-16, so folder names
// in any script work whatever the system's code page is. Paths use a backslash as the program writes
// them; the native build takes it for "/", and finds files and folders whatever the case of
// their names, as Windows does.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

bool FileExists(std::string_view path);       // an existing file (not a directory)
bool DirectoryExists(std::string_view path);
bool ForceDirectories(std::string_view path);
// The size of an existing file in bytes; none for a folder or what cannot be read.
std::optional<std::uintmax_t> FileSize(std::string_view path);
// The path the system reaches when it follows every link of `path` to its end, with "\" as the
// separator on Windows; empty when the path does not exist or cannot be followed.
std::string FinalPath(std::string_view path);
// True when `path`, with its links followed, lies outside `folder` (followed too); false also
// when either cannot be followed, since nothing is known then.
bool LeadsOutside(std::string_view path, std::string_view folder);  // creates missing folders; true when it exists after
// The whole file, or empty when it cannot be read or is larger than `maxBytes`.
std::optional<std::string> ReadFileBytes(std::string_view path, std::size_t maxBytes = 64u << 20);
bool WriteFileBytes(std::string_view path, std::string_view bytes);
// Names of the entries of a folder (files and folders), in the order the system gives them.
struct TDirEntry {
  std::string Name;
  bool IsDirectory = false;
};
std::vector<TDirEntry> ListDirectory(std::string_view path);
