#include <filesystem>
#include <fstream>
#include <iterator>

#include "Commands.h"
#include "core/TavorixError.h"

namespace tavorix::cli {

std::string OptionValue(const Args& args, std::size_t& i) {
  if (i + 1 >= args.size()) throw UsageError("option " + args[i] + " needs a value");
  return args[++i];
}

void RequireNoDirectory(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw TavorixError(FileOpenErrorText(path));
}

std::string ReadWholeFile(const std::string& path) {
  RequireNoDirectory(path);
  std::ifstream in(path, std::ios::binary);
  if (!in) throw TavorixError(FileOpenErrorText(path));
  return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tavorix::cli
