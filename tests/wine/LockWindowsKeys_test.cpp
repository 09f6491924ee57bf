// While hvxw.exe's lock is up, the Windows keys, whatever is pressed with them and the
// Application key reach no other program, a Windows key held since before the lock is still
// let go, and the lock's hook stays in front of other programs' hooks across its renewals.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "FrontKeyWatcher.h"
#include "KeyRecorder.h"
#include "LockScreenFixture.h"

using namespace harness;
using namespace halvex_test;

using key_recorder::FrontKeyWatcher;
using key_recorder::GenericKey;
using key_recorder::IsHeldForTheSystem;
using key_recorder::KeyEvent;
using key_recorder::KeyInput;
using key_recorder::KeyRecorder;
using key_recorder::ReleaseAtExit;

namespace {

// At least three heartbeats fall into any stretch this long.
constexpr Timeout RenewalRun{10500};
constexpr int HeartbeatsInRun = 3;
constexpr Timeout KeyStateTimeout{2000};
// Past the time a Windows key is held without repeating, with room for a slow pass.
constexpr Timeout QuietWindowsKeyTimeout{4000};
// Well within the time a Windows key counts as held without repeating.
constexpr Timeout HeldWindowsKeyCheck{500};
// More mismatches than this in the renewal run are counted, not listed.
constexpr int ListedMismatches = 5;

struct KeyChord {
    const char* Name;
    std::vector<WORD> Keys;   // pressed in this order, released in reverse
    std::string Arrives;      // what reaches a hook installed before the lock
};

// Each plain key right after a chord of it shows that a Windows key let go is no longer held.
const KeyChord Chords[] = {
    {"Windows key", {VK_LWIN}, "LWin up"},
    {"R", {'R'}, "R down, R up"},
    {"right Windows key", {VK_RWIN}, "RWin up"},
    {"Win+R", {VK_LWIN, 'R'}, "LWin up"},
    {"R after Win+R", {'R'}, "R down, R up"},
    {"Win+D", {VK_LWIN, 'D'}, "LWin up"},
    {"Win+Tab", {VK_LWIN, VK_TAB}, "LWin up"},
    {"Tab", {VK_TAB}, "Tab down, Tab up"},
    {"Ctrl+Win+D", {VK_CONTROL, VK_LWIN, 'D'}, "Ctrl down, LWin up, Ctrl up"},
    {"Ctrl+D", {VK_CONTROL, 'D'}, "Ctrl down, D down, D up, Ctrl up"},
    // Ctrl goes down while Win is held, so the system never sees it; its key-up still passes.
    {"Win+Ctrl+D", {VK_LWIN, VK_CONTROL, 'D'}, "Ctrl up, LWin up"},
    {"right Win+E", {VK_RWIN, 'E'}, "RWin up"},
    {"Application key", {VK_APPS}, ""},
    {"Shift+Application key", {VK_SHIFT, VK_APPS}, "Shift down, Shift up"},
    {"Alt+Tab", {VK_MENU, VK_TAB}, "Alt down, Alt up"},
    {"Alt+Esc", {VK_MENU, VK_ESCAPE}, "Alt down, Alt up"},
    {"Ctrl+Esc", {VK_CONTROL, VK_ESCAPE}, "Ctrl down, Ctrl up"},
    {"Ctrl+Shift+Esc", {VK_CONTROL, VK_SHIFT, VK_ESCAPE}, "Ctrl down, Shift down, Shift up, Ctrl up"},
    {"Esc", {VK_ESCAPE}, "Esc down, Esc up"},
    {"A", {'A'}, "A down, A up"},
};

std::string NameOf(DWORD virtualKey)
{
    switch (WORD key = GenericKey(virtualKey)) {
    case VK_SHIFT: return "Shift";
    case VK_CONTROL: return "Ctrl";
    case VK_MENU: return "Alt";
    case VK_LWIN: return "LWin";
    case VK_RWIN: return "RWin";
    case VK_APPS: return "Apps";
    case VK_TAB: return "Tab";
    case VK_ESCAPE: return "Esc";
    default:
        if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
        char text[8];
        std::snprintf(text, sizeof text, "0x%02X", key);
        return text;
    }
}

std::string Describe(const std::vector<KeyEvent>& events)
{
    std::string text;
    for (const KeyEvent& event : events) {
        bool up = event.Message == WM_KEYUP || event.Message == WM_SYSKEYUP;
        text += (text.empty() ? "" : ", ") + NameOf(event.VirtualKey) + (up ? " up" : " down");
    }
    return text;
}

void ExpectChordsArrive(KeyRecorder& recorder, const std::function<void()>& betweenEvents)
{
    for (const KeyChord& chord : Chords) {
        SCOPED_TRACE(chord.Name);
        EXPECT_EQ(Describe(recorder.Press(chord.Keys, betweenEvents)), chord.Arrives);
    }
}

}  // namespace

// Each key event is read by the lock before the next comes, as when a person presses them.
TEST(LockScreenWindowsKeys, ChordsReachNoOtherProgram)
{
    KeyRecorder recorder;
    ASSERT_TRUE(recorder.IsInstalled());
    LockScreenProgram program;
    ASSERT_TRUE(program.Lock());
    ExpectChordsArrive(recorder, [&] { program.WaitForPass(); });
    EXPECT_TRUE(program.IsLocked());
    EXPECT_TRUE(program.Unlock("Secret"));
    // Once unlocked nothing is swallowed.
    EXPECT_EQ(Describe(recorder.Press({VK_LWIN, 'R'})), "LWin down, R down, R up, LWin up");
    EXPECT_EQ(Describe(recorder.Press({VK_APPS})), "Apps down, Apps up");
}

