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
#include <memory>
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

struct BootstrapArgs {
  std::string File;
  BootstrapOptions Options;
  std::string PeriodsText;
  OutputFormat Format;
};

std::uint64_t ReadSeed(const std::string& value) {
  std::uint64_t seed = 0;
  const std::string_view text = TrimBlanks(value);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seed);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty() ||
      seed > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
    throw CLI::ValidationError("needs a whole number from 0 to 9223372036854775807, not " + value);
  return seed;
}

double ReadLevel(const std::string& value) {
  const auto v = ParseFileReal(TrimBlanks(value));
  if (!v || !(*v > 0 && *v < 1)) throw CLI::ValidationError("needs a share between 0 and 1, such as 0.90, not " + value);
  return *v;
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

int RunBootstrapCommand(BootstrapArgs& a) {
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
  if (a.Format.Json)
    PrintJson(a.File, result);
  else if (a.Format.Csv)
    PrintCsv(result);
  else
    PrintText(result);
  return kExitOk;
}

}  // namespace

CommandRun DefineBootstrap(CLI::App& app) {
  auto a = std::make_shared<BootstrapArgs>();
  app.add_option("FILE.out", a->File, "the results report of a run")->required();
  AddCountOption(app, "--replicas", a->Options.Replicas, "number of replicas")->type_name("B");
  app.add_option("--periods", a->PeriodsText, "the return periods")->type_name("T1,T2,...");
  AddReadOption(app, "--level", a->Options.Level, ReadLevel, "the share of the interval, such as 0.90")
      ->type_name("LEVEL");
  AddReadOption(app, "--seed", a->Options.Seed, ReadSeed, "the seed of the random numbers")->type_name("S");
  AddCountOption(app, "--jobs", a->Options.Jobs, "replicas fitted side by side");
  app.add_flag("--reselect", a->Options.Reselect, "choose the distribution again in every replica");
  AddFormatOptions(app, a->Format, "the result as JSON", "the table as CSV");
  return [a] { return RunBootstrapCommand(*a); };
}

}  // namespace tavorix::cli
