// A ranked list file (".Lst") re-sorted as a run sorts it: the sort keeps
// the header and every entry, and sorting twice changes nothing.

#include <fstream>
#include <sstream>

#include "FuzzSupport.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"
#include "fitting/FitAll.h"

using namespace tavorix;

namespace {

std::string ReadBack(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = fuzz::ScratchPath("fuzz.Lst");
  fuzz::WriteScratchFile(path, fuzz::AsText(data, size));
  try {
    SortRankedList(path);
  } catch (const TavorixError&) {
    return 0;
  }
  const std::string once = ReadBack(path);
  SortRankedList(path);
  if (ReadBack(path) != once) fuzz::Fail("sorting a sorted list changed it");
  return 0;
}
