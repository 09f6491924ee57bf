// What the lockdown tests and their helper programs (lockdown_*.exe) agree on:
// names, window classes, commands and exit codes.
#pragma once

#include <windows.h>

namespace lockdown {

// lockdown_hook.exe: a hidden window that runs the lock's keyboard hook on its thread.
inline constexpr char HookToolExe[] = "lockdown_hook.exe";
inline constexpr char HookToolClass[] = "LockdownHookTool";
// Sent to the hook tool's window; each answers 1 or 0.
inline constexpr UINT InstallHookMessage = WM_APP + 1;  // 1 when a hook was installed
inline constexpr UINT RemoveHookMessage = WM_APP + 2;   // the result of RemoveKeyboardHook
inline constexpr UINT ReinstallHookMessage = WM_APP + 3;  // 1 when a fresh hook was installed

// lockdown_hung.exe <event name>: shows a window titled as the Task Manager, signals
// "<event name>.hanging", then answers no message until "<event name>.release" is set.
inline constexpr char HungToolExe[] = "lockdown_hung.exe";
inline constexpr char HangingSuffix[] = ".hanging";
inline constexpr char ReleaseSuffix[] = ".release";

// lockdown_shell.exe "<class>|<title>"...: shows one window per argument standing for a
// shell window, plus one of ForegroundClass that takes the foreground. WM_CLOSE to any ends it.
inline constexpr char ShellToolExe[] = "lockdown_shell.exe";
inline constexpr char ForegroundClass[] = "LockdownShellForeground";
inline constexpr char ClassTitleSeparator = '|';

// lockdown_clock.exe <output file> rules|bias <local date-time>...: one line per date-time,
// "YYYY-MM-DD hh:mm:ss.mmm" in UTC or "failed". rules: LocalToSystemTime; bias:
// LocalToSystemTimeByCurrentBias. Date-times are written the same way. The file appears
// complete or not at all.
inline constexpr char ClockToolExe[] = "lockdown_clock.exe";
inline constexpr char ByZoneRules[] = "rules";
inline constexpr char ByCurrentBias[] = "bias";
inline constexpr char FailedLine[] = "failed";

// lockdown_send.exe <window, hex> <message> <wParam>: sends the message from another
// process; exits with the window's answer, or NotDelivered.
inline constexpr char SendToolExe[] = "lockdown_send.exe";
inline constexpr DWORD NotDelivered = 0xDEAD;

inline constexpr int BadUsage = 0xBAD;

}  // namespace lockdown
