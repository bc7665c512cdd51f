#include <cctype>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "Commands.h"
#include "core/TavorixError.h"
#include "core/TextFile.h"
#include "report/ParameterFile.h"

namespace tavorix::cli {

std::string OptionValue(const Args& args, std::size_t& i) {
  if (i + 1 >= args.size()) throw UsageError("option " + args[i] + " needs a value");
  return args[++i];
}

TCommaReading CommaReadingOption(const std::string& option, TCommaReading before) {
  const TCommaReading reading = option == "--thousands-comma" ? TCommaReading::Thousands : TCommaReading::Decimal;
  if (before != TCommaReading::Detect && before != reading)
    throw UsageError("--decimal-comma and --thousands-comma exclude each other");
  return reading;
}

void RequireNoDirectory(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw TavorixError(FileOpenErrorText(path, EISDIR));
}

std::vector<std::string> SeriesFiles(const std::string& path) {
  std::vector<std::string> files = {path};
  for (const char* ext : {".inp", ".out", ".aux", ".Lst"}) files.push_back(WithExtension(path, ext));
  return files;
}

namespace {

// The same file: one inode, or (for files not there yet) one absolute path
// once links of the folders are resolved.
bool SameFile(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(a, ec) && fs::exists(b, ec)) return fs::equivalent(a, b, ec);
  const fs::path ca = fs::weakly_canonical(fs::absolute(a), ec);
  const fs::path cb = fs::weakly_canonical(fs::absolute(b), ec);
  return ca == cb;
}

std::string LowerExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

}  // namespace

void CheckOutputPath(const std::string& output, const std::vector<std::string>& inputs,
                     const std::vector<std::string>& extensions, const std::string& what) {
  if (!extensions.empty()) {
    const std::string ext = LowerExtension(output);
    bool known = false;
    std::string list;
    for (const auto& e : extensions) {
      known = known || e == ext;
      list += (list.empty() ? "" : ", ") + e;
    }
    if (!known) throw UsageError(what + " must be a " + list + " file: " + VisibleText(output));
  }
  for (const auto& input : inputs)
    if (SameFile(output, input))
      throw UsageError(what + " " + VisibleText(output) + " would replace " + VisibleText(input) +
                       ", a file this command reads or writes; name another");
}

std::string ReadWholeFile(const std::string& path) { return ReadTextFile(path); }

}  // namespace tavorix::cli
