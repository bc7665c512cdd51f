// tavorix-cli calc: the calculator on the files of a run. X gives the
// cumulative frequency and return period, a frequency or return period gives
// X, each with 90% confidence limits; "n.a" (JSON null) where a value has none.
// --table gives X with its limits at a list of return periods (design values).

#include <cmath>
#include <iostream>
#include <memory>
#include <optional>

#include "Commands.h"
#include "Json.h"
#include "StopSignals.h"
#include "calculator/Bootstrap.h"
#include "calculator/Calculator.h"
#include "calculator/DesignTable.h"
#include "core/NumberFormat.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"
#include "fitting/Registry.h"

namespace tavorix::cli {
namespace {

enum class Given { None, X, Freq, Period };

// A value that has none, or that is not finite (a fit whose exponent is 0
// divides by it), shows "n.a".
std::string Shown(const std::optional<double>& v) { return v && std::isfinite(*v) ? FormatGeneral(*v) : "n.a"; }
std::string Shown(double v) { return Shown(std::optional<double>(v)); }

// A return period passes its own range test from just above 1, but its
// frequency 1 - 1/T must pass the frequency test too: from 1.000001 up.
constexpr const char* kCalcPeriodTooShort =
    "The return period must be >1.000001: a shorter one has a cumulative frequency below 0.000001";

void Line(const char* label, const std::string& value) {
  std::cout << ' ' << label << value << "\n";
}

// The 90% confidence limits of one of the answer's values.
void Limits(const char* of, const std::optional<double>& lower, const std::optional<double>& upper) {
  std::cout << " 90% confidence limits of " << of << "\n";
  Line("  Lower     : ", Shown(lower));
  Line("  Upper     : ", Shown(upper));
}

void PrintFrequency(const FrequencyResult& r) {
  Line("X-value     : ", Shown(r.X));
  Line("Cum. Freq.  : ", Shown(r.F));
  Line("Ret. Per.   : ", Shown(r.T));
  Limits("cum. freq.", r.Fl, r.Fu);
  Limits("ret. per.", r.TLower, r.TUpper);
}

void PrintValue(const ValueResult& r) {
  Line("Cum. Freq.  : ", Shown(r.F));
  Line("Ret. Per.   : ", Shown(r.T));
  Line("X-value     : ", Shown(r.X));
  Limits("X-Value", r.Xl, r.Xu);
}

// The keys every answer of --json begins with.
Json AnswerJson(const std::string& file, const CalcParameters& prm, int n) {
  return {{"file", file}, {"code", prm.Code}, {"name", std::string(TitleName(prm.Code))}, {"N", n}, {"Shift", prm.Shift}};
}

// The cumulative frequency, its return period and the frequency's limits.
void AddFrequency(Json& json, double f, double t, double fl, double fu) {
  json["F"] = f;
  json["T"] = t;
  json["Fl"] = fl;
  json["Fu"] = fu;
}

void AddValue(Json& json, const ValueResult& r) {
  AddFrequency(json, r.F, r.T, r.Fl, r.Fu);
  json["X"] = JsonNumber(r.X);
  json["Xl"] = JsonNumber(r.Xl);
  json["Xu"] = JsonNumber(r.Xu);
}

enum class TableFormat { Text, Json, Csv };

// The column "extrapolated" of the cells, shown as a mark after the row.
constexpr std::size_t kExtrapolatedColumn = 5;

void PrintTableText(const DesignTable& table, const BootstrapResult* boot) {
  std::cout << " Design values of " << TitleName(table.Code) << " (N = " << table.N << ")\n";
  auto cells = boot ? DesignTableCells(table, *boot) : DesignTableCells(table);
  if (boot)
    for (auto& row : cells) row.resize(kExtrapolatedColumn + 3);  // the p-values follow the table
  for (std::size_t r = 0; r < cells.size(); ++r) {
    std::string line;
    for (std::size_t c = 0; c < cells[r].size(); ++c) {
      if (c == kExtrapolatedColumn) continue;
      const std::string& cell = cells[r][c];
      line += std::string(cell.size() < 18 ? 18 - cell.size() : 1, ' ') + cell;
    }
    if (r > 0 && table.Rows[r - 1].Extrapolated) line += " *";
    std::cout << line << "\n";
  }
  if (table.AnyExtrapolated()) std::cout << kDesignExtrapolatedNote << "\n";
  if (!boot) return;
  std::cout << " Xl_boot, Xu_boot: " << FormatGeneral(100 * boot->Level) << "% bootstrap interval of X from "
            << boot->Replicas << " replicas, " << boot->Failed << " failed\n";
  if (boot->Marked()) std::cout << kBootstrapMarkedNote << "\n";
  std::cout << " Bootstrap p-values: KS D " << Shown(boot->PKs) << ", AD A2 " << Shown(boot->PAd) << ", CvM W2 "
            << Shown(boot->PCvm) << "\n";
}

int RunTable(const std::string& file, const std::string& periodsText, TableFormat format, int replicas) {
  TDecimalSettings settings;
  const std::vector<double> periods =
      periodsText.empty() ? kStandardReturnPeriods : ParseReturnPeriods(periodsText, settings);
  const CalcInputs in = ReadCalcInputs(file);
  const DesignTable table = MakeDesignTable(in, periods);
  if (!table.Available) {
    std::cerr << kDesignNotAvailable << "\n";
    return kExitRefused;
  }
  // --bootstrap B: the bootstrap interval of X at the table's return periods.
  std::optional<BootstrapResult> boot;
  if (replicas > 0) {
    BootstrapOptions options;
    options.Replicas = replicas;
    options.Periods = periods;
    options.Cancel = InstallStopSignals();
    try {
      boot = RunBootstrap(LoadBootstrapSeries(file, options.Cancel), options);
    } catch (const RunCancelled&) {
      std::cerr << " The bootstrap was stopped.\n";
      return StoppedExitStatus();
    }
  }
  if (format == TableFormat::Csv) {
    if (boot)
      WriteDesignTableCsv(std::cout, table, *boot);
    else
      WriteDesignTableCsv(std::cout, table);
  } else if (format == TableFormat::Text) {
    PrintTableText(table, boot ? &*boot : nullptr);
  } else {
    Json json = AnswerJson(file, in.Param, in.Data.N);
    Json rows = Json::array();
    for (std::size_t k = 0; k < table.Rows.size(); ++k) {
      const DesignRow& row = table.Rows[k];
      Json cells = Json::object();
      AddValue(cells, row.Value);
      cells["extrapolated"] = row.Extrapolated;
      if (boot) {
        cells["Xl_boot"] = boot->Rows[k].Lower;
        cells["Xu_boot"] = boot->Rows[k].Upper;
      }
      rows.push_back(std::move(cells));
    }
    json["rows"] = std::move(rows);
    if (boot) {
      json["replicas"] = boot->Replicas;
      json["failed"] = boot->Failed;
      json["p_ks"] = boot->PKs;
      json["p_ad"] = boot->PAd;
      json["p_cvm"] = boot->PCvm;
    }
    WriteJson(std::cout, json);
  }
  return kExitOk;
}

struct CalcArgs {
  std::string File, ValueText, PeriodsText;
  Given Value = Given::None;
  bool Table = false;
  OutputFormat Format;
  int Replicas = 0;
};

int RunCalc(const CalcArgs& a) {
  const std::string& file = a.File;
  const Given given = a.Value;
  const bool json = a.Format.Json;
  if (a.Table) {
    RequireNoDirectory(file);
    return RunTable(file, a.PeriodsText,
                    json ? TableFormat::Json : (a.Format.Csv ? TableFormat::Csv : TableFormat::Text), a.Replicas);
  }
  if (given == Given::None) throw UsageError("give one of --x, --freq, --period and --table");

  // The value is checked before the files are read, as the window does.
  TDecimalSettings settings;
  double value = 0, period = 0;
  try {
    if (given == Given::X) value = ParseCalcX(a.ValueText, settings);
    if (given == Given::Freq) value = ParseCalcFrequency(a.ValueText, settings);
    if (given == Given::Period) {
      period = ParseCalcReturnPeriod(a.ValueText, settings);
      value = FrequencyOfReturnPeriod(period);
    }
  } catch (const TavorixError& e) {
    throw TavorixError(WithAcceptedRange(e.what(), settings.DecimalSeparator));
  }
  if (given == Given::Period && !(value > 0.000001 && value < 0.999999)) throw TavorixError(kCalcPeriodTooShort);

  RequireNoDirectory(file);
  const CalcInputs in = ReadCalcInputs(file);
  if (given == Given::X) {
    const FrequencyResult r = CalcFrequent(in.Param, in.Data.N, value);
    const std::string note = CalcRangeNote(in.Param, in.Data, value);
    if (!json) {
      PrintFrequency(r);
      if (!note.empty()) {
        std::cout << ' ';
        for (char c : note) std::cout << c << (c == '\n' ? " " : "");
        std::cout << "\n";
      }
      return kExitOk;
    }
    Json answer = AnswerJson(file, in.Param, in.Data.N);
    answer["X"] = r.X;
    AddFrequency(answer, r.F, r.T, r.Fl, r.Fu);
    answer["Tl"] = JsonNumber(r.TLower);
    answer["Tu"] = JsonNumber(r.TUpper);
    if (!note.empty()) answer["note"] = note;
    WriteJson(std::cout, answer);
    return kExitOk;
  }

  ValueResult r = CalcVal(in.Param, in.Data, value);
  // A period is answered as it was asked, not as 1/(1 - F) of the frequency
  // formed from it (100 would come back as 99.9999999999999).
  if (given == Given::Period) r.T = period;
  if (!json) {
    PrintValue(r);
    return kExitOk;
  }
  Json answer = AnswerJson(file, in.Param, in.Data.N);
  AddValue(answer, r);
  WriteJson(std::cout, answer);
  return kExitOk;
}

}  // namespace

CommandRun DefineCalc(CLI::App& app) {
  auto a = std::make_shared<CalcArgs>();
  app.add_option("FILE.out|FILE.inp", a->File, "the results or the input file of a run (its .aux and .inp are read)")
      ->required();
  auto given = [&app, a](const char* name, Given value, const char* type, const char* help) {
    return app
        .add_option_function<std::string>(
            name,
            [a, value](const std::string& text) {
              a->Value = value;
              a->ValueText = text;
            },
            help)
        ->type_name(type);
  };
  CLI::Option* x = given("--x", Given::X, "V", "an X value: its cumulative frequency and return period");
  CLI::Option* freq = given("--freq", Given::Freq, "F", "a cumulative frequency: its X value");
  CLI::Option* period = given("--period", Given::Period, "T", "a return period: its X value");
  CLI::Option* table =
      app.add_flag("--table", a->Table, "design values: X with its limits at the standard or listed return periods");
  for (CLI::Option* one : {x, freq, period}) one->excludes(table);
  x->excludes(freq)->excludes(period);
  freq->excludes(period);
  app.add_option("--periods", a->PeriodsText, "the return periods of the table")->type_name("T1,T2,...")->needs(table);
  AddCountOption(app, "--bootstrap", a->Replicas, "add the bootstrap interval of X from B replicas to the table")
      ->type_name("B")
      ->needs(table);
  AddFormatOptions(app, a->Format, "the answer as JSON", "the table as CSV")->needs(table);
  return [a] { return RunCalc(*a); };
}

}  // namespace tavorix::cli
