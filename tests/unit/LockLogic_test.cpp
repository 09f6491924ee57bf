// The lock window's decisions: blanking and waking, notices, unlock and the waits
// after wrong passwords, shut-down and the work-time warning, driven heartbeat by
// heartbeat and millisecond by millisecond.
#include "lockscreen/LockLogic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Records what the logic asks the window to do, one text per call.
class RecordingActions : public TLockActions {
public:
    std::vector<std::string> Calls;
    std::function<void()> OnWake;   // runs inside WakeMonitor, as the window's focus change would
    bool InWake = false;

    void WakeMonitor() override
    {
        Calls.push_back("wake");
        // A nested wake is recorded but not followed, so a missing guard fails instead of recursing.
        if (!OnWake || InWake) return;
        InWake = true;
        OnWake();
        InWake = false;
    }
    void BlankMonitor(int32_t mode) override
    {
        Calls.push_back("blank " + std::to_string(mode));
    }
    void RevertNotices() override { Calls.push_back("revert"); }
    void ShowIncorrectPassword(uint32_t waitSeconds) override
    {
        Calls.push_back(waitSeconds == 0 ? "incorrect" : "incorrect " + std::to_string(waitSeconds));
    }
    void ArmShutDown() override { Calls.push_back("arm"); }
    void ShowTimeWarning() override { Calls.push_back("warning"); }
    void PlayAlarm(bool cutOffPlaying) override { Calls.push_back(cutOffPlaying ? "alarm cut" : "alarm"); }
    void Log(const std::string& text) override { Calls.push_back("log " + text); }
    void RequestShutdown() override { Calls.push_back("shutdown"); }

    int Count(const std::string& call) const { return int(std::count(Calls.begin(), Calls.end(), call)); }
    std::vector<std::string> Take()
    {
        std::vector<std::string> taken;
        taken.swap(Calls);
        return taken;
    }
};

using Calls = std::vector<std::string>;

// One lock with its own timer: each Heartbeat is a new tick of the 3-second
// timer followed by the end of a loop pass, as the lock loop runs them. Its
// throttle is its own unless the program's one is given.
class Lock {
public:
    RecordingActions Actions;
    TPasswordThrottle OwnThrottle;
    TLockLogic Logic;

    Lock(uint32_t timeOutSeconds, int32_t powerMode, std::string lockPassword = "secret",
         std::string adminPassword = "", TPasswordThrottle* throttle = nullptr)
        : Logic(Actions, throttle ? *throttle : OwnThrottle, std::move(lockPassword), std::move(adminPassword),
                timeOutSeconds, powerMode)
    {
    }

    // "UnLock" pressed with the text in the edit, at the throttle clock's Now.
    void Enter(const std::string& text) { Logic.UnLockClick(text, Now); }
    // A loop pass Milliseconds later.
    void Pass(uint32_t milliseconds)
    {
        Now += milliseconds;
        Logic.PollWait(Now);
    }

    void Heartbeat(bool timeExpired = false)
    {
        TickTime += 3.0 / 86400.0;
        Logic.PollTick(TickTime, timeExpired);
        Logic.EndOfPass();
    }
    void Heartbeats(int count)
    {
        for (int i = 0; i < count; ++i) Heartbeat();
    }
    // The first pass of the loop, which ends the settling.
    void Show() { Logic.EndOfPass(); }

    TDateTime TickTime = 45000.25;
    uint32_t Now = 123456;   // the throttle's clock
};

// The heartbeat (1-based) at which the screen first blanks, 0 if it did not
// within the given number.
int FirstBlankingHeartbeat(Lock& lock, int heartbeats)
{
    for (int i = 1; i <= heartbeats; ++i) {
        lock.Heartbeat();
        for (const std::string& call : lock.Actions.Calls)
            if (call.rfind("blank ", 0) == 0) return i;
    }
    return 0;
}

