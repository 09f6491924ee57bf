// The small modal password dialogs of hvxw: one field that checks a password, and two
// fields in which a new password is typed twice. Built in code, laid out by DialogLayout.
#pragma once

#include <windows.h>

#include <string>

#include "activation/DialogLayout.h"

// Control ids, fixed so that other programs (and the tests) can find the controls.
inline constexpr int PasswordEdit1Id = 101;
inline constexpr int PasswordEdit2Id = 102;
inline constexpr int PasswordLabel1Id = 201;
inline constexpr int PasswordLabel2Id = 202;

// True, with value set to the text, when closed with OK and the field was changed (or
// acceptUnmodified); otherwise false and value untouched.
bool InputPasswordQuery(HWND owner, const std::string& caption, const std::string& prompt, std::string& value,
                        bool masked, bool acceptUnmodified);

// As InputPasswordQuery with two fields: either changed is enough, both are then stored.
// The two texts are not compared.
bool InputPasswordPair(HWND owner, const std::string& caption, const std::string& prompt1, const std::string& prompt2,
                       std::string& value1, std::string& value2, bool acceptUnmodified, bool masked1, bool masked2);

// Asks once for a password; true when the text typed is expected, or a non-empty alternative.
// A wrong text is told in a message box. While a query is open, a further call returns false at once.
bool PasswordQuery(HWND owner, const std::string& caption, const std::string& prompt, const std::string& expected,
                   const std::string& alternative);
