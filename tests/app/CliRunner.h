#pragma once
// Runs tavorix-cli with arguments and collects its exit status and output.

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/TestUtil.h"

namespace tavorix::test {

struct CliResult {
  int Status = -1;
  std::string Out, Err;
};

inline std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs the program in a shell with stdout and stderr captured in files of dir.
inline CliResult RunCli(const TempDir& dir, const std::vector<std::string>& args) {
  std::string cmd = ShellQuote(TAVORIX_CLI_PATH);
  for (const auto& a : args) cmd += " " + ShellQuote(a);
  const std::string out = dir.File("stdout.txt"), err = dir.File("stderr.txt");
  cmd += " >" + ShellQuote(out) + " 2>" + ShellQuote(err) + " </dev/null";
  const int raw = std::system(cmd.c_str());
  CliResult r;
  r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.Out = ReadFile(out);
  r.Err = ReadFile(err);
  return r;
}

}  // namespace tavorix::test
