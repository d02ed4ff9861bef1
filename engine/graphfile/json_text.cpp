#include "engine/graphfile/json_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace noisebind::graphfile {

std::string NumberText(double value) {
  std::string text;
  AppendNumber(&text, value);
  return text;
}

void AppendNumber(std::string* out, double value) {
  if (std::isnan(value)) {
    out->append("nan");
  } else if (std::isinf(value)) {
    out->append(value > 0 ? "inf" : "-inf");
  } else if (value == 0.0 && std::signbit(value)) {
    out->append("-0.0");
  } else {
    char text[32];
    const std::to_chars_result result = std::to_chars(text, text + sizeof text, value);
    out->append(text, result.ptr);
  }
}

bool IsUtf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t i = 0;
  while (i < size) {
    const unsigned lead = bytes[i];
    std::size_t length = 0;
    std::uint32_t code = 0;
    std::uint32_t least = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if ((lead & 0xe0) == 0xc0) {
      length = 2, code = lead & 0x1f, least = 0x80;
    } else if ((lead & 0xf0) == 0xe0) {
      length = 3, code = lead & 0x0f, least = 0x800;
    } else if ((lead & 0xf8) == 0xf0) {
      length = 4, code = lead & 0x07, least = 0x10000;
    } else {
      return false;
    }
    if (size - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((bytes[i + k] & 0xc0) != 0x80) return false;
      code = code << 6 | (bytes[i + k] & 0x3f);
    }
    // Overlong forms, surrogates and code points past Unicode's last.
    if (code < least || (code >= 0xd800 && code <= 0xdfff) || code > 0x10ffff) return false;
    i += length;
  }
  return true;
}

void AppendString(std::string* out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out->push_back('"');
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out->push_back('\\');
      out->push_back(c);
    } else if (byte < 0x20) {
      const char* named = c == '\n' ? "\\n" : c == '\t' ? "\\t" : c == '\r' ? "\\r" : nullptr;
      if (named != nullptr) {
        out->append(named);
      } else {
        out->append("\\u00");
        out->push_back(kHex[byte >> 4]);
        out->push_back(kHex[byte & 15]);
      }
    } else {
      out->push_back(c);
    }
  }
  out->push_back('"');
}

}  // namespace noisebind::graphfile
