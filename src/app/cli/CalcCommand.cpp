// tavorix-cli calc: the calculator on the files of a run. X gives the
// cumulative frequency and return period, a frequency or return period gives
// X, each with 90% confidence limits; "n.a" (JSON null) where a value has none.
// --table gives X with its limits at a list of return periods (design values).

#include <cmath>
#include <iostream>
#include <optional>

#include "Commands.h"
#include "Json.h"
#include "calculator/Calculator.h"
#include "calculator/DesignTable.h"
#include "core/NumberFormat.h"
#include "core/TavorixError.h"
#include "fitting/Registry.h"

namespace tavorix::cli {
namespace {

enum class Given { None, X, Freq, Period };

// A value that has none, or that is not finite (a fit whose exponent is 0
// divides by it), shows "n.a".
std::string Shown(const std::optional<double>& v) { return v && std::isfinite(*v) ? FormatGeneral(*v) : "n.a"; }
std::string Shown(double v) { return Shown(std::optional<double>(v)); }
double JsonNumber(const std::optional<double>& v) { return v ? *v : NAN; }

// A return period passes its own range test from just above 1, but its
// frequency 1 - 1/T must pass the frequency test too: from 1.000001 up.
constexpr const char* kCalcPeriodTooShort =
    "The return period must be >1.000001: a shorter one has a cumulative frequency below 0.000001";

void Line(const char* label, const std::string& value) {
  std::cout << ' ' << label << value << "\n";
}

void PrintFrequency(const FrequencyResult& r) {
  Line("X-value     : ", Shown(r.X));
  Line("Cum. Freq.  : ", Shown(r.F));
  Line("Ret. Per.   : ", Shown(r.T));
  std::cout << " 90% confidence limits of cum. freq.\n";
  Line("  Lower     : ", Shown(r.Fl));
  Line("  Upper     : ", Shown(r.Fu));
  std::cout << " 90% confidence limits of ret. per.\n";
  Line("  Lower     : ", Shown(r.TLower));
  Line("  Upper     : ", Shown(r.TUpper));
}

void PrintValue(const ValueResult& r) {
  Line("Cum. Freq.  : ", Shown(r.F));
  Line("Ret. Per.   : ", Shown(r.T));
  Line("X-value     : ", Shown(r.X));
  std::cout << " 90% confidence limits of X-Value\n";
  Line("  Lower     : ", Shown(r.Xl));
  Line("  Upper     : ", Shown(r.Xu));
}

void BeginJson(JsonWriter& w, const std::string& file, const CalcParameters& prm, int n) {
  w.BeginObject();
  w.Value("file", file);
  w.Value("code", prm.Code);
  w.Value("name", std::string(TitleName(prm.Code)));
  w.Value("N", n);
  w.Value("Shift", prm.Shift);
}

void ValueJson(JsonWriter& w, const ValueResult& r) {
  w.Value("F", r.F);
  w.Value("T", r.T);
  w.Value("Fl", r.Fl);
  w.Value("Fu", r.Fu);
  w.Value("X", JsonNumber(r.X));
  w.Value("Xl", JsonNumber(r.Xl));
  w.Value("Xu", JsonNumber(r.Xu));
}

enum class TableFormat { Text, Json, Csv };

void PrintTableText(const DesignTable& table) {
  std::cout << " Design values of " << TitleName(table.Code) << " (N = " << table.N << ")\n";
  const auto cells = DesignTableCells(table);
  for (std::size_t r = 0; r < cells.size(); ++r) {
    std::string line;
    for (std::size_t c = 0; c + 1 < cells[r].size(); ++c) {
      const std::string& cell = cells[r][c];
      line += std::string(cell.size() < 18 ? 18 - cell.size() : 1, ' ') + cell;
    }
    if (r > 0 && table.Rows[r - 1].Extrapolated) line += " *";
    std::cout << line << "\n";
  }
  if (table.AnyExtrapolated()) std::cout << kDesignExtrapolatedNote << "\n";
}

int RunTable(const std::string& file, const std::string& periodsText, TableFormat format) {
  TDecimalSettings settings;
  const std::vector<double> periods =
      periodsText.empty() ? kStandardReturnPeriods : ParseReturnPeriods(periodsText, settings);
  const CalcInputs in = ReadCalcInputs(file);
  const DesignTable table = MakeDesignTable(in, periods);
  if (!table.Available) {
    std::cerr << kDesignNotAvailable << "\n";
    return kExitRefused;
  }
  if (format == TableFormat::Csv) {
    WriteDesignTableCsv(std::cout, table);
  } else if (format == TableFormat::Text) {
    PrintTableText(table);
  } else {
    JsonWriter w(std::cout);
    BeginJson(w, file, in.Param, in.Data.N);
    w.BeginArray("rows");
    for (const DesignRow& row : table.Rows) {
      w.BeginObject();
      ValueJson(w, row.Value);
      w.Value("extrapolated", row.Extrapolated);
      w.EndObject();
    }
    w.EndArray();
    w.EndObject();
    w.Finish();
  }
  return kExitOk;
}

}  // namespace

int RunCalc(const Args& args) {
  std::string file, valueText;
  Given given = Given::None;
  bool json = false, csv = false, table = false;
  std::string periodsText;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--json") {
      json = true;
    } else if (a == "--csv") {
      csv = true;
    } else if (a == "--table") {
      table = true;
    } else if (a == "--periods") {
      periodsText = OptionValue(args, i);
    } else if (a == "--x" || a == "--freq" || a == "--period") {
      if (given != Given::None) throw UsageError("give only one of --x, --freq and --period");
      given = a == "--x" ? Given::X : (a == "--freq" ? Given::Freq : Given::Period);
      valueText = OptionValue(args, i);
    } else if (!a.empty() && a[0] == '-') {
      throw UsageError("unknown option " + a);
    } else if (file.empty()) {
      file = a;
    } else {
      throw UsageError("more than one file given");
    }
  }
  if (file.empty()) throw UsageError("no results or input file given");
  if (table) {
    if (given != Given::None) throw UsageError("--table takes no --x, --freq or --period");
    if (json && csv) throw UsageError("give only one of --json and --csv");
    RequireNoDirectory(file);
    return RunTable(file, periodsText, json ? TableFormat::Json : (csv ? TableFormat::Csv : TableFormat::Text));
  }
  if (!periodsText.empty() || csv) throw UsageError("--periods and --csv belong to --table");
  if (given == Given::None) throw UsageError("give one of --x, --freq, --period and --table");

  // The value is checked before the files are read, as the window does.
  TDecimalSettings settings;
  double value = 0;
  if (given == Given::X) value = ParseCalcX(valueText, settings);
  if (given == Given::Freq) value = ParseCalcFrequency(valueText, settings);
  if (given == Given::Period) {
    value = FrequencyOfReturnPeriod(ParseCalcReturnPeriod(valueText, settings));
    if (!(value > 0.000001 && value < 0.999999)) throw TavorixError(kCalcPeriodTooShort);
  }

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
    JsonWriter w(std::cout);
    BeginJson(w, file, in.Param, in.Data.N);
    w.Value("X", r.X);
    w.Value("F", r.F);
    w.Value("T", r.T);
    w.Value("Fl", r.Fl);
    w.Value("Fu", r.Fu);
    w.Value("Tl", JsonNumber(r.TLower));
    w.Value("Tu", JsonNumber(r.TUpper));
    if (!note.empty()) w.Value("note", note);
    w.EndObject();
    w.Finish();
    return kExitOk;
  }

  const ValueResult r = CalcVal(in.Param, in.Data, value);
  if (!json) {
    PrintValue(r);
    return kExitOk;
  }
  JsonWriter w(std::cout);
  BeginJson(w, file, in.Param, in.Data.N);
  ValueJson(w, r);
  w.EndObject();
  w.Finish();
  return kExitOk;
}

}  // namespace tavorix::cli
