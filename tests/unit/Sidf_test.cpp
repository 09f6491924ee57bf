// Security identifiers written as the platform's own conversion writes them.
#include "settings/Sidf.h"

#include <gtest/gtest.h>

TEST(SidPartsText, MatchesTheStandardTextualForm)
{
    struct Case {
        SidParts sid;
        std::string text;
    };
    const std::vector<Case> cases = {
        {{{0, 0, 0, 0, 0, 5}, {18}}, "S-1-5-18"},
        {{{0, 0, 0, 0, 0, 5}, {21, 0, 0, 0, 1000}}, "S-1-5-21-0-0-0-1000"},
        {{{0, 0, 0, 0, 0, 5}, {21, 1844237615, 1957994488, 725345543, 500}}, "S-1-5-21-1844237615-1957994488-725345543-500"},
        {{{0, 0, 0, 0, 0, 1}, {0}}, "S-1-1-0"},
        {{{0, 0, 0, 0, 0, 5}, {}}, "S-1-5"},
        {{{0, 0, 0, 0, 0, 5}, {4294967295u}}, "S-1-5-4294967295"},
        // Authorities that fit 32 bits are decimal, however large.
        {{{0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, {1}}, "S-1-4294967295-1"},
        {{{0, 0, 0x12, 0x34, 0x56, 0x78}, {}}, "S-1-305419896"},
        // With either of the top two bytes set, all six bytes in lower-case hex.
        {{{0, 1, 0, 0, 0, 0}, {7}}, "S-1-0x000100000000-7"},
        {{{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}, {1, 2}}, "S-1-0x123456789abc-1-2"},
        {{{0xFF, 0, 0, 0, 0, 5}, {}}, "S-1-0xff0000000005"},
        {{{1, 0, 0, 0, 0, 0}, {2, 3}}, "S-1-0x010000000000-2-3"},
    };
    for (const auto& c : cases) EXPECT_EQ(SidPartsText(c.sid), c.text);
}
