// Setting texts: flags, integers and floats, both ways.
#include "settings/SettingCodec.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

TEST(SettingCodecFlag, OnlyExactlyOneIsOn)
{
    const struct {
        std::string Text;
        bool On;
    } cases[] = {
        {"1", true},      {"0", false},  {"", false},  {" 1", false}, {"1 ", false},
        {"true", false},  {"01", false}, {"2", false}, {"-1", false}, {"11", false},
        {"TRUE", false},  {"yes", false}, {std::string("1\0", 2), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadFlag(c.Text), c.On) << "text \"" << c.Text << "\"";
}

TEST(SettingCodecFlag, WritesOneAndZero)
{
    EXPECT_EQ(FlagText(true), "1");
    EXPECT_EQ(FlagText(false), "0");
    EXPECT_TRUE(ReadFlag(FlagText(true)));
    EXPECT_FALSE(ReadFlag(FlagText(false)));
}

struct IntegerCase {
    std::string Text;
    std::optional<int32_t> Value;
};

std::vector<IntegerCase> IntegerCases()
{
    return {
        {"", 0},
        {"0", 0},
        {"7", 7},
        {"42", 42},
        {"007", 7},
        {"0000000000000000000000000042", 42},
        {std::string(5000, '0') + "42", 42},
        {"2147483647", INT32_MAX},
        {"02147483647", INT32_MAX},
        {"2147483648", std::nullopt},
        {"4294967296", std::nullopt},
        {"4294967338", std::nullopt}, // 2^32 + 42: must not wrap round to 42
        {"99999999999999999999", std::nullopt},
        {std::string(5000, '9'), std::nullopt},
        {std::string(200000, '1'), std::nullopt},
        {"-5", std::nullopt},
        {"+5", std::nullopt},
        {"-0", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {" ", std::nullopt},
        {"5x", std::nullopt},
        {"x5", std::nullopt},
        {"abc", std::nullopt},
        {"1.5", std::nullopt},
        {"1e3", std::nullopt},
        {"x10", std::nullopt},
        {"$10", std::nullopt},
        {"1,000", std::nullopt},
        {"\t1", std::nullopt},
        {std::string("1\0", 2), std::nullopt},
    };
}

TEST(SettingCodecInteger, ParsesPlainDecimalDigitsOnly)
{
    for (const IntegerCase& c : IntegerCases())
        EXPECT_EQ(ParseInteger(c.Text), c.Value) << "text \"" << c.Text.substr(0, 40) << "\"";
}

TEST(SettingCodecInteger, NotANumberReadsAsTheDefault)
{
    for (const int32_t fallback : {-1, 0, 12345}) {
        for (const IntegerCase& c : IntegerCases())
            EXPECT_EQ(ReadInteger(c.Text, fallback), c.Value.value_or(fallback))
                << "text \"" << c.Text.substr(0, 40) << "\"";
    }
}

TEST(SettingCodecInteger, WritesDecimal)
{
    const struct {
        int64_t Value;
        const char* Text;
    } cases[] = {
        {0, "0"},
        {5, "5"},
        {1000, "1000"},
        {-5, "-5"},
        {INT32_MAX, "2147483647"},
        {INT32_MIN, "-2147483648"},
        {INT64_C(4294967296), "4294967296"},
        {INT64_MIN, "-9223372036854775808"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IntegerText(c.Value), c.Text);
}

TEST(SettingCodecInteger, NonNegativeValuesRoundTrip)
{
    for (const int32_t value : {0, 1, 9, 10, 99, 100, 59999, 1 << 20, INT32_MAX - 1, INT32_MAX})
        EXPECT_EQ(ReadInteger(IntegerText(value), -1), value);
}

TEST(SettingCodecFloat, WritesGeneralFormatWithFifteenDigits)
{
    const struct {
        double Value;
        const char* Text;
    } cases[] = {
        {0.375, "0.375"},
        {22.0 / 24, "0.916666666666667"},
        {0, "0"},
        {-0.0, "0"},
        {0.5, "0.5"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {2.5, "2.5"},
        {45000.75, "45000.75"},
        {0.1, "0.1"},
        {0.1 + 0.2, "0.3"},
        {1, "1"},
        {100, "100"},
        {-2.5, "-2.5"},
        {1.0 / 86400, "1.15740740740741E-5"},
        {1.0 / 24, "0.0416666666666667"},
        {123456789012345.0, "123456789012345"},
        {123456789012345.6, "123456789012346"},
        {999999999999999.0, "999999999999999"},
        {9999999999999998.0, "1E16"},
        {999999999999999.9, "1E15"}, // rounds up across the switch-over
        {1e15, "1E15"},
        {1.5e20, "1.5E20"},
        {-1.5e20, "-1.5E20"},
        {1e100, "1E100"},
        {DBL_MAX, "1.79769313486232E308"},
        {0.0001, "0.0001"},
        {0.00012345, "0.00012345"},
        {std::nextafter(0.0001, 0.0), "0.0001"}, // rounds up across the switch-over
        {9.9e-5, "9.9E-5"},
        {1e-5, "1E-5"},
        {1e-6, "1E-6"},
        {-1e-6, "-1E-6"},
        {1.0 / 3 * 1e-5, "3.33333333333333E-6"},
        {1.234e-300, "1.234E-300"},
        {5e-324, "4.94065645841247E-324"},
        {std::numeric_limits<double>::infinity(), "INF"},
        {-std::numeric_limits<double>::infinity(), "-INF"},
        {std::numeric_limits<double>::quiet_NaN(), "NAN"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatText(c.Value), c.Text) << "value " << c.Value;
}

TEST(SettingCodecFloat, ReadsZeroPrefixedText)
{
    const struct {
        std::string Text;
        std::optional<double> Value;
    } cases[] = {
        {"", 0.0},
        {"0", 0.0},
        {".5", 0.5},
        {"5.", 5.0},
        {".", 0.0},
        {"0.375", 0.375},
        {"45000.75", 45000.75},
        {"1E-6", 1e-6},
        {"1e-6", 1e-6},
        {"1.5E20", 1.5e20},
        {"1.5E+20", 1.5e20},
        {"E5", 0.0}, // "0E5"
        {"0." + std::string(3000, '3'), 1.0 / 3},
        {std::string(3000, '0') + "2.5", 2.5},
        {"-0.5", std::nullopt},
        {"+1", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {" ", std::nullopt},
        {"1,5", std::nullopt},
        {"1.5.2", std::nullopt},
        {"abc", std::nullopt},
        {"1x", std::nullopt},
        {"1E", std::nullopt},
        {"1E+", std::nullopt},
        {"inf", std::nullopt},
        {"INF", std::nullopt},
        {"nan", std::nullopt},
        {"NAN", std::nullopt},
        {"x1p3", std::nullopt},
        {"1E400", std::nullopt},
        {"1E-400", std::nullopt},
        {std::string(400, '9'), std::nullopt},
        {std::string("1\0", 2), std::nullopt},
    };
    for (const auto& c : cases) {
        const std::string shown = "text \"" + c.Text.substr(0, 40) + "\"";
        EXPECT_EQ(ParseFloat(c.Text), c.Value) << shown;
        EXPECT_EQ(ReadFloat(c.Text, -7.25), c.Value.value_or(-7.25)) << shown;
    }
}

TEST(SettingCodecFloat, EveryWholeSecondOfADayRoundTrips)
{
    int failures = 0;
    for (int second = 0; second < 86400 && failures < 10; ++second) {
        const double value = second / 86400.0;
        const std::string text = TimeOfDayText(value);
        const std::optional<double> readBack = ParseFloat(text);
        if (!readBack || std::fabs(*readBack - value) > 1e-15 || TimeOfDayText(*readBack) != text ||
            ReadTimeOfDay(text, -1) != *readBack) {
            ADD_FAILURE() << "second " << second << " text " << text;
            ++failures;
        }
    }
}

TEST(SettingCodecFloat, WrittenTextsAreStable)
{
    const char* texts[] = {
        "0",        "0.375",     "0.916666666666667", "45000.75",  "1E-5",
        "1.5E20",   "1E15",      "123456789012345",   "0.0001",    "9.9E-5",
        "4.94065645841247E-324",  "1.15740740740741E-5",
        "0.999988425925926",     "2958465.99998843",
    };
    for (const char* text : texts) {
        const std::optional<double> value = ParseFloat(text);
        ASSERT_TRUE(value) << text;
        EXPECT_EQ(FloatText(*value), text);
    }
}

TEST(SettingCodecFloat, ValuesComeBackWithinFifteenDigits)
{
    // Half a unit in the 15th digit, relative to a leading digit of 1.
    for (const double value : {1.0 / 7, 1e-6 / 7, 1.5e20 / 7, 3e100 / 7, 45000.75 / 7, 0.999999999}) {
        const std::optional<double> readBack = ParseFloat(FloatText(value));
        ASSERT_TRUE(readBack) << value;
        EXPECT_NEAR(*readBack, value, std::fabs(value) * 5e-15) << FloatText(value);
    }
}

// Switches the C locale to one with a decimal comma for the test's lifetime.
class DecimalCommaLocale {
public:
    DecimalCommaLocale() : Previous(std::setlocale(LC_ALL, nullptr))
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8", "fr_FR"})
            if (std::setlocale(LC_ALL, name) && *std::localeconv()->decimal_point == ',')
                return;
        std::setlocale(LC_ALL, Previous.c_str());
        Active = false;
    }
    ~DecimalCommaLocale() { std::setlocale(LC_ALL, Previous.c_str()); }
    bool Active = true;

private:
    std::string Previous;
};

TEST(SettingCodecFloat, IgnoresTheCLocale)
{
    DecimalCommaLocale locale;
    if (!locale.Active)
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    EXPECT_EQ(FloatText(2.5), "2.5");
    EXPECT_EQ(FloatText(1.5e-6), "1.5E-6");
    EXPECT_EQ(ParseFloat("2.5"), 2.5);
    EXPECT_EQ(ParseFloat("2,5"), std::nullopt);
}

TEST(SettingCodecFloat, TheLargestDoublesWriteATextBeyondReach)
{
    // Rounded up to 15 digits, DBL_MAX is larger than any double: a known
    // limit of the format, which reads as the default rather than as infinity.
    EXPECT_EQ(FloatText(DBL_MAX), "1.79769313486232E308");
    EXPECT_EQ(ReadFloat(FloatText(DBL_MAX), 1), 1);
    EXPECT_EQ(ParseFloat("1.79769313486231E308"), 1.79769313486231E308);
}

} // namespace