TEST(LockLogic, BlanksAtTheHeartbeatThatReachesTheTimeOut)
{
    const struct {
        uint32_t TimeOutSeconds;
        int32_t PowerMode;
        int ExpectedHeartbeat;   // 0: never
    } cases[] = {
        {15, 0, 6},  {15, 1, 6},  {15, 2, 6},  {15, -1, 0},
        {17, 2, 6},  {18, 0, 7},  {3, 1, 2},   {2, 1, 1},
        {0, 0, 1},   {0, 2, 1},   {0, -1, 0},  {0, 3, 0},
        {30, -5, 0}, {0, 7, 0},
    };
    for (const auto& c : cases) {
        Lock lock(c.TimeOutSeconds, c.PowerMode);
        lock.Show();
        EXPECT_EQ(FirstBlankingHeartbeat(lock, 40), c.ExpectedHeartbeat)
            << "time-out " << c.TimeOutSeconds << " s, mode " << c.PowerMode;
        if (c.ExpectedHeartbeat != 0) {
            EXPECT_EQ(lock.Actions.Calls, Calls{"blank " + std::to_string(c.PowerMode)});
            EXPECT_TRUE(lock.Logic.ScreenBlanked());
            EXPECT_TRUE(lock.Logic.IgnoreNextMove());
        } else {
            EXPECT_TRUE(lock.Actions.Calls.empty());
            EXPECT_FALSE(lock.Logic.ScreenBlanked());
        }
    }
}

TEST(LockLogic, BlanksOnceAndStaysBlank)
{
    Lock lock(15, 1);
    lock.Show();
    lock.Heartbeats(30);
    EXPECT_EQ(lock.Actions.Calls, Calls{"blank 1"});
    EXPECT_EQ(lock.Logic.IdleCount(), lock.Logic.TimeOutTicks() + 1);
}

TEST(LockLogic, OnlyANewTickIsAHeartbeat)
{
    Lock lock(6, 0);   // two heartbeats of time-out
    lock.Show();
    for (int pass = 0; pass < 100; ++pass) lock.Logic.PollTick(lock.TickTime, false);
    EXPECT_EQ(lock.Logic.IdleCount(), 1u) << "the first pass counts, its repeats do not";

    lock.Logic.PollTick(0, false);   // a tick time that differs, however it differs
    EXPECT_EQ(lock.Logic.IdleCount(), 2u);
    lock.Logic.PollTick(lock.TickTime, false);
    EXPECT_EQ(lock.Actions.Calls, Calls{"blank 0"});
}

TEST(LockLogic, NoTickYetIsNoHeartbeat)
{
    Lock lock(0, 0);
    lock.Show();
    lock.Logic.PollTick(0, false);
    EXPECT_TRUE(lock.Actions.Calls.empty());
    EXPECT_EQ(lock.Logic.IdleCount(), 0u);
}

TEST(LockLogic, ActivityRestartsTheIdleCount)
{
    const std::function<void(TLockLogic&)> activities[] = {
        [](TLockLogic& l) { l.KeyDown(); },
        [](TLockLogic& l) { l.MouseDown(); },
        [](TLockLogic& l) { l.MouseMove(); },
        [](TLockLogic& l) { l.FocusChanged(); },
        [](TLockLogic& l) { l.UnLockClick("", 0); },
        [](TLockLogic& l) { l.ShutDownClick(); },
    };
    for (size_t i = 0; i < std::size(activities); ++i) {
        Lock lock(15, 2);
        lock.Show();
        lock.Heartbeats(5);
        activities[i](lock.Logic);
        EXPECT_EQ(lock.Logic.IdleCount(), 0u) << "activity " << i;
        EXPECT_EQ(lock.Actions.Count("wake"), 0) << "an awake screen needs no waking, activity " << i;
        EXPECT_EQ(FirstBlankingHeartbeat(lock, 20), 6) << "activity " << i;
    }
}

TEST(LockLogic, KeyClickAndFocusWakeABlankScreenAtOnce)
{
    const std::function<void(TLockLogic&)> activities[] = {
        [](TLockLogic& l) { l.KeyDown(); },
        [](TLockLogic& l) { l.MouseDown(); },
        [](TLockLogic& l) { l.FocusChanged(); },
    };
    for (size_t i = 0; i < std::size(activities); ++i) {
        Lock lock(0, 0);
        lock.Show();
        lock.Heartbeat();
        lock.Actions.Take();
        activities[i](lock.Logic);
        EXPECT_EQ(lock.Actions.Calls, Calls{"wake"}) << "activity " << i;
        EXPECT_FALSE(lock.Logic.ScreenBlanked());
        EXPECT_EQ(lock.Logic.IdleCount(), 0u);
    }
}

