// tavorix-cli bootstrap: a parametric bootstrap of the fitted distribution of
// a results file. Prints X of the fit at each return period with the
// percentile interval and the median of the replicas' X, and the bootstrap
// p-values of the fit's KS D, AD A2 and CvM W2.

#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <limits>
#include <string>

#include "Commands.h"
#include "Json.h"
#include "StopSignals.h"
#include "calculator/Bootstrap.h"
#include "core/NumberFormat.h"
#include "core/StringToFloat.h"
#include "core/TextLines.h"
#include "fitting/Registry.h"

namespace tavorix::cli {
namespace {

using Clock = std::chrono::steady_clock;

enum class Format { Text, Json, Csv };

struct BootstrapArgs {
  std::string File;
  BootstrapOptions Options;
  std::string PeriodsText;
  Format Output = Format::Text;
};

int WholeNumber(const std::string& option, const std::string& value) {
  const auto v = ParseFileInteger(TrimBlanks(value));
  if (!v || *v < 1) throw UsageError(option + " needs a whole number of at least 1, not " + value);
  return *v;
}

std::uint64_t Seed(const std::string& value) {
  std::uint64_t seed = 0;
  const std::string_view text = TrimBlanks(value);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seed);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty() ||
      seed > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
    throw UsageError("--seed needs a whole number from 0 to 9223372036854775807, not " + value);
  return seed;
}

double Level(const std::string& value) {
  const auto v = ParseFileReal(TrimBlanks(value));
  if (!v || !(*v > 0 && *v < 1)) throw UsageError("--level needs a share between 0 and 1, such as 0.90, not " + value);
  return *v;
}

BootstrapArgs ParseArgs(const Args& args) {
  BootstrapArgs a;
  bool json = false, csv = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--replicas") {
      a.Options.Replicas = WholeNumber(arg, OptionValue(args, i));
    } else if (arg == "--periods") {
      a.PeriodsText = OptionValue(args, i);
    } else if (arg == "--level") {
      a.Options.Level = Level(OptionValue(args, i));
    } else if (arg == "--seed") {
      a.Options.Seed = Seed(OptionValue(args, i));
    } else if (arg == "--jobs") {
      a.Options.Jobs = WholeNumber(arg, OptionValue(args, i));
    } else if (arg == "--reselect") {
      a.Options.Reselect = true;
    } else if (arg == "--json") {
      json = true;
    } else if (arg == "--csv") {
      csv = true;
    } else if (!arg.empty() && arg[0] == '-') {
      throw UsageError("unknown option " + arg);
    } else if (a.File.empty()) {
      a.File = arg;
    } else {
      throw UsageError("more than one results file given");
    }
  }
  if (a.File.empty()) throw UsageError("no results file given");
  if (json && csv) throw UsageError("give only one of --json and --csv");
  a.Output = json ? Format::Json : (csv ? Format::Csv : Format::Text);
  return a;
}

std::string Duration(double seconds) {
  const long s = std::lround(std::max(0.0, seconds));
  char buf[32];
  std::snprintf(buf, sizeof buf, "%ld:%02ld", s / 60, s % 60);
  return buf;
}

// On a terminal one line redrawn in place: a bar, replicas finished of all,
// time elapsed and an estimate of the time left.
class ProgressBar {
 public:
  explicit ProgressBar(bool terminal) : terminal_(terminal) {}
  void Draw(int done, int total) {
    if (!terminal_) return;
    constexpr int kWidth = 24;
    const int filled = total ? done * kWidth / total : kWidth;
    const double elapsed = std::chrono::duration<double>(Clock::now() - start_).count();
    std::string line = "\r\x1b[K[" + std::string(filled, '#') + std::string(kWidth - filled, '-') + "] " +
                       std::to_string(done) + "/" + std::to_string(total) + " replicas, " + Duration(elapsed) +
                       " elapsed";
    if (done > 0 && done < total) line += ", about " + Duration(elapsed / done * (total - done)) + " left";
    std::cerr << line << std::flush;
    drawn_ = true;
  }
  void End() {
    if (drawn_) std::cerr << "\n";
  }

 private:
  bool terminal_;
  bool drawn_ = false;
  Clock::time_point start_ = Clock::now();
};

std::string Shown(double v) { return std::isfinite(v) ? FormatGeneral(v) : "n.a"; }
std::string Shown(const std::optional<double>& v) { return v ? Shown(*v) : "n.a"; }

std::string Cell(const std::string& text) { return std::string(text.size() < 18 ? 18 - text.size() : 1, ' ') + text; }

