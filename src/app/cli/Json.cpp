#include "Json.h"

#include <string>

#include "core/NumberFormat.h"
#include "core/TextEscape.h"

namespace tavorix::cli {

namespace {

std::string Quoted(const std::string& text) {
  return Json(ValidUtf8(text)).dump(-1, ' ', false, Json::error_handler_t::replace);
}

// inlineLevel: the value is written on one line (it is, or is inside, an
// element of an array).
void Write(std::ostream& out, const Json& value, int depth, bool inlineLevel) {
  switch (value.type()) {
    case Json::value_t::object:
    case Json::value_t::array: {
      const bool isObject = value.is_object();
      const bool inlineItems = inlineLevel || !isObject;
      out << (isObject ? '{' : '[');
      bool first = true;
      for (auto it = value.begin(); it != value.end(); ++it) {
        if (!first) out << ',';
        first = false;
        if (inlineLevel)
          out << (isObject ? " " : "");
        else
          out << '\n' << std::string(2 * (depth + 1), ' ');
        if (isObject) out << Quoted(it.key()) << ": ";
        Write(out, *it, depth + 1, inlineItems);
      }
      if (!value.empty()) {
        if (inlineLevel)
          out << ' ';
        else
          out << '\n' << std::string(2 * depth, ' ');
      }
      out << (isObject ? '}' : ']');
      break;
    }
    case Json::value_t::string: out << Quoted(value.get_ref<const std::string&>()); break;
    case Json::value_t::number_float: {
      const double v = value.get<double>();
      out << (std::isfinite(v) ? FormatShortest(v) : std::string("null"));
      break;
    }
    case Json::value_t::number_integer: out << FormatInt(value.get<long long>()); break;
    case Json::value_t::number_unsigned: out << std::to_string(value.get<unsigned long long>()); break;
    case Json::value_t::boolean: out << (value.get<bool>() ? "true" : "false"); break;
    default: out << "null"; break;
  }
}

}  // namespace

void WriteJson(std::ostream& out, const Json& document) {
  Write(out, document, 0, false);
  out << '\n';
}

}  // namespace tavorix::cli
