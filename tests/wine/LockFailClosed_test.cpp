// The lock session linked into this test with a host that fails on purpose: an
// exception inside a pass of the lock loop is logged once and the lock stays up,
// whole, until the password opens it.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

#include "LockScreenFixture.h"
#include "lockscreen/PasswordThrottle.h"
#include "lockscreen/win32/LockSession.h"

using namespace harness;
using namespace halvex_test;

namespace {

constexpr char Password[] = "Open";

// Every pass asks for the tick; a run of those asks throws.
class FailingHost : public TLockHost {
public:
    std::atomic<int> Asked{0};
    std::atomic<int> Thrown{0};
    std::vector<std::string> Logged;   // read once the lock has ended

    TDateTime TickTime() const override
    {
        int call = ++const_cast<FailingHost*>(this)->Asked;
        if (call >= 20 && call < 60) {
            ++const_cast<FailingHost*>(this)->Thrown;
            throw std::runtime_error("the tick cannot be read");
        }
        return 0;
    }
    bool TimeExpired() const override { return false; }
    void RequestShutdown() override {}
    void Log(const std::string& text) override { Logged.push_back(text); }
    TPasswordThrottle& Throttle() override { return Guesses; }

    TPasswordThrottle Guesses;
};

struct Session {
    TLockRequest Request;
    FailingHost Host;
    bool Opened = false;
};

DWORD WINAPI RunSession(void* parameter)
{
    auto* session = static_cast<Session*>(parameter);
    session->Opened = RunLockSession(session->Request, session->Host);
    return 0;
}

}  // namespace

TEST(LockFailClosed, AnExceptionInAPassKeepsTheLockUpUntilThePasswordOpensIt)
{
    Session session;
    session.Request.DisplayName = "tester";
    session.Request.Password.Assign(Password);
    UniqueKernelHandle thread(CreateThread(nullptr, 0, RunSession, &session, 0, nullptr));
    ASSERT_TRUE(thread);

    HWND form = WaitForTopWindow(WindowQuery::OfClass(LockFormClass).InProcess(GetCurrentProcessId()));
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return session.Host.Asked >= 80; }, DefaultTimeout, "passes after the failing ones"));
    EXPECT_EQ(session.Host.Thrown, 40);
    EXPECT_TRUE(IsWindowVisible(form));
    EXPECT_TRUE(MutexExists(LockRunningMutex));
    EXPECT_EQ(WaitForSingleObject(thread.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the lock ended";

    LockWindow parts = FindLockParts(form);
    HWND edit = FindControl(form, ControlQuery::OfClass("Edit"));
    ASSERT_TRUE(edit && parts.UnLockButton);
    ASSERT_TRUE(SetText(edit, Password));
    ASSERT_TRUE(Click(parts.UnLockButton));
    ASSERT_EQ(WaitForSingleObject(thread.Get(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_TRUE(session.Opened);
    ASSERT_EQ(session.Host.Logged.size(), 2u) << "one failure line, then the unlock";
    EXPECT_EQ(session.Host.Logged[0].rfind("Lock error, the lock stays up: the tick cannot be read", 0), 0u)
        << session.Host.Logged[0];
    EXPECT_EQ(session.Host.Logged[1], "Access Permitted");
}
