#include "core/SeriesLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "core/AtomicFile.h"
#include "core/TavorixError.h"

namespace tavorix {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kLongestName = 255;

std::string SeriesBase(const std::string& path) {
  fs::path p = fs::absolute(path).lexically_normal();
  p.replace_extension();
  return p.string();
}

// FNV-1a of a name, for lock files of names too long to lengthen.
std::string NameHash(const std::string& name) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (const char c : name) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3ULL;
  }
  char buf[20];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
  return buf;
}

}  // namespace

std::string SeriesLock::LockFileName(const std::string& path) {
  const fs::path base = SeriesBase(path);
  std::string name = "." + base.filename().string() + ".tavorix-lock";
  if (name.size() > kLongestName) name = ".tavorix-" + NameHash(base.filename().string()) + ".lock";
  return (base.parent_path() / name).string();
}

std::optional<SeriesLock> SeriesLock::Acquire(const std::string& path, bool wait,
                                              const std::function<void()>& onWait, CancelFlag cancel) {
  const std::string file = LockFileName(path);
  bool told = false;
  for (;;) {
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) throw TavorixError(WriteFailureText(SeriesBase(path) + ".out", errno, true));
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      // The lock file may have been removed by the run that held it between
      // our open and our lock: then the lock is on a file no one else sees.
      struct stat held {}, now {};
      if (::fstat(fd, &held) == 0 && ::stat(file.c_str(), &now) == 0 && held.st_dev == now.st_dev &&
          held.st_ino == now.st_ino)
        return SeriesLock(fd, file);
      ::close(fd);
      continue;
    }
    const int err = errno;
    ::close(fd);
    if (err != EWOULDBLOCK && err != EINTR) throw TavorixError(WriteFailureText(SeriesBase(path) + ".out", err, true));
    if (!wait) return std::nullopt;
    if (!told && onWait) onWait();
    told = true;
    ThrowIfCancelled(cancel);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ThrowIfCancelled(cancel);
  }
}

SeriesLock::SeriesLock(SeriesLock&& other) noexcept : fd_(other.fd_), file_(std::move(other.file_)) {
  other.fd_ = -1;
}

SeriesLock& SeriesLock::operator=(SeriesLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = other.fd_;
    file_ = std::move(other.file_);
    other.fd_ = -1;
  }
  return *this;
}

SeriesLock::~SeriesLock() { Release(); }

void SeriesLock::Release() {
  if (fd_ < 0) return;
  // Removed while still locked: a run waiting on this file sees that it is
  // gone and opens a new one.
  ::unlink(file_.c_str());
  ::close(fd_);
  fd_ = -1;
}

std::string SeriesBusyText(const std::string& path) {
  return "Another run of " + VisibleText(SeriesBase(path)) + " is in progress";
}

}  // namespace tavorix
