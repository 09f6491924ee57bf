// GoogleTest's Notification as a Win32 event: its own needs std::mutex, which MinGW's win32
// thread model lacks. Force-included, with GTEST_HAS_NOTIFICATION_, wherever GoogleTest is.
#pragma once

#include <windows.h>

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : Event(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(Event); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(Event); }
    void WaitForNotification() { WaitForSingleObject(Event, INFINITE); }

private:
    HANDLE Event;
};

}  // namespace internal
}  // namespace testing
