#include "Json.h"

#include <cmath>
#include <cstdio>

#include "core/NumberFormat.h"
#include "core/TextEscape.h"

namespace tavorix::cli {

std::string JsonWriter::Quote(std::string_view text) {
  // Bytes that are not UTF-8 (a Latin-1 file name) would make the document unreadable.
  const std::string s = ValidUtf8(text);
  std::string q = "\"";
  for (char c : s) {
    switch (c) {
      case '"': q += "\\\""; break;
      case '\\': q += "\\\\"; break;
      case '\n': q += "\\n"; break;
      case '\r': q += "\\r"; break;
      case '\t': q += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
          q += buf;
        } else {
          q += c;
        }
    }
  }
  return q + "\"";
}

void JsonWriter::Key(std::string_view key) {
  if (!first_.empty()) {
    if (!first_.back()) out_ << ',';
    first_.back() = false;
    if (inline_.back())
      out_ << (key.empty() ? "" : " ");
    else
      out_ << '\n' << std::string(2 * first_.size(), ' ');
  }
  if (!key.empty()) out_ << Quote(key) << ": ";
}

void JsonWriter::Open(std::string_view key, char bracket) {
  Key(key);
  out_ << bracket;
  // Objects inside arrays (rows of a table) stay on one line each.
  const bool insideArray = !inline_.empty() && key.empty();
  first_.push_back(true);
  inline_.push_back(insideArray || (!inline_.empty() && inline_.back()));
}

void JsonWriter::Close(char bracket) {
  const bool wasInline = inline_.back();
  const bool empty = first_.back();
  first_.pop_back();
  inline_.pop_back();
  if (!empty) {
    if (wasInline)
      out_ << ' ';
    else
      out_ << '\n' << std::string(2 * first_.size(), ' ');
  }
  out_ << bracket;
}

void JsonWriter::BeginObject(std::string_view key) { Open(key, '{'); }
void JsonWriter::EndObject() { Close('}'); }
void JsonWriter::BeginArray(std::string_view key) { Open(key, '['); }
void JsonWriter::EndArray() { Close(']'); }

void JsonWriter::Value(std::string_view key, double v) {
  Key(key);
  out_ << (std::isfinite(v) ? FormatShortest(v) : std::string("null"));
}

void JsonWriter::Value(std::string_view key, long long v) {
  Key(key);
  out_ << FormatInt(v);
}

void JsonWriter::Value(std::string_view key, bool v) {
  Key(key);
  out_ << (v ? "true" : "false");
}

void JsonWriter::Value(std::string_view key, std::string_view v) {
  Key(key);
  out_ << Quote(v);
}

void JsonWriter::Finish() { out_ << '\n'; }

}  // namespace tavorix::cli
