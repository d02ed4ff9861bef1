// The pieces of JSON text the encoder writes itself, so that every number
// has one form: the shortest that reads back to the same double.
#ifndef NOISEBIND_OBJECTS_GRAPHFILE_JSON_TEXT_H
#define NOISEBIND_OBJECTS_GRAPHFILE_JSON_TEXT_H

#include <string>
#include <string_view>

namespace noisebind::graphfile {

// The shortest decimal text that reads back to `value`'s bits ("0.1",
// "5e-324", "1.7976931348623157e+308"); negative zero is "-0.0", since JSON
// readers take "-0" for the integer 0. Infinities and NaN, which JSON
// cannot hold, are "inf", "-inf" and "nan" (for messages only).
std::string NumberText(double value);
void AppendNumber(std::string* out, double value);

// Whether `text` is well-formed UTF-8 (JSON text is).
bool IsUtf8(std::string_view text);

// `text` (well-formed UTF-8) as a JSON string, quotes included.
void AppendString(std::string* out, std::string_view text);

}  // namespace noisebind::graphfile

#endif  // NOISEBIND_OBJECTS_GRAPHFILE_JSON_TEXT_H
