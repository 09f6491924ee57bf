// The settings file's line grammar and its encodings, against hand-worked bytes.
#include "settings/StorageFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace storage;

namespace {

std::vector<std::string> ReadAllLines(const std::string& content, bool scrambled)
{
    std::vector<std::string> lines;
    LineReader reader(content, scrambled);
    std::string line;
    while (reader.Next(line)) lines.push_back(line);
    return lines;
}

std::string Scramble(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& line : lines) AppendScrambledLine(out, line);
    return out;
}

// Each character c at 1-based position i:  a = (c + 2i - 1) mod 256,  x = a XOR 6E,
// h = x as two upper-case hex digits,  s = (i - 1) mod 15,  group = (h[0] - s) h[1].
//
// "A=1":
//   i  c   +   a   x   h   s  group
//   1  41  +1  42  2C  2C  0  "2C"
//   2  3D  +3  40  2E  2E  1  "1E"   ('2' - 1 = '1')
//   3  31  +5  36  58  58  2  "38"   ('5' - 2 = '3')
//   -> "2C1E38!"
//
// "" -> "!"
//
// "ProfileName=Anna" (16 characters: the 16th starts the shift cycle again):
//   1  50  +1  51  3F  3F   0  "3F"
//   2  72  +3  75  1B  1B   1  "0B"
//   3  6F  +5  74  1A  1A   2  "/A"
//   4  66  +7  6D  03  03   3  "-3"
//   5  69  +9  72  1C  1C   4  "-C"
//   6  6C  +11 77  19  19   5  ",9"
//   7  65  +13 72  1C  1C   6  "+C"
//   8  4E  +15 5D  33  33   7  ",3"
//   9  61  +17 72  1C  1C   8  ")C"
//  10  6D  +19 80  EE  EE   9  "<E"
//  11  65  +21 7A  14  14  10  "'4"
//  12  3D  +23 54  3A  3A  11  "(A"
//  13  41  +25 5A  34  34  12  "'4"
//  14  6E  +27 89  E7  E7  13  "87"   ('E' - 13 = '8')
//  15  6E  +29 8B  E5  E5  14  "75"
//  16  61  +31 80  EE  EE   0  "EE"
//
// "LockPwd=a!b" (a "!" in the value is a character like any other):
//   1  4C  +1  4D  23  23   0  "23"
//   2  6F  +3  72  1C  1C   1  "0C"
//   3  63  +5  68  06  06   2  ".6"
//   4  6B  +7  72  1C  1C   3  ".C"
//   5  50  +9  59  37  37   4  "/7"
//   6  77  +11 82  EC  EC   5  "@C"
//   7  64  +13 71  1F  1F   6  "+F"
//   8  3D  +15 4C  22  22   7  "+2"
//   9  61  +17 72  1C  1C   8  ")C"
//  10  21  +19 34  5A  5A   9  ",A"
//  11  62  +21 77  19  19  10  "'9"
//
// FF FE 80 (codes that wrap past 255):
//   1  FF  +1  00  6E  6E   0  "6E"
//   2  FE  +3  01  6F  6F   1  "5F"
//   3  80  +5  85  EB  EB   2  "CB"
const std::vector<std::string> VectorLines = {
    "A=1", "", "ProfileName=Anna", "LockPwd=a!b", "\xFF\xFE\x80",
};
const std::string VectorBytes =
    "2C1E38!"
    "!"
    "3F0B/A-3-C,9+C,3)C<E'4(A'48775EE!"
    "230C.6.C/7@C+F+2)C,A'9!"
    "6E5FCB!";

}  // namespace

TEST(ScrambledEncoding, MatchesHandWorkedBytes)
{
    EXPECT_EQ(Scramble(VectorLines), VectorBytes);
}

TEST(ScrambledEncoding, DecodesHandWorkedBytes)
{
    EXPECT_EQ(ReadAllLines(VectorBytes, true), VectorLines);
}

