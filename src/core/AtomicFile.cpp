#include "core/AtomicFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <locale>
#include <random>
#include <sstream>

#include "core/TavorixError.h"

namespace tavorix {
namespace {

namespace fs = std::filesystem;

std::string FolderOf(const std::string& path) {
  const std::string folder = fs::path(path).parent_path().string();
  return folder.empty() ? "." : folder;
}

// A temporary file, written in full, waiting to be renamed over its target.
class PendingFile {
 public:
  // shown names the file in messages (the file the user knows).
  PendingFile(const std::string& path, const std::string& data, const std::string& shown)
      : target_(WriteTarget(path)) {
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
      throw TavorixError(FileOpenErrorText(shown, S_ISDIR(existing.st_mode) ? EISDIR : EINVAL));
    const int fd = Create(FolderOf(target_));
    if (fd < 0) throw TavorixError(WriteFailureText(shown, errno, true));
    int err = 0;
    // A rewritten file keeps its permissions (the umask applies to new ones).
    if (exists && ::fchmod(fd, existing.st_mode & 07777) != 0) err = errno;
    if (err == 0) err = WriteAll(fd, data);
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err != 0) {
      Discard();
      throw TavorixError(WriteFailureText(shown, err, false));
    }
  }
  PendingFile(PendingFile&& other) noexcept : target_(std::move(other.target_)), temp_(std::move(other.temp_)) {
    other.temp_.clear();
  }
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  ~PendingFile() { Discard(); }

  // Puts the file in place; throws with the reason when the rename fails.
  void Commit(const std::string& path) {
    if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
      const int err = errno;
      Discard();
      throw TavorixError(WriteFailureText(path, err, false));
    }
    temp_.clear();
  }

  void Discard() {
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
  }

 private:
  // A new file with a short random name of its own in the folder, so that
  // the target's name may be as long as the system allows. O_EXCL makes sure
  // that no existing file is reused.
  int Create(const std::string& folder) {
    std::random_device rd;
    for (int attempt = 0; attempt < 20; ++attempt) {
      char name[32];
      std::snprintf(name, sizeof name, "/.tvx%08x.tmp", static_cast<unsigned>(rd()));
      temp_ = folder + name;
      const int fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
      if (fd >= 0) return fd;
      if (errno != EEXIST) break;
    }
    temp_.clear();
    return -1;
  }

  static int WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
      const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      done += static_cast<std::size_t>(n);
    }
    return 0;
  }

  std::string target_;
  std::string temp_;
};

std::string Render(const std::string& path, const std::function<void(std::ostream&)>& write) {
  std::ostringstream content;
  content.imbue(std::locale::classic());
  write(content);
  if (!content) throw TavorixError(FileOpenErrorText(path));
  return std::move(content).str();
}

// A new folder with a short random name beside target; empty when none can be made.
std::string CreateFolderBeside(const std::string& target, int& err) {
  std::random_device rd;
  const std::string parent = FolderOf(target);
  for (int attempt = 0; attempt < 20; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "/.tvx%08x.tmpdir", static_cast<unsigned>(rd()));
    const std::string path = parent + name;
    if (::mkdir(path.c_str(), 0777) == 0) return path;
    err = errno;
    if (err != EEXIST) break;
  }
  return {};
}

// Whether every entry of the folder is one of the names.
bool HoldsOnly(const std::string& folder, const std::vector<std::pair<std::string, std::string>>& files) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    bool known = false;
    for (const auto& f : files) known = known || entry.path().filename() == f.first;
    if (!known) return false;
  }
  return !ec;
}

}  // namespace

// The reason of a failed write; a folder that cannot be written to is named
// as the folder, since the file itself is not at fault.
std::string WriteFailureText(const std::string& path, int err, bool creatingInFolder) {
  if (creatingInFolder && (err == EACCES || err == EROFS || err == EPERM))
    return FileOpenErrorText(path) + "\n" + SystemReason(err) + ": the folder \"" + VisibleText(FolderOf(path)) +
           "\" cannot be written to";
  return FileOpenErrorText(path, err);
}

void WriteFolderAtomically(const std::string& shown, const std::vector<std::pair<std::string, std::string>>& files) {
  // A link to a folder stays a link: the folder it points to is replaced.
  const std::string folder = WriteTarget(shown);
  std::error_code ec;
  const bool exists = fs::exists(folder, ec);
  if (exists && !fs::is_directory(folder, ec)) throw TavorixError(FileOpenErrorText(shown, ENOTDIR));
  if (exists && !HoldsOnly(folder, files)) {
    FileSet set;
    for (const auto& [name, content] : files) set.Write((fs::path(shown) / name).string(), content);
    set.Commit();
    return;
  }
  int err = 0;
  const std::string fresh = CreateFolderBeside(folder, err);
  if (fresh.empty()) throw TavorixError(WriteFailureText(shown, err, true));
  struct stat old {};
  if (exists && ::stat(folder.c_str(), &old) == 0) ::chmod(fresh.c_str(), old.st_mode & 07777);
  try {
    for (const auto& [name, content] : files) {
      const std::string path = (fs::path(shown) / name).string();
      PendingFile((fs::path(fresh) / name).string(), content, path).Commit(path);
    }
  } catch (...) {
    fs::remove_all(fresh, ec);
    throw;
  }
  // The new folder takes the old one's place in one step; the old one,
  // now under the temporary name, goes.
  const int moved = exists ? ::renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, folder.c_str(), RENAME_EXCHANGE)
                           : ::rename(fresh.c_str(), folder.c_str());
  if (moved != 0) {
    err = errno;
    fs::remove_all(fresh, ec);
    throw TavorixError(FileOpenErrorText(shown, err));
  }
  fs::remove_all(fresh, ec);
}

std::string WriteTarget(const std::string& path) {
  std::error_code ec;
  if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
  // Follow the chain of links to the file at its end (which need not exist yet).
  const fs::path resolved = fs::weakly_canonical(fs::absolute(path, ec), ec);
  return ec ? path : resolved.string();
}

void WriteFileAtomically(const std::string& path, const std::function<void(std::ostream&)>& write,
                         CancelFlag cancel) {
  PendingFile file(path, Render(path, write), path);
  ThrowIfCancelled(cancel);
  file.Commit(path);
}

void FileSet::Write(const std::string& path, std::string content) {
  writes_.push_back({path, std::move(content)});
}

void FileSet::Remove(const std::string& path) { removals_.push_back(path); }

void FileSet::Commit(CancelFlag cancel) {
  std::vector<PendingFile> pending;
  pending.reserve(writes_.size());
  for (const Entry& e : writes_) pending.emplace_back(e.Path, e.Content, e.Path);
  ThrowIfCancelled(cancel);
  for (const std::string& path : removals_) ::unlink(path.c_str());
  for (std::size_t i = 0; i < pending.size(); ++i) pending[i].Commit(writes_[i].Path);
}

}  // namespace tavorix
