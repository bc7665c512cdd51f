// The whole run on a short series decoded from the input: the input file is
// written, the run writes its results beside it, then the six graphs and
// the calculator read them back. The first byte chooses the distribution
// (mostly a single one, so that an input stays cheap), composites and the
// number of classes; every further three bytes make one value, a 16-bit
// signed mantissa times a power of ten (mostly 1E-6 to 1E+6, now and then
// an extreme one).

#include <cmath>
#include <filesystem>

#include "FuzzSupport.h"
#include "calculator/Calculator.h"
#include "core/TavorixError.h"
#include "core/UDMTavorix.h"
#include "fitting/Registry.h"
#include "graphs/GraphView.h"
#include "report/ParameterFile.h"
#include "report/RunPipeline.h"

using namespace tavorix;

namespace {

// "1" (best of all), then the preference text of every row that has one.
const std::vector<std::string_view>& Preferences() {
  static const std::vector<std::string_view> texts = [] {
    std::vector<std::string_view> t{"1"};
    for (const DistributionInfo& d : Registry())
      if (!d.Preference.empty()) t.push_back(d.Preference);
    return t;
  }();
  return texts;
}

constexpr int kExtremeExponents[] = {-300, -150, -100, -20, 9, 12, 15, 20, 100, 150, 300, 304};

double ValueOf(const std::uint8_t* b) {
  const auto mantissa = static_cast<std::int16_t>(static_cast<std::uint16_t>(b[0] << 8 | b[1]));
  const int exponent = b[2] < 200 ? b[2] % 13 - 6 : kExtremeExponents[(b[2] - 200) % 12];
  return mantissa * std::pow(10.0, exponent);
}

void CheckGraphs(const std::string& outPath) {
  for (int type = 1; type <= 6; ++type) {
    GraphView view;
    try {
      PrepareGraph(outPath, type, view);
    } catch (const TavorixError&) {
      continue;
    }
    const AxisState& a = view.Axes;
    if (a.Xhi <= a.Xlo || a.Yhi <= a.Ylo) fuzz::Fail("empty axis");
    if (type != kGraphCumulative) continue;
    for (int r = 0; r < view.Data.RowCount; ++r) {
      const long double x = view.Data.X[r] * a.XFactor;
      if (x < a.Xlo || x > a.Xhi) fuzz::Fail("a datum lies outside the X axis");
    }
  }
}

void CheckCalculator(const std::string& outPath, const std::vector<double>& values) {
  CalcInputs in;
  try {
    in = ReadCalcInputs(outPath);
  } catch (const TavorixError&) {
    fuzz::Fail("the calculator cannot read the files of a run");
  }
  if (!CalcCodeKnown(in.Param.Code)) return;
  for (double x : values) (void)CalcFrequent(in.Param, in.Data.N, x);
  for (double f : {0.01, 0.5, 0.99}) (void)CalcVal(in.Param, in.Data, f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const std::uint8_t choice = data[0];
  const int count = static_cast<int>(std::min<std::size_t>(40, (size - 1) / 3));
  std::vector<double> values;
  for (int i = 0; i < count; ++i) values.push_back(ValueOf(data + 1 + 3 * i));

  static const std::string inpPath = fuzz::ScratchPath("series.inp");
  for (const char* ext : {".inp", ".out", ".aux", ".Lst"}) fuzz::RemoveScratchFile(WithExtension(inpPath, ext));
  TDMTavorix dm;
  dm.FileName = inpPath;
  dm.Title1 = "fuzz";
  dm.NrOfClasses = 1 + (choice >> 6) * 7;
  dm.CompositeAllowed = choice & 0x20;
  for (int i = 0; i < count; ++i) {
    dm.Serials.push_back(i + 1);
    dm.Values.push_back(values[i]);
  }
  dm.RemoveFlags.assign(values.size(), 0);
  dm.NrOfData = count;
  try {
    dm.WriteInputFile();
  } catch (const TavorixError&) {
    return 0;
  }
  // Mostly one distribution; one input in 32 the best of all, which under
  // the sanitizers takes seconds.
  const int pick = choice & 0x1f;
  const auto& preferences = Preferences();
  const std::size_t choices = preferences.size() - 1;
  dm.SelectionCode = pick == 0 ? "1" : std::string(preferences[1 + (pick + 7 * (choice >> 5)) % choices]);

  PipelineOptions options;
  options.FitThreads = 1;
  TavorixRun run;
  PipelineResult result;
  try {
    result = RunSaveRunStages(dm, run, dm.CompositeAllowed, options);
  } catch (const TavorixError&) {
    if (std::filesystem::exists(WithExtension(inpPath, ".out"))) fuzz::Fail("a refused run left a report");
    return 0;
  }
  if (result.NoVariation) return 0;
  CheckGraphs(result.OutputPath);
  CheckCalculator(result.OutputPath, values);
  return 0;
}
