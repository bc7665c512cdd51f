// tavorix-cli graph end to end: run without a display, as over ssh, and the
// written bitmap read back byte by byte.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "core/TestUtil.h"

namespace tavorix {
namespace {

using test::ReadFile;
using test::TempDir;

using GraphRun = test::CliResult;
using test::ShellQuote;

// Runs the command with no display and no platform chosen.
GraphRun RunGraphCli(const TempDir& dir, const std::vector<std::string>& args) {
  std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + ShellQuote(TAVORIX_CLI_PATH) + " graph";
  for (const auto& a : args) cmd += " " + ShellQuote(a);
  const std::string out = dir.File("stdout.txt"), err = dir.File("stderr.txt");
  cmd += " >" + ShellQuote(out) + " 2>" + ShellQuote(err) + " </dev/null";
  const int raw = std::system(cmd.c_str());
  GraphRun r;
  r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.Out = ReadFile(out);
  r.Err = ReadFile(err);
  return r;
}

// A build configured without the Qt parts has a graph command that refuses.
#define SKIP_WITHOUT_DRAWING(run)                                        \
  if ((run).Err.find("has no drawing") != std::string::npos) GTEST_SKIP() \
      << "built without drawing"

std::string Report(const std::string& name) { return std::string(TAVORIX_TEST_DATA_DIR) + "/graphs/" + name; }

std::uint32_t Le(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

// Red, green and blue of pixel (x, y) of a 24-bit bitmap (rows stored bottom up).
struct Rgb {
  int R, G, B;
  bool operator==(const Rgb&) const = default;
};
Rgb PixelOf(const std::string& bmp, int x, int y) {
  const std::size_t width = Le(bmp, 18, 4), height = Le(bmp, 22, 4);
  const std::size_t stride = (width * 3 + 3) / 4 * 4;
  const std::size_t at = Le(bmp, 10, 4) + (height - 1 - y) * stride + x * 3;
  return {static_cast<unsigned char>(bmp[at + 2]), static_cast<unsigned char>(bmp[at + 1]),
          static_cast<unsigned char>(bmp[at])};
}

int CountOf(const std::string& bmp, const Rgb& c, int top = 0, int bottom = 441) {
  int n = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < 623; ++x) n += PixelOf(bmp, x, y) == c ? 1 : 0;
  return n;
}
int CountYellow(const std::string& bmp) { return CountOf(bmp, Rgb{255, 255, 0}); }

TEST(CliGraph, DrawsAColourBitmapWithoutADisplay) {
  TempDir dir;
  const std::string bmp = dir.File("cumulative.bmp");
  const GraphRun r = RunGraphCli(dir, {Report("gumbel12.out"), "--type", "1", "-o", bmp});
  SKIP_WITHOUT_DRAWING(r);
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "The graph was saved in  " + bmp + "\n");
  EXPECT_EQ(r.Err, "");
  const std::string bytes = ReadFile(bmp);
  ASSERT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(Le(bytes, 18, 4), 623u);
  EXPECT_EQ(Le(bytes, 22, 4), 441u);
  EXPECT_EQ(Le(bytes, 28, 2), 24u);
  EXPECT_EQ(PixelOf(bytes, 600, 300), (Rgb{0, 0, 139}));
  EXPECT_EQ(PixelOf(bytes, 5, 5), (Rgb{192, 192, 192}));
  EXPECT_GT(CountYellow(bytes), 100);
}

TEST(CliGraph, BlackAndWhiteAndNoBeltOptions) {
  TempDir dir;
  const std::string bmp = dir.File("bw.bmp");
  const GraphRun r = RunGraphCli(dir, {Report("gumbel12.out"), "--type", "1", "--bw", "-o", bmp});
  SKIP_WITHOUT_DRAWING(r);
  ASSERT_EQ(r.Status, 0);
  EXPECT_EQ(PixelOf(ReadFile(bmp), 600, 300), (Rgb{255, 255, 255}));

  const std::string noBelt = dir.File("nobelt.bmp");
  ASSERT_EQ(RunGraphCli(dir, {"--no-belt", "-o", noBelt, "--type", "1", Report("gumbel12.out")}).Status, 0);
  EXPECT_EQ(CountYellow(ReadFile(noBelt)), 0);
}

TEST(CliGraph, PngByTheFileName) {
  TempDir dir;
  const std::string png = dir.File("histogram.png");
  const GraphRun r = RunGraphCli(dir, {Report("negative12.out"), "--type", "2", "-o", png});
  SKIP_WITHOUT_DRAWING(r);
  ASSERT_EQ(r.Status, 0);
  EXPECT_EQ(ReadFile(png).substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

TEST(CliGraph, RefusesMissingReportsAndWrongArguments) {
  TempDir dir;
  const std::string missing = dir.File("none.out");
  const GraphRun r = RunGraphCli(dir, {missing, "--type", "3", "-o", dir.File("g.bmp")});
  SKIP_WITHOUT_DRAWING(r);
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("The file \"" + missing + "\"could not be opened."), std::string::npos) << r.Err;

  EXPECT_EQ(RunGraphCli(dir, {Report("gumbel12.out"), "--type", "9", "-o", dir.File("g.bmp")}).Status, 2);
  EXPECT_EQ(RunGraphCli(dir, {Report("gumbel12.out"), "--type", "1", "--size", "600x400", "-o", dir.File("g.bmp")}).Status, 2);
  EXPECT_EQ(RunGraphCli(dir, {Report("gumbel12.out"), "--type", "1", "--log-periods", "-o", dir.File("g.bmp")}).Status, 2);
  EXPECT_EQ(RunGraphCli(dir, {Report("gumbel12.out"), "--type", "1"}).Status, 2);
  EXPECT_EQ(RunGraphCli(dir, {Report("gumbel12.out"), "-o", dir.File("g.bmp")}).Status, 2);
  EXPECT_FALSE(std::filesystem::exists(dir.File("g.bmp")));
}

TEST(CliGraph, AllGraphsOfARunOnNegativeData) {
  // The Lake Huron departures run from about -3 to +3 feet.
  TempDir dir;
  const std::string inp = dir.File("lakehuron_anomaly.inp");
  std::filesystem::copy_file(std::string(TAVORIX_EXAMPLES_DIR) + "/lakehuron_anomaly.inp", inp);
  const test::CliResult run = test::RunCli(dir, {"run", inp});
  ASSERT_EQ(run.Status, 0) << run.Err;
  const Rgb aqua{0, 255, 255}, darkBlue{0, 0, 139};
  for (int type = 1; type <= 8; ++type) {
    const std::string bmp = dir.File("graph" + std::to_string(type) + ".bmp");
    const GraphRun r =
        RunGraphCli(dir, {dir.File("lakehuron_anomaly.out"), "--type", std::to_string(type), "-o", bmp});
    SKIP_WITHOUT_DRAWING(r);
    ASSERT_EQ(r.Status, 0) << "type " << type << ": " << r.Err;
    const std::string bytes = ReadFile(bmp);
    ASSERT_EQ(bytes.size(), Le(bytes, 10, 4) + 1872u * 441u) << "type " << type;
    EXPECT_EQ(Le(bytes, 28, 2), 24u);
    EXPECT_EQ(PixelOf(bytes, 600, 300), darkBlue);
    // Observed circles (1, 4, 5, 7, 8) and the density curve (2, 6) below the legends.
    if (type != 3) {
      EXPECT_GT(CountOf(bytes, aqua, 105, 350), 30) << "type " << type;
    }
    // The belt of 98 data has its limit lines.
    if (type == 1 || type == 3 || type == 4 || type == 8) {
      EXPECT_GT(CountYellow(bytes), 100) << "type " << type;
    }
  }
  // The vector files and a larger bitmap, by the file name.
  for (const std::string name : {"paper.svg", "paper.pdf", "paper.png"}) {
    const GraphRun r = RunGraphCli(dir, {dir.File("lakehuron_anomaly.out"), "--type", "8", "--size", "1869x1323",
                                         "-o", dir.File(name)});
    ASSERT_EQ(r.Status, 0) << name << ": " << r.Err;
  }
  EXPECT_NE(ReadFile(dir.File("paper.svg")).find("<svg"), std::string::npos);
  EXPECT_EQ(ReadFile(dir.File("paper.pdf")).substr(0, 4), "%PDF");
  const std::string png = ReadFile(dir.File("paper.png"));
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  auto be32 = [&](std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(png[at + i]);
    return v;
  };
  EXPECT_EQ(be32(16), 1869u);  // width and height of the header
  EXPECT_EQ(be32(20), 1323u);
}

// Drawing is a module of its own: the commands that do not draw start
// without Qt, a file that cannot be written is refused through the module,
// and a program whose module is missing says so instead of failing to start.
TEST(CliGraph, TheDrawingModuleIsLoadedOnlyToDraw) {
  TempDir dir;
  const std::string probe = "LD_DEBUG=files " + ShellQuote(TAVORIX_CLI_PATH) + " --help >/dev/null 2>" +
                            ShellQuote(dir.File("loaded.txt"));
  ASSERT_EQ(std::system(probe.c_str()), 0);
  const std::string loaded = ReadFile(dir.File("loaded.txt"));
  ASSERT_NE(loaded.find("libc.so"), std::string::npos) << "the loader reported nothing";
  EXPECT_EQ(loaded.find("libQt6"), std::string::npos);

  const std::string unwritable = dir.File("no-such-folder/g.bmp");
  const GraphRun r = RunGraphCli(dir, {Report("gumbel12.out"), "--type", "1", "-o", unwritable});
  SKIP_WITHOUT_DRAWING(r);
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("The file \"" + unwritable + "\" could not be opened."), std::string::npos) << r.Err;

  const std::string alone = dir.File("tavorix-cli");
  std::filesystem::copy_file(TAVORIX_CLI_PATH, alone);
  std::filesystem::permissions(alone, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
  const std::string cmd = "env -u DISPLAY " + ShellQuote(alone) + " graph " + ShellQuote(Report("gumbel12.out")) +
                          " --type 1 -o " + ShellQuote(dir.File("g.bmp")) + " 2>" + ShellQuote(dir.File("err.txt"));
  const int raw = std::system(cmd.c_str());
  EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
  EXPECT_NE(ReadFile(dir.File("err.txt")).find("The drawing module could not be loaded"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("g.bmp")));
}

}  // namespace
}  // namespace tavorix

