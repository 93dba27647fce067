#include "framework/core/FileSystem.h"

#include <fstream>
#include <system_error>

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

bool FileExists(std::string_view path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(PathFromUtf8(path), ec);
}

bool DirectoryExists(std::string_view path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(PathFromUtf8(path), ec);
}

bool ForceDirectories(std::string_view path) {
  std::error_code ec;
  fs::create_directories(PathFromUtf8(path), ec);
  return DirectoryExists(path);
}

std::optional<std::string> ReadFileBytes(std::string_view path, std::size_t maxBytes) {
  std::error_code ec;
  const fs::path p = PathFromUtf8(path);
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
