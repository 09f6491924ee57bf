// A secret leaves no readable copy in the memory it held or gave up.
#include "common/Secret.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Longer than any string's inner buffer, so it lives on the heap and the buffer stays put.
const std::string Password = "correct horse battery staple, long enough for the heap";

bool AllZero(const char* bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (bytes[i] != 0) return false;
    return true;
}

TEST(Secret, WipingLeavesNoByteOfTheText)
{
    TSecret secret(Password);
    const char* buffer = secret.Get().data();
    secret.Wipe();
    EXPECT_TRUE(secret.Empty());
    EXPECT_EQ(secret.Get().data(), buffer) << "the buffer is kept, so the check reads memory still held";
    EXPECT_TRUE(AllZero(buffer, Password.size()));
}

TEST(Secret, AShorterTextLeavesNoTailOfTheLongerOne)
{
    TSecret secret(Password);
    const char* buffer = secret.Get().data();
    secret.Assign("short");
    ASSERT_EQ(secret.Get(), "short");
    ASSERT_EQ(secret.Get().data(), buffer);
    EXPECT_TRUE(AllZero(buffer + 6, Password.size() - 6));
}

TEST(Secret, FillingInPlaceKeepsWhatTheSourceWrote)
{
    TSecret secret(Password);
    secret.FillFrom(64, [](char* into, size_t most) {
        EXPECT_EQ(most, 64u);
        std::memcpy(into, "typed", 5);
        return size_t{5};
    });
    EXPECT_EQ(secret.Get(), "typed");
    TSecret copy(secret);
    EXPECT_TRUE(copy == secret);
    copy = TSecret("other");
    EXPECT_TRUE(copy != secret);
}

}  // namespace
