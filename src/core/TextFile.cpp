#include "core/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/TavorixError.h"

namespace tavorix {
namespace {

// Closes the descriptor whatever way the reading ends.
struct Descriptor {
  int Fd;
  ~Descriptor() {
    if (Fd >= 0) ::close(Fd);
  }
};

std::string RefusalText(const std::string& path, std::string_view reason) {
  return FileOpenErrorText(path) + "\n" + std::string(reason);
}

}  // namespace

bool LooksLikeUtf16(std::string_view text) {
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) return true;
  // ASCII text in UTF-16 has a zero byte beside every character.
  if (text.size() < 4) return false;
  return (text[0] == '\0' && text[2] == '\0') || (text[1] == '\0' && text[3] == '\0');
}

std::string ReadTextFile(const std::string& path) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer before it is refused.
  const Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (file.Fd < 0) throw TavorixError(FileOpenErrorText(path, errno));
  struct stat st {};
  if (::fstat(file.Fd, &st) != 0) throw TavorixError(FileOpenErrorText(path, errno));
  if (S_ISDIR(st.st_mode)) throw TavorixError(FileOpenErrorText(path, EISDIR));
  if (!S_ISREG(st.st_mode)) throw TavorixError(RefusalText(path, "It is not a regular file (a pipe or a device)"));
  if (static_cast<std::uintmax_t>(st.st_size) > kLargestInputFile)
    throw TavorixError(RefusalText(path, "It is larger than 64 MB, more than this program reads"));
  std::string text(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::read(file.Fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw TavorixError(FileOpenErrorText(path, errno));
    if (n == 0) break;  // the file became shorter while it was read
    done += static_cast<std::size_t>(n);
  }
  text.resize(done);
  if (LooksLikeUtf16(text)) throw TavorixError(RefusalText(path, "It is UTF-16 text; save it as UTF-8"));
  return text;
}

std::optional<std::string> TryReadTextFile(const std::string& path) {
  try {
    return ReadTextFile(path);
  } catch (const TavorixError&) {
    return std::nullopt;
  }
}

}  // namespace tavorix
