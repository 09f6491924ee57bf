// A log-off ends its own session only; the service's stop ends them all.
#include "guard/SessionEnds.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr uint32_t NoSession = TSessionEnds::NoSession;

TEST(SessionEnds, WhichSessionsEnd)
{
    const struct {
        const char* Name;
        std::function<void(TSessionEnds&)> Heard;
        uint32_t Session;
        bool Ending;
    } cases[] = {
        {"nothing heard", [](TSessionEnds&) {}, 1, false},
        {"its own log-off", [](TSessionEnds& s) { s.LoggingOff(1); }, 1, true},
        {"another user's log-off", [](TSessionEnds& s) { s.LoggingOff(2); }, 1, false},
        {"logged on anew after its log-off", [](TSessionEnds& s) { s.LoggingOff(1), s.LoggedOn(1); }, 1, false},
        {"another logs on after its log-off", [](TSessionEnds& s) { s.LoggingOff(1), s.LoggedOn(2); }, 1, true},
        {"the one that logs on after a log-off", [](TSessionEnds& s) { s.LoggingOff(1), s.LoggedOn(2); }, 2, false},
        {"a later log-off of another", [](TSessionEnds& s) { s.LoggingOff(1), s.LoggingOff(2); }, 2, true},
        {"a session not known, at a log-off", [](TSessionEnds& s) { s.LoggingOff(1); }, NoSession, false},
        {"the service stops", [](TSessionEnds& s) { s.ServiceStops(); }, 1, true},
        {"the service stops, a session not known", [](TSessionEnds& s) { s.ServiceStops(); }, NoSession, true},
        {"a logon does not undo the stop", [](TSessionEnds& s) { s.ServiceStops(), s.LoggedOn(1); }, 1, true},
    };
    for (const auto& c : cases) {
        TSessionEnds ends;
        c.Heard(ends);
        EXPECT_EQ(ends.Ending(c.Session), c.Ending) << c.Name;
    }
}

}  // namespace
