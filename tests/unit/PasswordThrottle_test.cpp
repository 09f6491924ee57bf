// The waits after wrong passwords in a row: when they start, how long they last, what
// ends the count, and the millisecond clock's wrapping round.
#include "lockscreen/PasswordThrottle.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr uint32_t Second = 1000;
constexpr uint32_t Minute = 60 * Second;

// One entry judged At milliseconds after the start, and what follows from it.
struct Step {
    TEntry Entry;
    uint32_t At;
    TVerdict Verdict;
    uint32_t SecondsLeft;   // right after it
};

constexpr TEntry E = TEntry::Empty, W = TEntry::Wrong, R = TEntry::Right;
constexpr TVerdict NoAttempt = TVerdict::NoAttempt, Refused = TVerdict::Refused, Opens = TVerdict::Opens;

std::vector<Step> Wrongs(int count, uint32_t at, uint32_t lastSecondsLeft)
{
    std::vector<Step> steps(count, Step{W, at, Refused, 0});
    steps.back().SecondsLeft = lastSecondsLeft;
    return steps;
}

// Wrong entries during a wait, all refused.
std::vector<Step> Refusals(int count, uint32_t at, uint32_t secondsLeft)
{
    return std::vector<Step>(count, Step{W, at, Refused, secondsLeft});
}

std::vector<Step> Join(std::initializer_list<std::vector<Step>> parts)
{
    std::vector<Step> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(PasswordThrottle, Rules)
{
    const struct {
        const char* Name;
        uint32_t Start;   // the clock's reading at the start
        std::vector<Step> Steps;
    } cases[] = {
        {"fewer than five wrong ones never wait", 5000, Join({Wrongs(4, 0, 0), {{R, 0, Opens, 0}}})},
        {"the fifth wrong one starts 30 s", 5000, Wrongs(5, 0, 30)},
        {"the tenth one 60 s", 5000, Join({Wrongs(5, 0, 30), Wrongs(5, 30 * Second, 60)})},
        {"doubling up to 15 min", 5000,
         Join({Wrongs(5, 0, 30), Wrongs(5, 30 * Second, 60), Wrongs(5, 90 * Second, 120),
               Wrongs(5, 210 * Second, 240), Wrongs(5, 450 * Second, 480), Wrongs(5, 930 * Second, 900),
               Wrongs(5, 1830 * Second, 900)})},
        {"wrong ones 6 to 9 after a wait are judged, the tenth waits", 0,
         Join({Wrongs(5, 0, 30), Wrongs(4, 30 * Second, 0), {{W, 40 * Second, Refused, 60}}})},
        {"during the wait every wrong entry is refused, none counts", 0,
         Join({Wrongs(5, 0, 30), Refusals(50, 1, 30), Refusals(50, 29 * Second + 999, 1),
               Wrongs(5, 30 * Second, 60)})},
        {"the right one is refused to the last millisecond of the wait", 0,
         Join({Wrongs(5, 0, 30), {{R, 29 * Second + 999, Refused, 1}, {R, 30 * Second, Opens, 0}}})},
        {"the right one during the wait neither opens nor clears the count", 0,
         Join({Wrongs(5, 0, 30), {{R, 10 * Second, Refused, 20}}, Wrongs(5, 30 * Second, 60)})},
        {"the right one clears the count and the doubling", 0,
         Join({Wrongs(5, 0, 30), Wrongs(4, 30 * Second, 0), {{R, 30 * Second, Opens, 0}},
               Wrongs(4, 31 * Second, 0), {{W, 31 * Second, Refused, 30}}})},
        {"an empty entry is no attempt, also during the wait", 0,
         Join({Wrongs(4, 0, 0), {{E, 0, NoAttempt, 0}, {E, 0, NoAttempt, 0}, {W, 0, Refused, 30}},
               {{E, 10 * Second, NoAttempt, 20}}})},
        {"seconds left are rounded up", 0,
         {{W, 0, Refused, 0}, {W, 0, Refused, 0}, {W, 0, Refused, 0}, {W, 0, Refused, 0}, {W, 0, Refused, 30},
          {E, 1, NoAttempt, 30}, {E, 999, NoAttempt, 30}, {E, 1000, NoAttempt, 29}, {E, 29001, NoAttempt, 1},
          {E, 29999, NoAttempt, 1}, {E, 30000, NoAttempt, 0}}},
        {"a wait across the clock's wrapping round", 0xFFFFFFFFu - 10 * Second,
         Join({Wrongs(5, 0, 30), {{R, 10 * Second, Refused, 20}, {R, 10 * Second + 1, Refused, 20},
                                  {R, 29 * Second + 1, Refused, 1}, {R, 30 * Second, Opens, 0}}})},
        {"an ended wait does not come back when the clock has gone round (2^32 ms on)", 0,
         Join({Wrongs(5, 0, 30), {{E, 31 * Second, NoAttempt, 0}, {W, 10 * Second, Refused, 0}}})},
    };
    for (const auto& c : cases) {
        TPasswordThrottle throttle;
        for (size_t i = 0; i < c.Steps.size(); ++i) {
            const Step& step = c.Steps[i];
            uint32_t now = c.Start + step.At;
            const std::string where = std::string(c.Name) + ", step " + std::to_string(i + 1);
            EXPECT_EQ(throttle.Judge(step.Entry, now), step.Verdict) << where;
            EXPECT_EQ(throttle.SecondsLeft(now), step.SecondsLeft) << where;
            EXPECT_EQ(throttle.Waiting(now), step.SecondsLeft != 0) << where;
        }
    }
}

TEST(PasswordThrottle, WaitsOfEachFifthWrongOne)
{
    const uint32_t expected[] = {30 * Second, 1 * Minute, 2 * Minute, 4 * Minute, 8 * Minute,
                                 15 * Minute, 15 * Minute, 15 * Minute};
    TPasswordThrottle throttle;
    uint32_t now = 0;
    for (uint32_t wait : expected) {
        for (int i = 0; i < 5; ++i) throttle.Judge(TEntry::Wrong, now);
        EXPECT_TRUE(throttle.Waiting(now + wait - 1)) << wait;
        EXPECT_FALSE(throttle.Waiting(now + wait)) << wait;
        now += wait;
    }
    EXPECT_EQ(throttle.WrongInARow(), 40u);
}

// The figure the waits are there for: an automated loop gets few tries an hour.
TEST(PasswordThrottle, AnHourOfGuessingAsFastAsAllowed)
{
    TPasswordThrottle throttle;
    for (uint32_t now = 0; now < 60 * Minute; ++now) throttle.Judge(TEntry::Wrong, now);
    // Only judged entries count: five at the start and after each wait that ends within
    // the hour (30 + 60 + 120 + 240 + 480 + 900 + 900 s).
    EXPECT_EQ(throttle.WrongInARow(), 40u);
    EXPECT_LE(throttle.WrongInARow(), 10000u);
}

}  // namespace

