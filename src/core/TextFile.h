#pragma once
// Reading a text file that the user names as input (a data column, an input
// file, a results file): only a regular file is read, a FIFO, device or
// folder is refused before anything is read from it (a FIFO would block, a
// device such as /dev/zero would never end), and so is a file larger than
// the program reads. UTF-16 text is named as such instead of being read as
// bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavorix {

// Largest input the program reads: 64 MB, some 10 million values, which
// take hours to analyse and about 1.3 GB to read; a larger file is no
// series but a mistake (a device, a whole database).
inline constexpr std::uintmax_t kLargestInputFile = 64ULL << 20;

// The whole file. Throws TavorixError with the program's open message and
// the reason on a second line when the file cannot be opened, is not a
// regular file, is larger than kLargestInputFile or holds UTF-16 text.
std::string ReadTextFile(const std::string& path);

// The whole file, or nothing when ReadTextFile would refuse it (missing,
// unreadable, not a regular file, too large, UTF-16): for readers of the
// program's own files, which give their own message for a file they cannot use.
std::optional<std::string> TryReadTextFile(const std::string& path);

// Whether a text starts as UTF-16 does (a byte order mark FF FE or FE FF,
// or a zero byte beside each of its first characters).
bool LooksLikeUtf16(std::string_view text);

}  // namespace tavorix
