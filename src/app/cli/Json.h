#pragma once
// A small JSON writer for the machine-readable output of tavorix-cli.
// Objects and arrays are opened and closed explicitly; commas and
// indentation are handled here. Numbers are written locale-free in their
// shortest form that reads back to the same double; NaN and infinities,
// which JSON cannot hold, are written as null.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tavorix::cli {

class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}

  void BeginObject(std::string_view key = {});
  void EndObject();
  void BeginArray(std::string_view key = {});
  void EndArray();

  void Value(std::string_view key, double v);
  void Value(std::string_view key, long long v);
  void Value(std::string_view key, int v) { Value(key, static_cast<long long>(v)); }
  void Value(std::string_view key, bool v);
  void Value(std::string_view key, std::string_view v);
  void Value(std::string_view key, const char* v) { Value(key, std::string_view(v)); }
  void Value(std::string_view key, const std::string& v) { Value(key, std::string_view(v)); }

  // Finishes the document with a line end.
  void Finish();

  static std::string Quote(std::string_view s);

 private:
  void Key(std::string_view key);
  void Open(std::string_view key, char bracket);
  void Close(char bracket);

  std::ostream& out_;
  std::vector<bool> first_;   // per open level: nothing written yet
  std::vector<bool> inline_;  // per open level: written on one line
};

}  // namespace tavorix::cli
