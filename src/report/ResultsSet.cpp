#include "report/ResultsSet.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "core/TavorixError.h"
#include "core/TextFile.h"
#include "core/TextLines.h"
#include "report/ParameterFile.h"

namespace tavorix {
namespace {

// FNV-1a over the lines, each followed by one LF.
std::string Fingerprint(std::string_view text) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  auto add = [&h](unsigned char c) {
    h ^= c;
    h *= 0x100000001b3ULL;
  };
  LineCursor lines(text);
  for (std::string_view line; lines.Next(line);) {
    for (const char c : line) add(static_cast<unsigned char>(c));
    add('\n');
  }
  char buf[20];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
  return buf;
}

std::optional<std::string> ReadIfThere(const std::string& path) { return TryReadTextFile(path); }

}  // namespace

std::string ResultsSetLine(std::string_view reportText, std::optional<std::string_view> listText) {
  return std::string(kResultsSetLabel) + " out " + Fingerprint(reportText) + " Lst " +
         (listText ? Fingerprint(*listText) : std::string("none"));
}

std::string MixedResultsText(std::string_view seriesPath) {
  return "The results files of " + VisibleText(seriesPath) + " are from different runs";
}

void CheckResultsSet(const std::string& path) {
  const auto aux = ReadIfThere(WithExtension(path, ".aux"));
  if (!aux) return;
  std::string expected;
  for (const std::string& line : SplitLines(*aux))
    if (line.starts_with(kResultsSetLabel)) expected = line;
  if (expected.empty()) return;
  const auto report = ReadIfThere(WithExtension(path, ".out"));
  const auto list = ReadIfThere(WithExtension(path, ".Lst"));
  const std::optional<std::string_view> listView = list ? std::optional<std::string_view>(*list) : std::nullopt;
  if (!report) return;
  if (ResultsSetLine(*report, listView) != expected)
    throw TavorixError(MixedResultsText(WithExtension(path, "")));
}

}  // namespace tavorix
