// A parameter file (".aux") as the calculator reads it, with a few data and
// a value and a frequency or a return period taken from the input's last line.

#include <cmath>
#include <sstream>

#include "FuzzSupport.h"
#include "calculator/Calculator.h"
#include "core/TavorixError.h"
#include "report/ParameterFile.h"

using namespace tavorix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto [aux, query] = fuzz::SplitAt(fuzz::AsText(data, size), "\n#");
  // What reads must write back and read again to the same code.
  std::istringstream forFile{std::string(aux)};
  ParameterFileContents contents;
  try {
    contents = ReadParameterFile(forFile, 4);
  } catch (const TavorixError&) {
    return 0;
  }
  std::ostringstream written;
  WriteParameterFile(written, contents.Fit, contents.Shift);
  (void)NamedParameters(contents.Fit, contents.Shift);
  std::istringstream back(written.str());
  if (ReadParameterFile(back, 5).Code != contents.Code) fuzz::Fail("the code does not read back");

  std::istringstream in{std::string(aux)};
  const CalcParameters prm = ReadParam(in);
  if (!CalcCodeKnown(prm.Code)) return 0;

  CalcData values;
  values.Values = {1.5, 2.25, 3.0, 4.5, 7.0, 12.0};
  values.N = static_cast<int>(values.Values.size());
  TDecimalSettings settings;
  double x = 3.3, f = 0.9, t = 50;
  std::istringstream numbers{std::string(query)};
  std::string token;
  if (numbers >> token) x = StringToFloat(token, settings).value_or(x);
  if (numbers >> token) f = StringToFloat(token, settings).value_or(f);
  if (numbers >> token) t = StringToFloat(token, settings).value_or(t);
  try {
    const FrequencyResult r = CalcFrequent(prm, values.N, x);
    if (!(r.F >= 0 && r.F <= 1) && !std::isnan(r.F)) fuzz::Fail("frequency outside [0, 1]");
  } catch (const TavorixError&) {
  }
  // One frequency query per input (the input's length chooses which): a
  // query may scan the normal family's 100 000 steps.
  try {
    if (size % 2 == 0) {
      CheckCalcFrequency(f);
      (void)CalcVal(prm, values, f);
    } else {
      CheckCalcReturnPeriod(t);
      (void)CalcVal(prm, values, FrequencyOfReturnPeriod(t));
    }
  } catch (const TavorixError&) {
  }
  return 0;
}
