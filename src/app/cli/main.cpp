// tavorix-cli: batch front end of Tavorix. Each command is one entry of the
// table below and one file of this folder; CLI11 parses its command line.

#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

#include "Commands.h"
#include "StopSignals.h"
#include "core/RunCancel.h"
#include "core/TavorixError.h"
#include "core/TextEscape.h"

namespace {

using namespace tavorix::cli;

struct Command {
  const char* Name;
  const char* Summary;  // the first line of the command's help, and its line in the list of commands
  CommandRun (*Define)(CLI::App&);
};

constexpr Command kCommands[] = {
    {"import", "A column of numbers becomes an input file (.inp), checked as Save-Run checks the grid.",
     DefineImport},
    {"prepare", "The prepared data of an input file: ranks, plotting positions and the moved values.", DefinePrepare},
    {"run", "The whole analysis of a series as Save-Run does it: every fit ranked, the results files written.",
     DefineRun},
    {"calc", "The calculator on the files of a run, or a table of design values.", DefineCalc},
    {"graph", "One of the eight graphs of a results report, saved as BMP, PNG, SVG or PDF.", DefineGraph},
    {"batch", "Many series in one call, several side by side, with a summary; goes on where it stopped.",
     DefineBatch},
    {"export", "The results of a run as CSV tables and as one HTML page.", DefineExport},
    {"bootstrap", "A parametric bootstrap of the fitted distribution: intervals of X and p-values of the fit.",
     DefineBootstrap},
};

// The list of the commands (tavorix-cli --help).
std::string CommandList() {
  CLI::App app("Cumulative frequency analysis on the files of the desktop program, for many series.", "tavorix-cli");
  app.require_subcommand(1);
  app.get_formatter()->label("SUBCOMMAND", "COMMAND");
  for (const auto& c : kCommands) app.add_subcommand(c.Name, c.Summary)->group("Commands");
  app.footer("Each command has its own --help: tavorix-cli COMMAND --help");
  return app.help();
}

// A wrong command line: the message, the command's usage and where its help is (exit 2).
int CommandLineError(const CLI::App& app, std::string_view message) {
  std::cerr << app.get_name() << ": " << tavorix::TerminalText(message) << "\n"
            << CLI::Formatter().make_usage(&app, app.get_name()) << "Run '" << app.get_name()
            << " --help' for more information.\n";
  return kExitUsage;
}

// argv[0] is the command's name.
int RunCommand(const Command& command, int argc, char** argv) {
  CLI::App app(command.Summary, std::string("tavorix-cli ") + command.Name);
  // An option given twice takes the value given last.
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  const CommandRun run = command.Define(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    return kExitOk;
  } catch (const CLI::ParseError& e) {
    return CommandLineError(app, e.what());
  }
  try {
    return run();
  } catch (const tavorix::RunCancelled&) {
    // A signal stopped the command before it wrote anything.
    return StoppedExitStatus();
  } catch (const UsageError& e) {
    return CommandLineError(app, e.what());
  } catch (const tavorix::TavorixError& e) {
    std::cerr << tavorix::TerminalText(e.what()) << "\n";
    return kExitRefused;
  } catch (const std::exception& e) {
    std::cerr << app.get_name() << ": " << tavorix::TerminalText(e.what()) << "\n";
    return kExitRefused;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    (argc < 2 ? std::cerr : std::cout) << CommandList();
    return argc < 2 ? kExitUsage : kExitOk;
  }
  const std::string name = argv[1];
  for (const auto& c : kCommands)
    if (name == c.Name) return RunCommand(c, argc - 1, argv + 1);
  std::cerr << "tavorix-cli: unknown command '" << tavorix::TerminalText(name) << "'\n" << CommandList();
  return kExitUsage;
}
