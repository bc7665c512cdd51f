#include "core/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <locale>
#include <random>
#include <sstream>

#include "core/TavorixError.h"

namespace tavorix {
namespace {

// Creates a new file beside path with a random name; returns its descriptor
// (or -1) and its name. O_EXCL guarantees that no existing file is reused.
int CreateTemporaryBeside(const std::string& path, std::string& tempName) {
  std::random_device rd;
  for (int attempt = 0; attempt < 20; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(rd()));
    tempName = path + suffix;
    int fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool WriteAll(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

void WriteFileAtomically(const std::string& path, const std::function<void(std::ostream&)>& write) {
  std::ostringstream content;
  content.imbue(std::locale::classic());
  write(content);
  if (!content) throw TavorixError(FileOpenErrorText(path));
  const std::string data = std::move(content).str();

  std::string tempName;
  const int fd = CreateTemporaryBeside(path, tempName);
  if (fd < 0) throw TavorixError(FileOpenErrorText(path));
  bool ok = WriteAll(fd, data) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok || std::rename(tempName.c_str(), path.c_str()) != 0) {
    ::unlink(tempName.c_str());
    throw TavorixError(FileOpenErrorText(path));
  }
}

}  // namespace tavorix
