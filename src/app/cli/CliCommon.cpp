#include <cctype>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "Commands.h"
#include "core/TavorixError.h"
#include "core/TextFile.h"
#include "core/TextLines.h"
#include "fitting/Registry.h"
#include "report/ParameterFile.h"

namespace tavorix::cli {

CLI::Option* AddCountOption(CLI::App& app, const std::string& name, int& target, const std::string& help) {
  return AddReadOption(app, name, target,
                       [](const std::string& text) {
                         const auto v = ParseFileInteger(TrimBlanks(text));
                         if (!v || *v < 1) throw CLI::ValidationError("needs a whole number of at least 1, not " + text);
                         return *v;
                       },
                       help)
      ->type_name("N");
}

CLI::Option* AddClassesOption(CLI::App& app, std::string& classes) {
  return AddReadOption(app, "--classes", classes,
                       [](const std::string& text) {
                         if (!ParseFileInteger(TrimBlanks(text)))
                           throw CLI::ValidationError("The number of classes is not a valid integer");
                         return text;
                       },
                       "number of classes of the histogram (at most 50)")
      ->type_name("K");
}

CLI::Option* AddPreferOption(CLI::App& app, std::string& prefer) {
  return AddReadOption(app, "--prefer", prefer,
                       [](const std::string& text) {
                         if (text.empty() || text.size() > 4 || (text != "1" && !FindByPreference(text)))
                           throw CLI::ValidationError("unknown preference " + text +
                                                      " (use a code of the selection window, 39 or 90)");
                         return text;
                       },
                       "fit only this distribution: a code of the selection window, 39 or 90")
      ->type_name("CODE");
}

void AddCommaOptions(CLI::App& app, TCommaReading& commas) {
  auto* decimal = app.add_flag_callback(
      "--decimal-comma", [&commas] { commas = TCommaReading::Decimal; },
      "a comma in the data column is the decimal separator");
  auto* thousands = app.add_flag_callback(
      "--thousands-comma", [&commas] { commas = TCommaReading::Thousands; },
      "a comma in the data column separates thousands");
  decimal->excludes(thousands);
}

CLI::Option* AddFormatOptions(CLI::App& app, OutputFormat& format, const std::string& jsonHelp,
                              const std::string& csvHelp) {
  CLI::Option* json = app.add_flag("--json", format.Json, jsonHelp);
  CLI::Option* csv = app.add_flag("--csv", format.Csv, csvHelp);
  json->excludes(csv);
  return csv;
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
