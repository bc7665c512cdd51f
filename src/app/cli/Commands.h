#pragma once
// Commands of tavorix-cli. Each command lives in its own file and is listed
// in the command table of main.cpp.

#include <stdexcept>
#include <string>
#include <vector>

#include "core/StringToFloat.h"

namespace tavorix::cli {

using Args = std::vector<std::string>;

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;  // bad input: the program's message on stderr
inline constexpr int kExitUsage = 2;

// A wrong command line; main prints the text and the command's usage.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Takes the value of an option such as "-o FILE" at args[i]; advances i.
std::string OptionValue(const Args& args, std::size_t& i);

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

// Reads a whole file: a regular file of at most 256 MB, not UTF-16; throws
// TavorixError with the program's open message and the reason.
std::string ReadWholeFile(const std::string& path);

// --decimal-comma and --thousands-comma: how the commas of a data column are
// read; the two together are a wrong command line.
inline constexpr const char* kCommaAdvice = "Give --decimal-comma or --thousands-comma to say which.";
TCommaReading CommaReadingOption(const std::string& option, TCommaReading before);

int RunImport(const Args& args);
int RunPrepare(const Args& args);
int RunRun(const Args& args);
int RunCalc(const Args& args);
int RunGraph(const Args& args);
int RunBatch(const Args& args);
int RunExport(const Args& args);
int RunBootstrapCommand(const Args& args);

inline constexpr const char* kImportUsage =
    "tavorix-cli import DATA.txt [-o FILE.inp] [--title1 T] [--title2 T] [--classes K] [--composite] "
    "[--decimal-comma | --thousands-comma]";
inline constexpr const char* kPrepareUsage = "tavorix-cli prepare FILE.inp [--json]";
inline constexpr const char* kRunUsage =
    "tavorix-cli run FILE.inp|DATA.txt [--prefer CODE] [--composite] [--classes K] [--json] [--fits-csv FILE] "
    "[--decimal-comma | --thousands-comma]";
inline constexpr const char* kCalcUsage =
    "tavorix-cli calc FILE.out|FILE.inp (--x V | --freq F | --period T) [--json]\n"
    "  tavorix-cli calc FILE.out|FILE.inp --table [--periods T1,T2,...] [--bootstrap B] [--json | --csv]";
inline constexpr const char* kGraphUsage =
    "tavorix-cli graph FILE.out --type 1..8 [--bw] [--no-belt] [--log-periods] [--size WxH] [--bootstrap B] "
    "-o FILE.bmp|FILE.png|FILE.svg|FILE.pdf";
inline constexpr const char* kExportUsage =
    "tavorix-cli export FILE.out [--csv DIR] [--html FILE.html] [--bootstrap B]";
inline constexpr const char* kBatchUsage =
    "tavorix-cli batch PATH... [--jobs N] [--composite] [--prefer CODE] [--classes K] "
    "[--summary FILE.csv|FILE.json] [--force] [--recursive] [--bootstrap B]";
inline constexpr const char* kBootstrapUsage =
    "tavorix-cli bootstrap FILE.out [--replicas B] [--periods T1,T2,...] [--level 0.90] [--seed S] [--jobs N] "
    "[--reselect] [--json | --csv]";

}  // namespace tavorix::cli