// A count kept across a restart: each change is told, and a resumed count of 5 or more
// waits in full again from the restart, as long as the block it is in.
TEST(PasswordThrottle, CountToldAndResumedAfterARestart)
{
    TPasswordThrottle throttle;
    std::vector<uint32_t> told;
    throttle.CountChanged = [&](uint32_t count) { told.push_back(count); };
    throttle.Judge(E, 0);
    throttle.Judge(W, 0);
    throttle.Judge(W, 0);
    throttle.Judge(R, 0);
    throttle.Judge(R, 0);
    EXPECT_EQ(told, (std::vector<uint32_t>{1, 2, 0})) << "told only what changed";

    const struct {
        uint32_t Count, SecondsLeft;
    } cases[] = {{0, 0}, {4, 0}, {5, 30}, {7, 30}, {10, 60}, {15, 120}, {1000, 900}};
    for (const auto& c : cases) {
        TPasswordThrottle resumed;
        resumed.Resume(c.Count, 5 * Minute);
        EXPECT_EQ(resumed.WrongInARow(), c.Count);
        EXPECT_EQ(resumed.SecondsLeft(5 * Minute), c.SecondsLeft) << c.Count << " wrong ones";
        EXPECT_EQ(resumed.Judge(R, 5 * Minute), c.SecondsLeft ? Refused : Opens) << c.Count << " wrong ones";
    }
    TPasswordThrottle resumed;
    resumed.Resume(4, 0);
    EXPECT_EQ(resumed.Judge(W, 0), Refused);
    EXPECT_EQ(resumed.SecondsLeft(0), 30u) << "the fifth in a row counts the resumed four";
}
