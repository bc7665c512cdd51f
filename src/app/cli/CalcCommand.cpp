// tavorix-cli calc: the calculator on the files of a run. X gives the
// cumulative frequency and return period, a frequency or return period gives
// X, each with 90% confidence limits; "n.a" (JSON null) where a value has none.

#include <cmath>
#include <iostream>
#include <optional>

#include "Commands.h"
#include "Json.h"
#include "calculator/Calculator.h"
#include "core/NumberFormat.h"
#include "fitting/Catalogue.h"

namespace tavorix::cli {
namespace {

enum class Given { None, X, Freq, Period };

std::string Shown(const std::optional<double>& v) { return v ? FormatGeneral(*v) : "n.a"; }
double JsonNumber(const std::optional<double>& v) { return v ? *v : NAN; }

void Line(const char* label, const std::string& value) {
  std::cout << ' ' << label << value << "\n";
}

void PrintFrequency(const FrequencyResult& r) {
  Line("X-value     : ", FormatGeneral(r.X));
  Line("Cum. Freq.  : ", FormatGeneral(r.F));
  Line("Ret. Per.   : ", FormatGeneral(r.T));
  std::cout << " 90% confidence limits of cum. freq.\n";
  Line("  Lower     : ", FormatGeneral(r.Fl));
  Line("  Upper     : ", FormatGeneral(r.Fu));
  std::cout << " 90% confidence limits of ret. per.\n";
  Line("  Lower     : ", Shown(r.TLower));
  Line("  Upper     : ", Shown(r.TUpper));
}

void PrintValue(const ValueResult& r) {
  Line("Cum. Freq.  : ", FormatGeneral(r.F));
  Line("Ret. Per.   : ", FormatGeneral(r.T));
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

}  // namespace

int RunCalc(const Args& args) {
  std::string file, valueText;
  Given given = Given::None;
  bool json = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--json") {
      json = true;
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
  if (given == Given::None) throw UsageError("give one of --x, --freq and --period");

  // The value is checked before the files are read, as the window does.
  TDecimalSettings settings;
  double value = 0;
  if (given == Given::X) value = ParseCalcX(valueText, settings);
  if (given == Given::Freq) value = ParseCalcFrequency(valueText, settings);
  if (given == Given::Period) value = FrequencyOfReturnPeriod(ParseCalcReturnPeriod(valueText, settings));

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
  w.Value("F", r.F);
  w.Value("T", r.T);
  w.Value("Fl", r.Fl);
  w.Value("Fu", r.Fu);
  w.Value("X", JsonNumber(r.X));
  w.Value("Xl", JsonNumber(r.Xl));
  w.Value("Xu", JsonNumber(r.Xu));
  w.EndObject();
  w.Finish();
  return kExitOk;
}

}  // namespace tavorix::cli