TEST(LockLogic, FirstMoveAfterBlankingIsIgnoredTheSecondWakes)
{
    Lock lock(15, 2);
    lock.Show();
    lock.Heartbeats(6);
    ASSERT_EQ(lock.Actions.Take(), Calls{"blank 2"});

    lock.Logic.MouseMove();
    EXPECT_TRUE(lock.Actions.Calls.empty());
    EXPECT_TRUE(lock.Logic.ScreenBlanked());
    EXPECT_FALSE(lock.Logic.IgnoreNextMove());

    lock.Logic.MouseMove();
    EXPECT_EQ(lock.Actions.Take(), Calls{"wake"});
    EXPECT_FALSE(lock.Logic.ScreenBlanked());

    // Awake again: the time-out starts over from the wake.
    EXPECT_EQ(FirstBlankingHeartbeat(lock, 20), 6);
}

TEST(LockLogic, EscAndDelClearTheEdit)
{
    const struct {
        unsigned VirtualKey;
        bool Clears;
    } cases[] = {
        {0x1B, true}, {0x2E, true}, {0x08, false}, {0x0D, false}, {0x41, false}, {0x2D, false}, {0x6E, false},
    };
    for (const auto& c : cases) {
        Lock lock(15, 0);
        EXPECT_FALSE(lock.Logic.ClearsEditOnKey(c.VirtualKey)) << "settling, key " << c.VirtualKey;
        lock.Show();
        EXPECT_EQ(lock.Logic.ClearsEditOnKey(c.VirtualKey), c.Clears) << "key " << c.VirtualKey;
    }
}

TEST(LockLogic, InputWhileSettlingDoesNothing)
{
    Lock lock(0, 1);
    lock.Logic.PollTick(lock.TickTime + 1, false);   // a heartbeat within the first pass blanks already
    ASSERT_EQ(lock.Actions.Take(), Calls{"blank 1"});
    ASSERT_TRUE(lock.Logic.Settling());

    lock.Logic.KeyDown();
    lock.Logic.MouseDown();
    lock.Logic.MouseMove();
    lock.Logic.MouseMove();
    lock.Logic.FocusChanged();
    EXPECT_TRUE(lock.Actions.Calls.empty());
    EXPECT_TRUE(lock.Logic.ScreenBlanked());
    EXPECT_TRUE(lock.Logic.IgnoreNextMove()) << "a move while settling does not use up the ignored one";

    lock.Logic.EndOfPass();
    EXPECT_FALSE(lock.Logic.Settling());
    lock.Logic.KeyDown();
    EXPECT_EQ(lock.Actions.Calls, Calls{"wake"});
}

TEST(LockLogic, WrongPasswordNoticeRevertsAtTheSecondHeartbeat)
{
    Lock lock(60, 0);
    lock.Show();
    lock.Enter("guess");
    EXPECT_EQ(lock.Actions.Take(), (Calls{"log Access Denied", "incorrect", "alarm cut"}));
    EXPECT_EQ(lock.Logic.NoticeCountdown(), 2);

    lock.Heartbeat();
    EXPECT_TRUE(lock.Actions.Calls.empty());
    lock.Heartbeat();
    EXPECT_EQ(lock.Actions.Take(), Calls{"revert"});
    lock.Heartbeats(5);
    EXPECT_TRUE(lock.Actions.Calls.empty()) << "reverted once only";
}

TEST(LockLogic, EachWrongPasswordRestartsTheNotice)
{
    Lock lock(60, 0);
    lock.Show();
    lock.Enter("one");
    lock.Heartbeat();
    lock.Enter("two");
    lock.Heartbeat();
    EXPECT_EQ(lock.Actions.Count("revert"), 0);
    lock.Heartbeat();
    EXPECT_EQ(lock.Actions.Count("revert"), 1);
}

TEST(LockLogic, SecondShutDownPressWithinTwoHeartbeatsShutsDown)
{
    const struct {
        int HeartbeatsBetween;
        bool ShutsDown;
    } cases[] = {{0, true}, {1, true}, {2, false}, {3, false}};
    for (const auto& c : cases) {
        Lock lock(60, 0);
        lock.Show();
        lock.Logic.ShutDownClick();
        EXPECT_TRUE(lock.Logic.ShutDownArmed());
        lock.Heartbeats(c.HeartbeatsBetween);
        EXPECT_EQ(lock.Logic.ShutDownArmed(), c.ShutsDown) << c.HeartbeatsBetween << " heartbeats";
        lock.Logic.ShutDownClick();
        const Calls expected = c.ShutsDown ? Calls{"arm", "shutdown"} : Calls{"arm", "revert", "arm"};
        EXPECT_EQ(lock.Actions.Calls, expected) << c.HeartbeatsBetween << " heartbeats";
        EXPECT_EQ(lock.Logic.End(), TLockEnd::Running) << "the lock ends when the application terminates";
    }
}

