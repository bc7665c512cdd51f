// A ranked list file (".Lst") read as the export reads it; its fits, sorted
// as a run sorts them and written as a run writes the list, read back to the
// same fits in ascending order, and sorting them again changes nothing.

#include <sstream>

#include "FuzzSupport.h"
#include "core/StringToFloat.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"
#include "fitting/FitAll.h"
#include "report/ExportTables.h"

using namespace tavorix;

namespace {

std::vector<RankedEntry> Entries(const ExportTable& table) {
  std::vector<RankedEntry> entries;
  for (const auto& row : table.Rows) {
    const auto average = ParseFileReal(row[3]);
    if (!average) fuzz::Fail("an average read from the list does not read again");
    entries.push_back({0, " " + row[2], *average});
  }
  return entries;
}

std::string Written(const std::vector<RankedEntry>& entries) {
  std::ostringstream out;
  WriteRankedList(out, "fuzz.Lst", SortedByPrintedAverage(entries));
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ExportTable read;
  try {
    ReadFitsTable(SplitLines(fuzz::AsText(data, size)), "fuzz.Lst", read);
  } catch (const TavorixError&) {
    return 0;
  }
  // A name that itself reads as an average line cannot be told from one.
  for (const auto& row : read.Rows)
    if (row[2].rfind("Average =", 0) == 0) return 0;
  const std::string once = Written(Entries(read));
  ExportTable back;
  try {
    ReadFitsTable(SplitLines(once), "fuzz.Lst", back);
  } catch (const TavorixError&) {
    fuzz::Fail("a written list does not read back");
  }
  if (back.Rows.size() != read.Rows.size()) fuzz::Fail("a written list reads back to another count");
  if (Written(Entries(back)) != once) fuzz::Fail("sorting a sorted list changed it");
  return 0;
}
