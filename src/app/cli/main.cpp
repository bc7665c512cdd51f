// tavorix-cli: batch front end of Tavorix. Each command is one entry of the
// table below and one file of this folder.

#include <algorithm>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

#include "Commands.h"
#include "StopSignals.h"
#include "core/RunCancel.h"
#include "core/TavorixError.h"
#include "core/TextEscape.h"

namespace {

using namespace tavorix::cli;

struct Command {
  const char* Name;
  int (*Run)(const Args&);
  const char* Usage;
};

constexpr Command kCommands[] = {
    {"import", RunImport, kImportUsage},
    {"prepare", RunPrepare, kPrepareUsage},
    {"run", RunRun, kRunUsage},
    {"calc", RunCalc, kCalcUsage},
    {"graph", RunGraph, kGraphUsage},
    {"batch", RunBatch, kBatchUsage},
    {"export", RunExport, kExportUsage},
    {"bootstrap", RunBootstrapCommand, kBootstrapUsage},
};

// "--" ends the options: what follows is a file name even where it begins
// with "-" (every other argument of a command is a file), so it is given to
// the command as "./-name", the same file under a name no option has.
Args FilesAfterDoubleDash(Args args) {
  const auto end = std::find(args.begin(), args.end(), "--");
  if (end == args.end()) return args;
  for (auto it = end + 1; it != args.end(); ++it)
    if (!it->empty() && (*it)[0] == '-') *it = "./" + *it;
  args.erase(end);
  return args;
}

void PrintUsage(std::ostream& out) {
  out << "usage:\n";
  for (const auto& c : kCommands) out << "  " << c.Usage << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintUsage(argc < 2 ? std::cerr : std::cout);
    return argc < 2 ? kExitUsage : kExitOk;
  }
  const std::string name = argv[1];
  for (const auto& c : kCommands) {
    if (name != c.Name) continue;
    try {
      return c.Run(FilesAfterDoubleDash(Args(argv + 2, argv + argc)));
    } catch (const tavorix::RunCancelled&) {
      // A signal stopped the command before it wrote anything.
      return StoppedExitStatus();
    } catch (const UsageError& e) {
      std::cerr << "tavorix-cli " << name << ": " << tavorix::TerminalText(e.what()) << "\nusage: " << c.Usage << "\n";
      return kExitUsage;
    } catch (const tavorix::TavorixError& e) {
      std::cerr << tavorix::TerminalText(e.what()) << "\n";
      return kExitRefused;
    } catch (const std::exception& e) {
      std::cerr << "tavorix-cli " << name << ": " << tavorix::TerminalText(e.what()) << "\n";
      return kExitRefused;
    }
  }
  std::cerr << "tavorix-cli: unknown command '" << tavorix::TerminalText(name) << "'\n";
  PrintUsage(std::cerr);
  return kExitUsage;
}