TEST(LockLogic, NoticesShareOneCountdown)
{
    Lock lock(60, 0);
    lock.Show();
    lock.Logic.ShutDownClick();
    lock.Heartbeat();
    lock.Enter("guess");   // restarts the countdown the armed button runs on
    lock.Heartbeat();
    EXPECT_TRUE(lock.Logic.ShutDownArmed());
    lock.Logic.ShutDownClick();
    EXPECT_EQ(lock.Actions.Count("shutdown"), 1);
}

TEST(LockLogic, UnlockDecision)
{
    enum Outcome { Opens, Refuses, Ignores };
    const struct {
        const char* LockPassword;
        const char* AdminPassword;
        const char* Entered;
        Outcome Expected;
    } cases[] = {
        {"", "", "", Opens},
        {"", "", "anything", Opens},
        {"", "boss", "", Opens},
        {"secret", "", "secret", Opens},
        {"secret", "boss", "secret", Opens},
        {"secret", "boss", "boss", Opens},
        {"secret", "", "", Ignores},         // an empty admin password matches no input
        {"secret", "boss", "", Ignores},
        {"secret", "", "Secret", Refuses},
        {"secret", "", "SECRET", Refuses},
        {"secret", "boss", "Boss", Refuses},
        {"secret", "", "secret ", Refuses},
        {"secret", "", "secre", Refuses},
        {"secret", "", "boss", Refuses},
        {"p\xE4ss", "", "p\xC4ss", Refuses},   // letter case outside ASCII counts too
        {"p\xE4ss", "", "p\xE4ss", Opens},
    };
    for (const auto& c : cases) {
        // Every case starts from a blank screen: the button wakes it first.
        Lock lock(0, 0, c.LockPassword, c.AdminPassword);
        lock.Show();
        lock.Heartbeat();
        lock.Actions.Take();

        lock.Enter(c.Entered);
        Calls expected{"wake"};
        if (c.Expected == Opens) expected.push_back("log Access Permitted");
        if (c.Expected == Refuses) expected.insert(expected.end(), {"log Access Denied", "incorrect", "alarm cut"});
        const std::string label = std::string("lock '") + c.LockPassword + "', admin '" + c.AdminPassword +
                                  "', entered '" + c.Entered + "'";
        EXPECT_EQ(lock.Actions.Calls, expected) << label;
        EXPECT_EQ(lock.Logic.End(), c.Expected == Opens ? TLockEnd::Unlocked : TLockEnd::Running) << label;
        EXPECT_EQ(lock.Logic.NoticeCountdown(), c.Expected == Refuses ? 2 : 0) << label;
    }
}

TEST(LockLogic, ExpiredTimeWakesWarnsOnceAndStopsBlanking)
{
    Lock lock(15, 2);
    lock.Show();
    lock.Heartbeats(6);
    ASSERT_EQ(lock.Actions.Take(), Calls{"blank 2"});

    lock.Heartbeat(true);
    EXPECT_EQ(lock.Actions.Take(), (Calls{"wake", "warning", "alarm"}));
    EXPECT_EQ(lock.Logic.PowerMode(), 3);
    EXPECT_FALSE(lock.Logic.ScreenBlanked());

    for (int i = 0; i < 20; ++i) lock.Heartbeat(true);
    EXPECT_EQ(lock.Actions.Take(), Calls(20, "alarm"));

    for (int pass = 0; pass < 10; ++pass) lock.Logic.PollTick(lock.TickTime, true);
    EXPECT_TRUE(lock.Actions.Calls.empty()) << "the alarm is paced by heartbeats, not by passes";

    lock.Heartbeats(20);
    EXPECT_TRUE(lock.Actions.Calls.empty()) << "no blanking for the rest of the lock, no alarm once the time is back";
}

TEST(LockLogic, ExpiredTimeOnAnAwakeScreenNeedsNoWaking)
{
    Lock lock(15, 0);
    lock.Show();
    lock.Heartbeats(3);
    lock.Heartbeat(true);
    EXPECT_EQ(lock.Actions.Calls, (Calls{"warning", "alarm"}));
    EXPECT_EQ(lock.Logic.IdleCount(), 0u) << "the warning counts as a wake";
}