// All events of a chord injected in one call, faster than the lock reads its messages: a
// swallowed Windows key never reaches the system's key state, only the hook's own.
TEST(LockScreenWindowsKeys, InjectedChordsReachNoOtherProgram)
{
    KeyRecorder recorder;
    ASSERT_TRUE(recorder.IsInstalled());
    LockScreenProgram program;
    ASSERT_TRUE(program.Lock());
    ExpectChordsArrive(recorder, nullptr);
    EXPECT_TRUE(program.Unlock("Secret"));
}

// The system saw the key go down, so it must see it come up. (Wine forgets an injected key
// held across a change of the foreground window, so what the lock does with keys pressed
// meanwhile is checked on the hook alone, in LockdownKeyboardHook.)
TEST(LockScreenWindowsKeys, KeyHeldBeforeTheLockIsLetGoDuringIt)
{
    // Declared first, so that it lets the key go once nothing swallows it any more.
    ReleaseAtExit release(VK_LWIN);
    KeyRecorder recorder;
    ASSERT_TRUE(recorder.IsInstalled());
    LockScreenProgram program;
    ASSERT_TRUE(program.IsStarted());
    ASSERT_EQ(Describe(recorder.Send({KeyInput(VK_LWIN, false)})), "LWin down");
    ASSERT_TRUE(program.Lock());

    EXPECT_EQ(Describe(recorder.Send({KeyInput(VK_LWIN, true)})), "LWin up");
    EXPECT_TRUE(WaitUntil([] { return !IsHeldForTheSystem(VK_LWIN); }, KeyStateTimeout, "the Windows key let go"));
    EXPECT_EQ(Describe(recorder.Press({'R'})), "R down, R up") << "the Windows key is no longer held";
    EXPECT_TRUE(program.Unlock("Secret"));
}

// A Windows key whose key-up the lock never saw (a hook the system dropped missed it) is held
// only while it repeats: after a pause the keyboard types again, and the lock stays up.
TEST(LockScreenWindowsKeys, KeyUpNeverSeenStopsSwallowingOnceTheKeyIsQuiet)
{
    KeyRecorder recorder;
    ASSERT_TRUE(recorder.IsInstalled());
    LockScreenProgram program;
    ASSERT_TRUE(program.Lock());
    const std::vector<INPUT> typeR = {KeyInput('R', false), KeyInput('R', true)};
    std::vector<INPUT> windowsKeyThenR = typeR;
    windowsKeyThenR.insert(windowsKeyThenR.begin(), KeyInput(VK_LWIN, false));
    std::vector<KeyEvent> arrived;
    // The lock swallows even the recorder's marker while it counts the key held.
    EXPECT_FALSE(recorder.SendWithin(windowsKeyThenR, HeldWindowsKeyCheck, arrived)) << Describe(arrived);
    EXPECT_EQ(Describe(arrived), "");
    EXPECT_TRUE(WaitUntil([&] { return recorder.SendWithin(typeR, HeldWindowsKeyCheck, arrived); },
                          QuietWindowsKeyTimeout, "R to pass the hooks again"));
    EXPECT_EQ(Describe(arrived), "R down, R up");
    EXPECT_TRUE(program.IsLocked());
    EXPECT_TRUE(program.Unlock("Secret"));
}

// The lock renews its hook at each heartbeat of the usage-time timer. A watcher put in front of
// the lock's hook sees the swallowed keys until the next renewal puts the lock's hook before it.
TEST(LockScreenHookRenewal, ChordsSwallowedAcrossRenewals)
{
    // The chords whose last key the lock swallows.
    std::vector<const KeyChord*> swallowed;
    for (const KeyChord& chord : Chords)
        if (chord.Arrives.find(NameOf(chord.Keys.back()) + " down") == std::string::npos) swallowed.push_back(&chord);
    KeyRecorder recorder;
    ASSERT_TRUE(recorder.IsInstalled());
    LockScreenProgram program;
    ASSERT_TRUE(program.Lock());
    FrontKeyWatcher watcher;
    ASSERT_TRUE(watcher.IsInstalled());

    const auto start = std::chrono::steady_clock::now();
    Deadline runEnd(RenewalRun), lastEnd(RenewalRun + 2 * Heartbeat);
    int renewals = 0, pressed = 0, mismatches = 0;
    std::string listed;
    while (!lastEnd.Expired() && (!runEnd.Expired() || renewals < HeartbeatsInRun)) {
        const KeyChord& chord = *swallowed[pressed++ % swallowed.size()];
        watcher.Forget();
        std::string arrived = Describe(recorder.Press(chord.Keys));
        if (arrived != chord.Arrives && mismatches++ < ListedMismatches)
            listed += std::string("\n  ") + chord.Name + " after " + std::to_string(renewals) + " renewals: " + arrived;
        if (!watcher.SawDown(chord.Keys.back())) {
            ++renewals;
            watcher.PutInFront();
            ASSERT_TRUE(watcher.IsInstalled());
        }
    }
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
    EXPECT_EQ(mismatches, 0) << "of " << pressed << " chords, these arrived otherwise:" << listed;
    EXPECT_GE(renewals, HeartbeatsInRun) << "renewals in " << seconds.count() << " s";
    // Once per heartbeat, not at every pass of the lock loop.
    EXPECT_LE(renewals, seconds / Heartbeat + 1) << "renewals in " << seconds.count() << " s";
    EXPECT_GT(pressed, 10 * renewals) << "chords pressed";

    EXPECT_TRUE(program.Unlock("Secret"));
    // Every hook the renewals replaced is gone with the last one.
    EXPECT_EQ(Describe(recorder.Press({VK_LWIN, 'R'})), "LWin down, R down, R up, LWin up");
    EXPECT_EQ(Describe(recorder.Press({VK_MENU, VK_TAB})), "Alt down, Tab down, Tab up, Alt up");
}
