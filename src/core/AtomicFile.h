#pragma once
// Writes user files so that a failure never leaves a half-written file and
// never destroys the previous one: the content goes to a temporary file in
// the target's folder, which is then renamed over the target. A file that
// is rewritten keeps its permissions, and a symbolic link stays a link: the
// file it points to is the one rewritten.

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "core/RunCancel.h"

namespace tavorix {

// Calls write with a stream, then puts what was written at path atomically.
// When write throws, nothing on disk changes and the exception passes on.
// When the file cannot be created or written, a TavorixError with the
// program's "could not be opened" text and the system's reason on a second
// line is thrown and nothing on disk changes. A cancel flag set before the
// rename leaves nothing behind and throws RunCancelled.
void WriteFileAtomically(const std::string& path, const std::function<void(std::ostream&)>& write,
                         CancelFlag cancel = nullptr);

// Several files replaced as one: every file is first written in full to a
// temporary file beside its target; only when all of them are on disk are
// they renamed over their targets, one right after the other, and the files
// to remove removed. A failure on the way (a full disk, a folder that cannot
// be written) leaves every target exactly as it was.
class FileSet {
 public:
  void Write(const std::string& path, std::string content);
  void Remove(const std::string& path);
  // Renames in the order the files were added; removals come first.
  void Commit(CancelFlag cancel = nullptr);

 private:
  struct Entry {
    std::string Path;
    std::string Content;
  };
  std::vector<Entry> writes_;
  std::vector<std::string> removals_;
};

// Writes the named files (name, content) into folder as one: a new folder is
// written in full beside it and then put in its place, so that the folder
// holds either the old files or the new ones. A folder that holds other files
// as well keeps them: there the files are replaced as one FileSet.
void WriteFolderAtomically(const std::string& folder, const std::vector<std::pair<std::string, std::string>>& files);

// The message of a failed write of path with error number err: the
// program's open message and the system's reason; when creatingInFolder and
// the folder refuses new files, the folder is named as the cause.
std::string WriteFailureText(const std::string& path, int err, bool creatingInFolder);

// Where a write of path really goes: the file a symbolic link points to
// (followed to its end), otherwise path itself.
std::string WriteTarget(const std::string& path);

}  // namespace tavorix