TEST(LockLogic, NestedScreenPowerCallsAreIgnored)
{
    Lock lock(0, 1);
    lock.Show();
    // Focusing the edit on waking calls back into the logic before the idle count restarts.
    lock.Actions.OnWake = [&] {
        lock.Logic.FocusChanged();
        lock.Logic.SetScreenPower(1);
    };

    lock.Heartbeat();
    EXPECT_EQ(lock.Actions.Take(), Calls{"blank 1"});
    EXPECT_TRUE(lock.Logic.ScreenBlanked());

    lock.Logic.KeyDown();
    EXPECT_EQ(lock.Actions.Take(), Calls{"wake"});
    EXPECT_FALSE(lock.Logic.ScreenBlanked());

    // The guard is released afterwards.
    lock.Heartbeat();
    EXPECT_EQ(lock.Actions.Calls, Calls{"blank 1"});
}

TEST(LockLogic, TerminatingEndsARunningLockButNotAnOpenedOne)
{
    Lock running(15, 0);
    running.Show();
    EXPECT_EQ(running.Logic.End(), TLockEnd::Running);
    running.Logic.Terminate();
    EXPECT_EQ(running.Logic.End(), TLockEnd::Terminating);

    Lock opened(15, 0, "secret");
    opened.Show();
    opened.Enter("secret");
    opened.Logic.Terminate();
    EXPECT_EQ(opened.Logic.End(), TLockEnd::Unlocked);
}

TEST(LockLogic, TimeOutIsCountedInWholeHeartbeats)
{
    const struct {
        uint32_t Seconds, Ticks;
    } cases[] = {{0, 0}, {2, 0}, {3, 1}, {15, 5}, {17, 5}, {600, 200}, {4294967295u, 1431655765u}};
    for (const auto& c : cases) {
        RecordingActions actions;
        TPasswordThrottle throttle;
        EXPECT_EQ(TLockLogic(actions, throttle, "", "", c.Seconds, 0).TimeOutTicks(), c.Ticks) << c.Seconds;
    }
}

// --- Wrong passwords and the waits they bring -----------------------------------------------

// Four wrong entries, each refused and shown without a wait.
void FourWrong(Lock& lock)
{
    for (int i = 0; i < 4; ++i) {
        lock.Enter("guess" + std::to_string(i));
        EXPECT_EQ(lock.Actions.Take(), (Calls{"log Access Denied", "incorrect", "alarm cut"})) << "entry " << i + 1;
    }
}

TEST(LockLogic, FifthWrongPasswordInARowStartsAWaitShownInThePrompt)
{
    Lock lock(60, 0);
    lock.Show();
    FourWrong(lock);
    lock.Enter("guess5");
    EXPECT_EQ(lock.Actions.Take(), (Calls{"log Access Denied", "incorrect 30", "alarm cut"}));
    EXPECT_EQ(lock.Logic.ShownWaitSeconds(), 30u);
    EXPECT_EQ(lock.Logic.End(), TLockEnd::Running);
}

TEST(LockLogic, AdminAndLockPasswordsShareTheCount)
{
    Lock lock(60, 0, "secret", "boss");
    lock.Show();
    FourWrong(lock);
    lock.Enter("Boss");
    EXPECT_EQ(lock.Actions.Take(), (Calls{"log Access Denied", "incorrect 30", "alarm cut"}));
    lock.Enter("boss");
    EXPECT_EQ(lock.Logic.End(), TLockEnd::Running) << "the admin password is refused during the wait";
    lock.Pass(30000);
    lock.Actions.Take();
    lock.Enter("boss");
    EXPECT_EQ(lock.Actions.Take(), Calls{"log Access Permitted"});
    EXPECT_EQ(lock.Logic.End(), TLockEnd::Unlocked);
}

