// Text encodings of setting values. std::from_chars/std::to_chars are used
// because they never consult the C locale.
#include "settings/SettingCodec.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace {

const char FlagOnText[] = "1";
const char FlagOffText[] = "0";

// Readers prepend this so that a missing value reads as zero.
const char ReadPrefix = '0';

// The general format switches to the exponent form below 1E-4 and from
// 1E15 on (the exponent X of the value rounded to 15 digits: X < -4 or
// X >= 15), as "%.15G" does.
const int SignificantDigits = 15;
const int SmallestFixedExponent = -4;

template <typename Number>
std::optional<Number> ParseWithPrefix(const std::string& text)
{
    const std::string prefixed = ReadPrefix + text;
    const char* first = prefixed.data();
    const char* last = first + prefixed.size();
    Number value{};
    const std::from_chars_result result = std::from_chars(first, last, value);
    // Anything from_chars leaves unread (a sign after the prefix, a blank,
    // junk) makes the whole text not a number.
    if (result.ec != std::errc() || result.ptr != last)
        return std::nullopt;
    return value;
}

} // namespace

bool ReadFlag(const std::string& text) { return text == FlagOnText; }

std::string FlagText(bool on) { return on ? FlagOnText : FlagOffText; }

std::optional<int32_t> ParseInteger(const std::string& text) { return ParseWithPrefix<int32_t>(text); }

int32_t ReadInteger(const std::string& text, int32_t defaultValue)
{
    return ParseInteger(text).value_or(defaultValue);
}

std::string IntegerText(int64_t value) { return std::to_string(value); }

std::optional<double> ParseFloat(const std::string& text)
{
    const std::optional<double> value = ParseWithPrefix<double>(text);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

double ReadFloat(const std::string& text, double defaultValue) { return ParseFloat(text).value_or(defaultValue); }

std::string FloatText(double value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0)
        return "0"; // also for -0: a sign on zero means nothing to a setting

    // d.dddddddddddddde[+-]x, correctly rounded to 15 significant digits.
    char buffer[64];
    const std::to_chars_result result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, SignificantDigits - 1);
    const std::string scientific(buffer, result.ptr);

    const bool negative = scientific[0] == '-';
    const std::size_t mantissaStart = negative ? 1 : 0;
    const std::size_t exponentMark = scientific.find('e');
    std::string digits = scientific.substr(mantissaStart, 1) +
                         scientific.substr(mantissaStart + 2, exponentMark - mantissaStart - 2);
    const char exponentSign = scientific[exponentMark + 1];
    int exponent = 0;
    std::from_chars(scientific.data() + exponentMark + 2, scientific.data() + scientific.size(), exponent);
    if (exponentSign == '-')
        exponent = -exponent;
    digits.erase(digits.find_last_not_of('0') + 1);

    std::string text = negative ? "-" : "";
    if (exponent < SmallestFixedExponent || exponent >= SignificantDigits) {
        text += digits[0];
        if (digits.size() > 1)
            text += '.' + digits.substr(1);
        text += 'E' + std::to_string(exponent);
    } else if (exponent < 0) {
        text += "0." + std::string(-exponent - 1, '0') + digits;
    } else {
        const std::size_t integerDigits = exponent + 1;
        if (digits.size() <= integerDigits) {
            text += digits + std::string(integerDigits - digits.size(), '0');
        } else {
            text += digits.substr(0, integerDigits) + '.' + digits.substr(integerDigits);
        }
    }
    return text;
}
