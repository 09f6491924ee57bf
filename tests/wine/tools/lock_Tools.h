// What the lock screen tests and their helper programs (lock_*.exe) agree on: programs,
// window classes, colours, commands and file names.
#pragma once

#include <windows.h>

namespace lock_tools {

// lock_intruder.exe: another program's window of a colour the lock never shows, placed
// where the lock window is black. Commands are sent to it; each answers 1 when done.
inline constexpr char IntruderExe[] = "lock_intruder.exe";
inline constexpr char IntruderClass[] = "LockIntruderWindow";
inline constexpr COLORREF IntruderColor = RGB(255, 0, 255);
inline constexpr RECT IntruderBounds = {400, 300, 624, 460};
inline constexpr UINT TakeForegroundCommand = WM_APP + 1;
// wParam: the window that loses its top-most state; the intruder then moves to the top.
inline constexpr UINT ClearTopMostCommand = WM_APP + 2;
inline constexpr UINT BecomeTopMostCommand = WM_APP + 3;

// lock_task_manager.exe: a window titled as the classic Task Manager and one of the later
// Task Manager's class, hidden until the show command, which times their hiding.
inline constexpr char TaskManagerExe[] = "lock_task_manager.exe";
inline constexpr char ClassicTaskManagerTitle[] = "Windows Task Manager";
inline constexpr char TaskManagerClass[] = "TaskManagerWindow";
inline constexpr char TaskManagerTitle[] = "Task Manager";
// Sent to either window: both are shown without activation.
inline constexpr UINT ShowTaskManagersCommand = WM_APP + 1;
// Sent to a window: microseconds from the show command to its hiding; -1 while it was not hidden.
inline constexpr UINT HideDelayQuery = WM_APP + 2;

// lock_observer.exe: writes each end-session message it receives as a line of
// observer.log in its own folder, flushed at once.
inline constexpr char ObserverExe[] = "lock_observer.exe";
inline constexpr char ObserverClass[] = "LockObserverWindow";
inline constexpr char ObserverLog[] = "observer.log";
inline constexpr char QueryEndSessionLine[] = "WM_QUERYENDSESSION";
inline constexpr char EndSessionLine[] = "WM_ENDSESSION";

}  // namespace lock_tools