TEST(LockLogic, DuringTheWaitEveryEntryIsRefusedAndLoggedAnEmptyOneIgnored)
{
    Lock lock(60, 0);
    lock.Show();
    FourWrong(lock);
    lock.Enter("guess5");
    lock.Actions.Take();
    const struct {
        uint32_t After;   // milliseconds after the previous entry
        const char* Entered;
        Calls Expected;
    } entries[] = {
        {0, "guess6", {"log Access Denied", "incorrect 30", "alarm cut"}},
        {1000, "secret", {"incorrect 29", "log Access Denied", "incorrect 29", "alarm cut"}},
        {0, "", {}},
        {27998, "secret", {"incorrect 2", "log Access Denied", "incorrect 2", "alarm cut"}},
        {1001, "secret", {"incorrect 1", "log Access Denied", "incorrect 1", "alarm cut"}},
    };
    for (const auto& e : entries) {
        lock.Pass(e.After);
        lock.Enter(e.Entered);
        EXPECT_EQ(lock.Actions.Take(), e.Expected) << "'" << e.Entered << "' " << e.After << " ms after";
        EXPECT_EQ(lock.Logic.End(), TLockEnd::Running);
    }
    lock.Pass(1);   // 30 s after the fifth wrong one
    lock.Actions.Take();
    lock.Enter("secret");
    EXPECT_EQ(lock.Actions.Take(), Calls{"log Access Permitted"});
    EXPECT_EQ(lock.Logic.End(), TLockEnd::Unlocked);
}

TEST(LockLogic, TheWaitCountsDownOnceASecondThenThePromptSaysSo)
{
    Lock lock(60, 0);
    lock.Show();
    FourWrong(lock);
    lock.Enter("guess5");
    lock.Actions.Take();
    for (int pass = 0; pass < 400; ++pass) lock.Pass(100);   // 40 s of passes, no heartbeat
    Calls expected;
    for (int seconds = 29; seconds >= 1; --seconds) expected.push_back("incorrect " + std::to_string(seconds));
    expected.push_back("incorrect");   // the notice still runs: it reverts at its heartbeat
    EXPECT_EQ(lock.Actions.Take(), expected);
    EXPECT_EQ(lock.Logic.ShownWaitSeconds(), 0u);
    lock.Heartbeats(2);
    EXPECT_EQ(lock.Actions.Take(), Calls{"revert"});
}

TEST(LockLogic, NoticesRevertAroundTheWaitWhichStaysShown)
{
    Lock lock(60, 0);
    lock.Show();
    FourWrong(lock);
    lock.Enter("guess5");
    lock.Actions.Take();
    lock.Heartbeats(2);
    EXPECT_EQ(lock.Actions.Take(), (Calls{"revert", "incorrect 30"}));

    // An armed "Shut Down" still disarms at its second heartbeat; the wait stays shown.
    lock.Pass(10000);
    lock.Logic.ShutDownClick();
    lock.Heartbeats(2);
    EXPECT_EQ(lock.Actions.Take(), (Calls{"incorrect 20", "arm", "revert", "incorrect 20"}));
    EXPECT_FALSE(lock.Logic.ShutDownArmed());

    // The wait over with no notice running: the plain prompt at once.
    lock.Pass(20000);
    EXPECT_EQ(lock.Actions.Take(), Calls{"revert"});
}

TEST(LockLogic, TheCountAndTheWaitOutliveALock)
{
    TPasswordThrottle program;
    {
        Lock first(60, 0, "secret", "", &program);
        first.Show();
        FourWrong(first);
        first.Logic.Terminate();
    }
    uint32_t now = 0;
    {
        Lock second(60, 0, "secret", "", &program);
        second.Show();
        second.Enter("guess5");
        EXPECT_EQ(second.Actions.Take(), (Calls{"log Access Denied", "incorrect 30", "alarm cut"}));
        now = second.Now;
    }
    {
        Lock third(60, 0, "secret", "", &program);
        third.Now = now;
        third.Show();
        third.Pass(5000);
        EXPECT_EQ(third.Actions.Take(), Calls{"incorrect 25"}) << "a new lock shows the wait at its first pass";
        third.Enter("secret");
        EXPECT_EQ(third.Logic.End(), TLockEnd::Running);
        third.Pass(25000);
        third.Enter("secret");
        EXPECT_EQ(third.Logic.End(), TLockEnd::Unlocked);
        now = third.Now;
    }
    // Opened by the right password: the next lock starts with a clean count.
    Lock fourth(60, 0, "secret", "", &program);
    fourth.Now = now;
    fourth.Show();
    FourWrong(fourth);
    fourth.Enter("secret");
    EXPECT_EQ(fourth.Logic.End(), TLockEnd::Unlocked);
}

}  // namespace
