// An input file (".inp") as the window and the command line read it: read,
// prepared as the first stage of a run does, and written back. A file that
// reads must write, read again to the same series and prepare alike.

#include <sstream>

#include "FuzzSupport.h"
#include "core/DataPreparation.h"
#include "core/TavorixError.h"
#include "core/UDMTavorix.h"

using namespace tavorix;

namespace {

// The error text of a preparation, or "" when it succeeds.
std::string Prepare(const std::string& text, PreparedRun& run) {
  TDMTavorix dm;
  std::istringstream in(text);
  try {
    PrepareData(run, dm, in, "fuzz.inp");
  } catch (const TavorixError& e) {
    return e.what();
  }
  if (run.N != dm.NrOfData || static_cast<int>(run.X.size()) != run.N + 1) fuzz::Fail("prepared count");
  for (int r = 2; r <= run.N; ++r)
    if (run.X[r] < run.X[r - 1]) fuzz::Fail("prepared values not ascending");
  return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(fuzz::AsText(data, size));
  PreparedRun asRead;
  Prepare(text, asRead);

  TDMTavorix dm;
  dm.FileName = "fuzz.inp";
  std::istringstream in(text);
  try {
    dm.ReadInputFile(in, dm.FileName);
  } catch (const TavorixError&) {
    return 0;
  }
  std::ostringstream written;
  dm.WriteInputFile(written);

  TDMTavorix again;
  std::istringstream back(written.str());
  try {
    again.ReadInputFile(back, dm.FileName);
  } catch (const TavorixError&) {
    fuzz::Fail("a written input file does not read back");
  }
  if (again.NrOfData != dm.NrOfData || again.NrOfClasses != dm.NrOfClasses ||
      again.CompositeAllowed != dm.CompositeAllowed)
    fuzz::Fail("a written input file reads back differently");

  PreparedRun run;
  Prepare(written.str(), run);
  return 0;
}
