// The texts of the configuration window's password prompts, shared by its commands and pages.
#pragma once

constexpr char AdminPrompt[] = "Enter Admin password:";
constexpr char PasswordPrompt[] = "Enter password:";
constexpr char AdminCheckCaption[] = "Admin privilege checking";
