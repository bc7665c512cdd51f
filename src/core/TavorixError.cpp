#include "core/TavorixError.h"

#include "core/NumberFormat.h"

namespace tavorix {

std::string FileOpenErrorText(std::string_view path) {
  std::string s = "The file \"";
  s += path;
  s += "\"could not be opened. It may be in use by another program";
  return s;
}

std::string InvalidRealsErrorText(std::string_view path) {
  std::string s(ProgramErrorPrefix);
  s += "Real numbers in the inputfile \"";
  s += path;
  s += "\" are invalid";
  return s;
}

std::string ValueTooLowText(double value) {
  return "The data value " + FormatGeneral(value) +
         " is at or below -1000000, the lowest value that can be analysed. Input is invalid.";
}

}  // namespace tavorix