TEST(ScrambledEncoding, RoundTripsEveryByteAtEveryShift)
{
    // 256 codes at positions 1..300 cover every offset and every shift.
    std::string line;
    for (int i = 0; i < 300; ++i) line += static_cast<char>((i * 7 + 3) & 0xFF);
    std::string encoded;
    AppendScrambledLine(encoded, line);
    ASSERT_EQ(encoded.size(), 2 * line.size() + 1);
    for (size_t i = 0; i + 1 < encoded.size(); i += 2) {
        unsigned char first = static_cast<unsigned char>(encoded[i]);
        EXPECT_GE(first, 0x22);
        EXPECT_LE(first, 0x46);
    }
    EXPECT_EQ(ReadAllLines(encoded, true), std::vector<std::string>{line});
}

TEST(ScrambledEncoding, DamagedInputDecodesToDefinedLines)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"lower-case hex digits are read", "2c1e38!", {"A=1"}},
        // A pair that is not hex counts as 0: (0 XOR 6E) - 1 = 6D.
        {"non-hex pair", "ZZ!", {"\x6D"}},
        {"half a group at the end is dropped", "2C1E3", {"A="}},
        {"last line without its end mark", "2C1E38", {"A=1"}},
        {"empty file has no lines", "", {}},
        {"only end marks", "!!!", {"", "", ""}},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadAllLines(c.bytes, true), c.lines) << c.name;
}

TEST(PlainEncoding, LinesEndWithCrLf)
{
    std::string out;
    AppendPlainLine(out, "[Options]");
    AppendPlainLine(out, "");
    AppendPlainLine(out, "BootKeys=1");
    EXPECT_EQ(out, "[Options]\r\n\r\nBootKeys=1\r\n");
    EXPECT_EQ(ReadAllLines(out, false), (std::vector<std::string>{"[Options]", "", "BootKeys=1"}));
}

TEST(PlainEncoding, ReadsLfOnlyAndAnUnendedLastLine)
{
    EXPECT_EQ(ReadAllLines("a\nb\r\nc", false), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(ReadAllLines("a\r\n\r\n", false), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(ReadAllLines("lone\rcr\r\n", false), (std::vector<std::string>{"lone\rcr"}));
}

TEST(LineGrammar, KeyAndValueParts)
{
    struct Case {
        std::string line, key, value;
    };
    const std::vector<Case> cases = {
        {"A=b=c", "A", "b=c"},
        {"  \tLockPwd=x", "LockPwd", "x"},
        {"LockPwd =x", "LockPwd ", "x"},
        {"Key= spaced ", "Key", " spaced "},
        {"no equals sign", "", ""},
        {"=value", "", "value"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeyPart(c.line), c.key) << c.line;
        EXPECT_EQ(ValuePart(c.line), c.value) << c.line;
    }
}

TEST(LineGrammar, SectionHeaders)
{
    struct Case {
        std::string line;
        bool header;
        std::string name;
    };
    const std::vector<Case> cases = {
        {"[Anna]", true, "Anna"},
        {"  [Anna]  \t", true, "Anna"},
        {"[]", true, ""},
        {"[a]b]", true, "a"},
        {"[ .Default ]", true, " .Default "},
        {"[open", false, ""},
        {"x[a]", false, ""},
        {"", false, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsSectionHeader(c.line), c.header) << c.line;
        if (c.header) {
            EXPECT_EQ(SectionNameOf(Trim(c.line)), c.name) << c.line;
        }
    }
}

TEST(LineGrammar, NamesCompareCaseInsensitiveForAsciiLettersOnly)
{
    EXPECT_TRUE(SameName("LockPwd", "lockpwd"));
    EXPECT_TRUE(SameName(".Default", ".DEFAULT"));
    EXPECT_FALSE(SameName("LockPwd", "LockPwd "));
    EXPECT_FALSE(SameName("\xC4", "\xE4"));   // A and a umlaut in Latin-1: compared exactly
    EXPECT_FALSE(SameName("[", "{"));        // 0x5B and 0x7B differ by the case bit but are no letters
    EXPECT_FALSE(SameName("@", "`"));
}
