#pragma once
// Commands of tavorix-cli. Each command lives in its own file and is listed
// in the command table of main.cpp: its Define function adds its options and
// files to the command's CLI11 app and gives back what runs the command once
// the command line is parsed.

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "core/StringToFloat.h"

namespace tavorix::cli {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;  // bad input: the program's message on stderr
inline constexpr int kExitUsage = 2;

// A wrong command line found once it is parsed (options that do not go
// together, an output that would replace an input); main prints the text and
// the command's usage.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Runs a command whose command line is parsed; returns the exit status.
using CommandRun = std::function<int()>;

CommandRun DefineImport(CLI::App& app);
CommandRun DefinePrepare(CLI::App& app);
CommandRun DefineRun(CLI::App& app);
CommandRun DefineCalc(CLI::App& app);
CommandRun DefineGraph(CLI::App& app);
CommandRun DefineBatch(CLI::App& app);
CommandRun DefineExport(CLI::App& app);
CommandRun DefineBootstrap(CLI::App& app);

// ---------------------------------------------------------------------------
// Options shared by several commands. Numbers are read as the program reads
// those of its own files (decimal, with a point); a value that is refused
// makes a wrong command line naming the option and what it needs.

// An option whose value `read` turns into target; read throws
// CLI::ValidationError saying what the option needs.
template <class T, class Read>
CLI::Option* AddReadOption(CLI::App& app, const std::string& name, T& target, Read read, const std::string& help) {
  return app.add_option(name, CLI::callback_t{}, help)->each([&target, read](const std::string& text) {
    target = read(text);
  });
}

// A whole number of at least 1 (--jobs, --replicas, --bootstrap).
CLI::Option* AddCountOption(CLI::App& app, const std::string& name, int& target, const std::string& help);

// --classes K, kept as typed (empty when not given).
CLI::Option* AddClassesOption(CLI::App& app, std::string& classes);

// --prefer CODE: a code of the selection window, "39" or "90".
CLI::Option* AddPreferOption(CLI::App& app, std::string& prefer);

// --decimal-comma and --thousands-comma: how the commas of a data column are
// read; the two exclude each other.
inline constexpr const char* kCommaAdvice = "Give --decimal-comma or --thousands-comma to say which.";
void AddCommaOptions(CLI::App& app, TCommaReading& commas);

// --json and --csv, which exclude each other; returns --csv.
struct OutputFormat {
  bool Json = false, Csv = false;
};
CLI::Option* AddFormatOptions(CLI::App& app, OutputFormat& format, const std::string& jsonHelp,
                              const std::string& csvHelp);

// ---------------------------------------------------------------------------
// Files

// A folder opens like a file but reads as nothing: a folder given where a
// file is expected gets the program's open message (TavorixError).
void RequireNoDirectory(const std::string& path);

// The files of the series of path: path itself and the input, results,
// parameter and ranked-list files of the same base name.
std::vector<std::string> SeriesFiles(const std::string& path);

// Refuses (UsageError) an output that is one of the given files (the same
// file, also through another name or a link), or whose extension (lower
// case, with its dot) is none of the extensions listed; `what` names the
// option in the message.
void CheckOutputPath(const std::string& output, const std::vector<std::string>& inputs,
                     const std::vector<std::string>& extensions, const std::string& what);

// Reads a whole file: a regular file of at most 64 MB, not UTF-16; throws
// TavorixError with the program's open message and the reason.
std::string ReadWholeFile(const std::string& path);

}  // namespace tavorix::cli
