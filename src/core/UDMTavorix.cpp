#include "core/UDMTavorix.h"

#include <cmath>
#include <filesystem>
#include <optional>
#include <sstream>

#include "core/AtomicFile.h"
#include "core/NumberFormat.h"
#include "core/StringToFloat.h"
#include "core/TavorixError.h"
#include "core/TextFile.h"

namespace tavorix {
namespace {

constexpr std::string_view kClassesLabel = "Number of classes :";
constexpr std::string_view kDataLabel = "Number of data:";
constexpr std::string_view kCompositeAllowed = " Composite distributions are allowed";
constexpr std::string_view kNoComposite = " No Composite distributions allowed";

// Titles are one line each; a line break inside would shift the layout.
std::string OneLine(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

// The integer after "Number of classes :" on line 8; 5 when there is none.
// A count outside 1..50 cannot be used by the interval analysis and is
// treated as the classes box treats it: above 50 becomes 50, below 1 is 5.
int ClassesFromLine8(std::string_view line) {
  const auto pos = line.find(kClassesLabel);
  if (pos == std::string_view::npos) return 5;
  std::string_view rest = TrimBlanks(line.substr(pos + kClassesLabel.size()));
  const auto end = rest.find_first_of(" \t");
  auto k = ParseFileInteger(rest.substr(0, end));
  if (!k || *k < 1) return 5;
  return *k > 50 ? 50 : *k;
}

// The count of data that line 8 states, when it states one.
std::optional<int> DataCountOfLine8(std::string_view line) {
  const auto pos = line.find(kDataLabel);
  if (pos == std::string_view::npos) return std::nullopt;
  const std::string_view rest = TrimBlanks(line.substr(pos + kDataLabel.size()));
  return ParseFileInteger(rest.substr(0, rest.find_first_of(" \t")));
}

}  // namespace

bool ParseDataLine(std::string_view line, int& serial, double& value) {
  std::string_view tokens[3];
  int count = 0;
  std::size_t i = 0;
  while (i < line.size() && count < 3) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i == line.size()) break;
    std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    tokens[count++] = line.substr(start, i - start);
  }
  if (count != 2) return false;
  auto s = ParseFileInteger(tokens[0]);
  auto v = ParseFileReal(tokens[1]);
  if (!s || !v) return false;
  serial = *s;
  value = *v;
  return true;
}

void TDMTavorix::DataModuleCreate() { FileName = std::filesystem::current_path().string(); }

void TDMTavorix::ThrowProgramError(const std::string& message) {
  throw TavorixError(std::string(ProgramErrorPrefix) + message);
}

void TDMTavorix::ReadInputFile() { ReadInputText(ReadTextFile(FileName), FileName); }

void TDMTavorix::ReadInputFile(std::istream& in, const std::string& path) {
  std::ostringstream text;
  text << in.rdbuf();
  ReadInputText(text.view(), path);
}

void TDMTavorix::ReadInputText(std::string_view text, const std::string& path) {
  const auto invalid = [&] { return TavorixError(InvalidRealsErrorText(path)); };
  LineCursor cursor(text);
  // Lines 1-10 must be there, even in the older layout (line 10 empty).
  LineSet header;
  for (std::string_view line; header.size() < 10 && cursor.Next(line);) header.emplace_back(line);
  if (header.size() < 10) throw invalid();

  // Everything is read into locals and applied only when the whole file is good.
  const auto title = [](const std::string& l) { return l.empty() ? std::string() : l.substr(1); };
  std::string title1 = title(header[3]);
  std::string title2 = title(header[4]);
  const int classes = ClassesFromLine8(header[7]);
  const std::optional<int> stated = DataCountOfLine8(header[7]);
  const std::string& line10 = header[9];
  const bool composite = line10.compare(0, 3, " Co") == 0;
  // The older layout has no composite line: its line 10 is empty and the data
  // start on line 14 instead of 15.
  const std::size_t firstData = TrimBlanks(line10).empty() ? 14 : 15;
  std::string_view line;
  while (cursor.Number() + 1 < firstData)
    if (!cursor.Next(line)) throw invalid();

  // Every data line is a datum; empty lines among them are no data.
  DataArrayI serials;
  DataArrayR values;
  while (cursor.Next(line)) {
    if (TrimBlanks(line).empty()) continue;
    int serial = 0;
    double value = 0;
    if (!ParseDataLine(line, serial, value))
      throw TavorixError(InvalidRealsErrorText(path) + "\n" + DataLineDetail(cursor.Number(), line));
    if (value <= -1000000.0) throw TavorixError(ValueTooLowText(value));
    serials.push_back(serial);
    values.push_back(value);
  }

  Title1 = std::move(title1);
  Title2 = std::move(title2);
  NrOfClasses = classes;
  CompositeAllowed = composite;
  Serials = std::move(serials);
  Values = std::move(values);
  RemoveFlags.assign(Values.size(), 0);
  NrOfData = static_cast<std::int32_t>(Values.size());
  ReadNotes.clear();
  if (stated && *stated != NrOfData)
    ReadNotes.push_back("The input file says " + std::to_string(*stated) + " values but holds " +
                        std::to_string(NrOfData));
}

void TDMTavorix::WriteInputFile() {
  const std::string path = FileName;
  WriteFileAtomically(path, [this](std::ostream& out) { WriteInputFile(out); });
}

void TDMTavorix::WriteInputFile(std::ostream& out) {
  const auto n = static_cast<std::size_t>(NrOfData > 0 ? NrOfData : 0);
  if (Values.size() < n) ThrowProgramError("Real numbers in the inputfile \"" + FileName + "\" are invalid");
  // The count on line 8 is that of the kept data; it is computed before
  // writing instead of writing the file twice. The bytes are the same.
  std::int32_t kept = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const bool removed = i < RemoveFlags.size() && RemoveFlags[i] == 1;
    if (removed) continue;
    if (!std::isfinite(static_cast<double>(Values[i])))
      ThrowProgramError("Real numbers in the inputfile \"" + FileName + "\" are invalid");
    ++kept;
  }

  const char* eol = "\r\n";
  out << " Input data for Tavorix program" << eol
      << " Cumulative frequency analysis" << eol
      << eol
      << ' ' << OneLine(Title1) << eol
      << ' ' << OneLine(Title2) << eol
      << eol
      << " Filename: " << VisibleText(FileName) << eol
      << " Number of data: " << FormatInt(kept) << "  Number of classes :  " << FormatInt(NrOfClasses) << eol
      << " Threshold: not used" << eol
      << (CompositeAllowed ? kCompositeAllowed : kNoComposite) << eol
      << eol
      << " ------------------" << eol
      << " Serial    Variable" << eol
      << " ------------------" << eol;
  int serial = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (i < RemoveFlags.size() && RemoveFlags[i] == 1) continue;
    out << FormatInt(++serial, 5) << ' ' << FormatInputValue(static_cast<double>(Values[i])) << eol;
  }
  NrOfData = kept;
}

}  // namespace tavorix
