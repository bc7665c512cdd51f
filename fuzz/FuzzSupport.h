#pragma once
// Shared by the fuzz targets: a private scratch folder per process (removed
// at exit) and the fuzzer's bytes as text or as files in it.

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace tavorix::fuzz {

inline const std::filesystem::path& ScratchFolder() {
  static const std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavorix-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      std::perror("mkdtemp");
      std::abort();
    }
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(ScratchFolder(), ec);
    });
    return std::filesystem::path(pattern);
  }();
  return folder;
}

inline std::string ScratchPath(std::string_view name) { return (ScratchFolder() / name).string(); }

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

inline void WriteScratchFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void RemoveScratchFile(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

// Splits the input at the first occurrence of `separator`; without one the
// second part is empty.
inline std::pair<std::string_view, std::string_view> SplitAt(std::string_view text, std::string_view separator) {
  const auto at = text.find(separator);
  if (at == std::string_view::npos) return {text, {}};
  return {text.substr(0, at), text.substr(at + separator.size())};
}

// A broken promise of the code under test: stops the fuzzer with a message.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

}  // namespace tavorix::fuzz
