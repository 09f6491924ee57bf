// The screen-saver module's answer to each of the system's requests in each state of the
// control program.
#include "screensaver/ScreenSaverAnswer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using screensaver::AnswerRequest;
using screensaver::TAnswer;
using screensaver::TBox;

enum class State { NotRunning, Running, LockUp };

const char* Name(State state)
{
    switch (state) {
    case State::NotRunning: return "control program not running";
    case State::Running: return "control program running";
    case State::LockUp: return "lock window up";
    }
    return "?";
}

struct Outcome {
    TAnswer Answer;
    int LockQueries = 0;
};

Outcome Answer(const std::string& parameter, State state)
{
    Outcome outcome;
    outcome.Answer = AnswerRequest(parameter, state != State::NotRunning, [&] {
        ++outcome.LockQueries;
        return state == State::LockUp;
    });
    return outcome;
}

struct Expected {
    bool Sent;
    TBox Box;
};

constexpr Expected Nothing{false, TBox::None};
constexpr Expected Request{true, TBox::None};
constexpr Expected NotExecuted{false, TBox::NotExecuted};
constexpr Expected Configure{false, TBox::NothingToConfigure};
constexpr Expected RequestAndConfigure{true, TBox::NothingToConfigure};

}  // namespace

TEST(ScreenSaverAnswer, EachRequestInEachState)
{
    const struct {
        const char* Parameter;
        Expected NotRunning, Running, LockUp;
    } cases[] = {
        {"/s", Nothing, Request, Nothing},
        {"/S", Nothing, Request, Nothing},
        {"-s", Nothing, Request, Nothing},
        {"s", Nothing, Request, Nothing},
        {"/p", NotExecuted, Nothing, Nothing},
        {"/P", NotExecuted, Nothing, Nothing},
        {"/c", Nothing, Configure, Configure},
        {"/C", Nothing, Configure, Configure},
        {"/c:1234", Nothing, Configure, Configure},
        {"/sc", Nothing, RequestAndConfigure, Configure},
        {"/a", Nothing, Nothing, Nothing},
        {"/x", Nothing, Nothing, Nothing},
        {"", Nothing, Nothing, Nothing},
        // Only the three letters count, wherever they are.
        {"/ps", NotExecuted, Request, Nothing},
        {"1234", Nothing, Nothing, Nothing},
        {"/preview", NotExecuted, Nothing, Nothing},
    };
    for (const auto& c : cases) {
        for (State state : {State::NotRunning, State::Running, State::LockUp}) {
            SCOPED_TRACE(std::string("\"") + c.Parameter + "\", " + Name(state));
            const Expected& expected =
                state == State::NotRunning ? c.NotRunning : state == State::Running ? c.Running : c.LockUp;
            const TAnswer answer = Answer(c.Parameter, state).Answer;
            EXPECT_EQ(answer.SendLockRequest, expected.Sent);
            EXPECT_EQ(answer.Box, expected.Box);
        }
    }
}

TEST(ScreenSaverAnswer, TheLockIsLookedForOnlyForARunRequestToARunningProgram)
{
    EXPECT_EQ(Answer("/s", State::NotRunning).LockQueries, 0);
    EXPECT_EQ(Answer("/s", State::Running).LockQueries, 1);
    EXPECT_EQ(Answer("/S", State::LockUp).LockQueries, 1);
    EXPECT_EQ(Answer("/sc", State::LockUp).LockQueries, 1);
    for (const char* parameter : {"/p", "/c", "/c:1234", "/a", "/x", ""}) {
        SCOPED_TRACE(parameter);
        EXPECT_EQ(Answer(parameter, State::Running).LockQueries, 0);
        EXPECT_EQ(Answer(parameter, State::LockUp).LockQueries, 0);
    }
}
