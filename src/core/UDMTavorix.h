#pragma once
// The data module: the one data series of the program, its settings and the
// current file name, and the input file (".inp") in which it is saved.

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "core/TextLines.h"

namespace tavorix {

using DataArrayR = std::vector<long double>;
using DataArrayI = std::vector<std::int32_t>;
using RemoveSet = std::vector<std::uint8_t>;
// LineSet (a dynamic array of strings) comes from TextLines.h.

// One data line of an input file: serial number and value separated by
// blanks. Returns false when the line does not hold exactly these two numbers.
bool ParseDataLine(std::string_view line, int& serial, double& value);

class TDMTavorix {
 public:
  std::string FileName;
  std::string Title1;
  std::string Title2;
  DataArrayI Serials;         // 0-based
  DataArrayR Values;          // 0-based, input order
  DataArrayR RankedValues;    // 1-based, written by data preparation
  double Threshold = -1000000.0;
  double AvAbsDiff = 0;
  RemoveSet RemoveFlags;      // 1 = empty grid cell, left out when written
  std::int32_t NrOfData = 0;
  std::int32_t NrOfClasses = 5;
  std::string NrOfClassesText = "5";
  std::string SelectionCode = "1";  // up to 4 characters; "1" = best of all
  bool CompositeAllowed = false;
  // Warnings of the last ReadInputFile for the user: a count on line 8 that
  // differs from the data lines read.
  std::vector<std::string> ReadNotes;

  // Sets FileName to the current working directory.
  void DataModuleCreate();

  // Reads FileName: every data line is a datum (empty lines among them are
  // none), whatever line 8 says. On failure throws TavorixError (open
  // failure, not a regular file, or a data line that is not a serial number
  // and a real, named on a second line) and leaves the series exactly as it
  // was.
  void ReadInputFile();
  // Reads an input file from a stream or a text; path only names the file in messages.
  void ReadInputFile(std::istream& in, const std::string& path);
  void ReadInputText(std::string_view text, const std::string& path);

  // Writes the series to FileName atomically. Removed data are skipped,
  // the others renumbered, and NrOfData is reduced by the number skipped.
  void WriteInputFile();
  void WriteInputFile(std::ostream& out);

 private:
  // A fatal data error: "A program error occurred." directly followed by the
  // message. Thrown as TavorixError so that the caller decides what to show.
  [[noreturn]] static void ThrowProgramError(const std::string& message);
};

}  // namespace tavorix
