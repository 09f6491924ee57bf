// The values of time pickers and memos in the forms the settings use.
#pragma once

#include <windows.h>

#include "settings/DStorage.h"

double PickerTime(HWND picker);   // time of day, as a fraction of a day
void SetPickerTime(HWND picker, double timeOfDay);
void SetPickerDate(HWND picker, const SYSTEMTIME& date);
TStrings MemoLines(HWND memo);
void SetMemoLines(HWND memo, const TStrings& lines);