namespace tavorix {
namespace {

// The bootstrap interval of X on graphs 4 and 8: a band of magenta lines in
// the colour bitmap, named in the legend; other types refuse it.
TEST(CliGraph, BootstrapBandOnTheReturnPeriodsAndTheProbabilityPaper) {
  TempDir dir;
  const std::string inp = dir.File("precip.inp");
  std::filesystem::copy_file(std::string(TAVORIX_EXAMPLES_DIR) + "/precip.inp", inp);
  ASSERT_EQ(test::RunCli(dir, {"run", inp, "--prefer", "4"}).Status, 0);
  const Rgb magenta{255, 0, 255};
  for (const char* type : {"4", "8"}) {
    const std::string plain = dir.File(std::string("plain") + type + ".bmp");
    const std::string band = dir.File(std::string("band") + type + ".bmp");
    const GraphRun a = RunGraphCli(dir, {dir.File("precip.out"), "--type", type, "-o", plain});
    SKIP_WITHOUT_DRAWING(a);
    ASSERT_EQ(a.Status, 0) << a.Err;
    const GraphRun b = RunGraphCli(dir, {dir.File("precip.out"), "--type", type, "--bootstrap", "40", "-o", band});
    ASSERT_EQ(b.Status, 0) << b.Err;
    EXPECT_EQ(CountOf(ReadFile(plain), magenta), 0) << type;
    // Lines below the legends: the band itself, not only its legend.
    EXPECT_GT(CountOf(ReadFile(band), magenta, 130, 350), 100) << type;
  }
  const GraphRun svg = RunGraphCli(dir, {dir.File("precip.out"), "--type", "8", "--bootstrap", "40", "-o",
                                         dir.File("band.svg")});
  ASSERT_EQ(svg.Status, 0) << svg.Err;
  EXPECT_NE(ReadFile(dir.File("band.svg")).find("90% bootstrap interval of X (40 replicas)"), std::string::npos);
  EXPECT_EQ(RunGraphCli(dir, {dir.File("precip.out"), "--type", "1", "--bootstrap", "40", "-o", dir.File("x.bmp")})
                .Status,
            2);
}

}  // namespace
}  // namespace tavorix
