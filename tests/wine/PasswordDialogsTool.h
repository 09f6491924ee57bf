// What the password dialog tests and their tool password_prompt.exe agree on: its name,
// its hidden owner window, the files it answers in and the message that nests a query.
#pragma once

#include <windows.h>

namespace password_prompt {

inline constexpr char ExeName[] = "password_prompt.exe";
inline constexpr char OwnerClass[] = "PasswordPromptOwner";
// One line per call: "true" or "false", then the values it returned (input, pair).
inline constexpr char ResultFile[] = "result.txt";
// Written by the query opened through NestedQueryMessage as soon as it returns.
inline constexpr char NestedResultFile[] = "nested.txt";
// Posted to the owner window while a query is open: it opens a second query.
inline constexpr UINT NestedQueryMessage = WM_APP + 7;

inline constexpr int BadUsage = 2;
inline constexpr int CannotWriteResult = 3;

}  // namespace password_prompt
