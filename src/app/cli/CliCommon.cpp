#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "Commands.h"
#include "core/TavorixError.h"
#include "core/TextFile.h"

namespace tavorix::cli {

std::string OptionValue(const Args& args, std::size_t& i) {
  if (i + 1 >= args.size()) throw UsageError("option " + args[i] + " needs a value");
  return args[++i];
}

void RequireNoDirectory(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw TavorixError(FileOpenErrorText(path, EISDIR));
}

std::string ReadWholeFile(const std::string& path) { return ReadTextFile(path); }

}  // namespace tavorix::cli
