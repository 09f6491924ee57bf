// How flags, integers and floating-point values are written as setting texts
// and read back. Reading never throws: a text that is not a value gives the
// caller's default.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Flags: "1" is on; every other text, the empty one included, is off.
bool ReadFlag(const std::string& text);
std::string FlagText(bool on);

// Integers are read as "0" followed by the text, so an empty text is 0 and
// only plain decimal digits form a number (no sign, no blanks). Values
// outside the 32-bit signed range are not numbers.
std::optional<int32_t> ParseInteger(const std::string& text);
int32_t ReadInteger(const std::string& text, int32_t defaultValue);
std::string IntegerText(int64_t value);

// Floating-point values: up to 15 significant digits, '.' as the separator
// whatever the C locale is. Read back as "0" followed by the text, as for
// integers; infinities, NaN and magnitudes a double cannot hold are not
// numbers (so the text of the very largest doubles, rounded up past DBL_MAX,
// reads as the default). Infinities and NaN write as "INF", "-INF", "NAN".
std::optional<double> ParseFloat(const std::string& text);
double ReadFloat(const std::string& text, double defaultValue);
std::string FloatText(double value);

// A time of day is a fraction of a day written as a float.
inline double ReadTimeOfDay(const std::string& text, double defaultValue) { return ReadFloat(text, defaultValue); }
inline std::string TimeOfDayText(double fractionOfDay) { return FloatText(fractionOfDay); }
