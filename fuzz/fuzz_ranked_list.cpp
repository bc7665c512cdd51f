// A ranked list file (".Lst") re-sorted as a run sorts it: sorting a sorted
// list changes nothing.

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
  // The header has 7 lines when line 6 names the file (" Name..."), else 5.
  // Sorting may move an entry whose name begins so to line 6 of a list the
  // program did not write; sorting again is then a sort of another layout.
  auto sevenLineHeader = [] {
    std::ifstream in(path, std::ios::binary);
    const LineSet lines = ReadLines(in);
    return lines.size() > 5 && lines[5].compare(0, 5, " Name") == 0;
  };
  const bool sevenBefore = sevenLineHeader();
  try {
    SortRankedList(path);
  } catch (const TavorixError&) {
    return 0;
  }
  const std::string once = ReadBack(path);
  if (sevenLineHeader() != sevenBefore) return 0;
  // A leading byte-order mark is dropped on reading; a second one comes
  // first only after the first sort.
  if (once.rfind("\xEF\xBB\xBF", 0) == 0) return 0;
  SortRankedList(path);
  if (ReadBack(path) != once) fuzz::Fail("sorting a sorted list changed it");
  return 0;
}
