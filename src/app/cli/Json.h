#pragma once
// The machine-readable output of tavorix-cli: a document is built as an
// nlohmann::ordered_json (keys in the order they are set) and written here.
// Objects are written one key a line, indented by two spaces a level; an
// object or array inside an array (a row of a table) stays on one line.
// Numbers are written locale-free in their shortest form that reads back to
// the same double; NaN and infinities, which JSON cannot hold, as null.
// Strings are escaped by nlohmann, after bytes that are not UTF-8 (a Latin-1
// file name) were replaced with U+FFFD.

#include <cmath>
#include <optional>
#include <ostream>

#include <nlohmann/json.hpp>

namespace tavorix::cli {

using Json = nlohmann::ordered_json;

// A value that may be missing: null where it is.
template <class T>
double JsonNumber(const std::optional<T>& v) {
  return v ? static_cast<double>(*v) : NAN;
}

// Writes the document followed by a line end.
void WriteJson(std::ostream& out, const Json& document);

}  // namespace tavorix::cli