void PrintText(const BootstrapResult& r) {
  std::cout << " Bootstrap of " << TitleName(r.Code) << " (code " << r.Code << ", N = " << r.N << "): " << r.Replicas
            << " replicas, " << r.Failed << " failed, seed " << r.Seed << (r.Reselect ? ", choice redone" : "")
            << "\n";
  std::cout << " X of the fit, the " << FormatGeneral(100 * r.Level)
            << "% bias-corrected percentile interval and the median of the replicas' X\n";
  std::cout << Cell("T") << Cell("F") << Cell("X") << Cell("Xl_boot") << Cell("Xu_boot") << Cell("X_median") << "\n";
  for (const BootstrapRow& row : r.Rows) {
    std::cout << Cell(FormatGeneral(row.Period)) << Cell(FormatGeneral(row.F)) << Cell(Shown(row.X))
              << Cell(Shown(row.Lower)) << Cell(Shown(row.Upper)) << Cell(Shown(row.Median))
              << (r.Marked() ? " *" : "") << "\n";
  }
  if (r.Marked()) std::cout << kBootstrapMarkedNote << "\n";
  std::cout << " Bootstrap p-values (share of the replicas whose statistic is at least the observed one)\n";
  std::cout << "   KS D   " << Cell(Shown(r.Observed.KsD)) << "   p = " << Shown(r.PKs) << "\n";
  std::cout << "   AD A2  " << Cell(Shown(r.Observed.AdA2)) << "   p = " << Shown(r.PAd) << "\n";
  std::cout << "   CvM W2 " << Cell(Shown(r.Observed.CvmW2)) << "   p = " << Shown(r.PCvm) << "\n";
  if (r.Reselect) {
    std::cout << " Chosen in the replicas:";
    for (const auto& [code, count] : r.Chosen) std::cout << " " << code << " (" << count << ")";
    std::cout << "\n";
  }
}

void PrintCsv(const BootstrapResult& r) {
  auto csv = [](double v) { return std::isfinite(v) ? FormatShortest(v) : std::string(); };
  std::cout << "T,F,X,Xl_boot,Xu_boot,X_median\n";
  for (const BootstrapRow& row : r.Rows)
    std::cout << csv(row.Period) << ',' << csv(row.F) << ',' << csv(row.X.value_or(NAN)) << ',' << csv(row.Lower)
              << ',' << csv(row.Upper) << ',' << csv(row.Median) << "\n";
  if (r.Marked()) std::cerr << kBootstrapMarkedNote << "\n";
}

void PrintJson(const std::string& file, const BootstrapResult& r) {
  Json rows = Json::array();
  for (const BootstrapRow& row : r.Rows)
    rows.push_back({{"T", row.Period},
                    {"F", row.F},
                    {"X", row.X.value_or(NAN)},
                    {"Xl_boot", row.Lower},
                    {"Xu_boot", row.Upper},
                    {"X_median", row.Median}});
  Json json = {{"file", file},
               {"code", r.Code},
               {"N", r.N},
               {"replicas", r.Replicas},
               {"failed", r.Failed},
               {"level", r.Level},
               {"seed", static_cast<long long>(r.Seed)},
               {"rows", rows},
               {"p_ks", r.PKs},
               {"p_ad", r.PAd},
               {"p_cvm", r.PCvm}};
  if (r.Reselect) {
    Json chosen = Json::object();
    for (const auto& [code, count] : r.Chosen) chosen[std::to_string(code)] = count;
    json["chosen"] = chosen;
  }
  WriteJson(std::cout, json);
}

}  // namespace

int RunBootstrapCommand(const Args& args) {
  BootstrapArgs a = ParseArgs(args);
  RequireNoDirectory(a.File);
  if (!a.PeriodsText.empty()) {
    TDecimalSettings settings;
    a.Options.Periods = ParseReturnPeriods(a.PeriodsText, settings);
  }
  a.Options.Cancel = InstallStopSignals();
  ProgressBar bar(::isatty(STDERR_FILENO) == 1);
  a.Options.Progress = [&bar](int done, int total) { bar.Draw(done, total); };
  BootstrapResult result;
  try {
    const BootstrapSeries series = LoadBootstrapSeries(a.File, a.Options.Cancel);
    result = tavorix::RunBootstrap(series, a.Options);
  } catch (const RunCancelled&) {
    bar.End();
    std::cerr << " The bootstrap was stopped.\n";
    return StoppedExitStatus();
  }
  bar.End();
  if (a.Output == Format::Json)
    PrintJson(a.File, result);
  else if (a.Output == Format::Csv)
    PrintCsv(result);
  else
    PrintText(result);
  return kExitOk;
}

}  // namespace tavorix::cli
