// tavorix-cli run stopped by a signal while it computes: nothing is left in
// the temporary folder, the results files of the run before stay as they
// were, and the exit status tells which signal stopped it.

#include <gtest/gtest.h>
#include <signal.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <thread>

#include "core/TestUtil.h"

extern char** environ;

namespace tavorix {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;


class StopRun : public ::testing::TestWithParam<int> {};

TEST_P(StopRun, SignalLeavesNoTemporaryFilesAndKeepsTheResults) {
  const int signal = GetParam();
  TempDir dir;
  fs::create_directories(dir.File("tmp"));
  // 2000 values with composites: a run of several seconds.
  std::ostringstream column;
  for (int i = 0; i < 2000; ++i) column << 50.0 - 10.0 * std::log(-std::log((i + 0.5) / 2000.0)) << "\n";
  test::WriteFile(dir.File("long.txt"), column.str());
  for (const char* ext : {".out", ".aux", ".Lst"}) test::WriteFile(dir.File(std::string("long") + ext), "earlier");

  const std::string tmpdir = "TMPDIR=" + dir.File("tmp");
  std::vector<char*> env{const_cast<char*>(tmpdir.c_str())};
  for (char** e = environ; *e; ++e)
    if (std::string_view(*e).rfind("TMPDIR=", 0) != 0) env.push_back(*e);
  env.push_back(nullptr);
  const std::string input = dir.File("long.txt");
  char* argv[] = {const_cast<char*>(TAVORIX_CLI_PATH), const_cast<char*>("run"), const_cast<char*>(input.c_str()),
                  const_cast<char*>("--composite"), nullptr};
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  // The progress lines go to stderr.
  const std::string progress = dir.File("progress.txt");
  posix_spawn_file_actions_addopen(&quiet, 2, progress.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, TAVORIX_CLI_PATH, &quiet, nullptr, argv, env.data()), 0);
  posix_spawn_file_actions_destroy(&quiet);

  // The computation starts with the line " Calculating .....".
  auto computing = [&] { return ReadFile(progress).find(" Calculating") != std::string::npos; };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!computing() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(computing());
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_EQ(kill(pid, signal), 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);

  ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself";
  EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
  EXPECT_TRUE(fs::is_empty(dir.File("tmp")));
  for (const char* ext : {".out", ".aux", ".Lst"})
    EXPECT_EQ(ReadFile(dir.File(std::string("long") + ext)), "earlier") << ext;
  // The column's input file is written with the results, so a stopped run has none.
  EXPECT_FALSE(fs::exists(dir.File("long.inp")));
}

INSTANTIATE_TEST_SUITE_P(Signals, StopRun, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

}  // namespace
}  // namespace tavorix

namespace tavorix {
namespace {

// export and graph stopped at any moment: finished, or stopped with 143, and
// never a temporary file beside the output.
TEST(StopWriters, SignalLeavesNoTemporaryFile) {
  TempDir dir;
  fs::copy_file(std::string(TAVORIX_EXAMPLES_DIR) + "/precip.inp", dir.File("p.inp"));
  ASSERT_EQ(std::system((std::string("'") + TAVORIX_CLI_PATH + "' run '" + dir.File("p.inp") + "' >/dev/null 2>&1").c_str()), 0);
  const std::string page = dir.File("page.html"), picture = dir.File("g.svg");
  int stopped = 0;
  for (int k = 0; k < 16; ++k) {
    const bool html = k % 2 == 0;
    std::vector<std::string> args = html ? std::vector<std::string>{"export", dir.File("p.out"), "--html", page}
                                         : std::vector<std::string>{"graph", dir.File("p.out"), "--type", "1", "-o", picture};
    std::vector<char*> argv{const_cast<char*>(TAVORIX_CLI_PATH)};
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, TAVORIX_CLI_PATH, &quiet, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&quiet);
    std::this_thread::sleep_for(std::chrono::milliseconds(5 + 7 * k));
    kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    // A signal before the command has started (a busy machine) ends the
    // process itself, with nothing written yet.
    if (WIFEXITED(status)) {
      EXPECT_TRUE(WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 143) << WEXITSTATUS(status);
      stopped += WEXITSTATUS(status) == 143;
    }
    for (const auto& e : fs::directory_iterator(dir.Path()))
      EXPECT_EQ(e.path().filename().string().find(".tvx"), std::string::npos) << e.path();
  }
  EXPECT_GT(stopped, 0) << "no command stopped cleanly on the signal";
}

}  // namespace
}  // namespace tavorix
