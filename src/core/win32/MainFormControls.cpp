// Reading and setting the values of the configuration window's controls in
// the forms the settings use: item indexes, spin values, times of day, lines.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "common/DateTime.h"
#include "core/win32/MainForm.h"
#include "core/win32/MainFormIds.h"
#include "core/win32/MainFormSpins.h"
#include "platform/Controls.h"
#include "settings/SettingCodec.h"
#include "core/win32/ControlValues.h"

namespace {


}  // namespace

int TMainForm::SelectedItem(int firstItem, int count) const
{
    for (int i = 0; i < count; ++i)
        if (IsChecked(Control(firstItem + i))) return i;
    return -1;
}

void TMainForm::SelectItem(int firstItem, int count, int index)
{
    for (int i = 0; i < count; ++i) SetChecked(Control(firstItem + i), i == index);
}

// As a spin edit: a value is kept within the edit's range.
int TMainForm::SpinValue(int edit) const
{
    int value = ReadInteger(WindowText(Control(edit)), 0);
    for (const TSpinRange& range : SpinRanges)
        if (range.Edit == edit) value = std::clamp(value, range.Min, range.Max);
    return value;
}

void TMainForm::SetSpinValue(int edit, int value)
{
    for (const TSpinRange& range : SpinRanges)
        if (range.Edit == edit) value = std::clamp(value, range.Min, range.Max);
    SetWindowTextA(Control(edit), IntegerText(value).c_str());
}

double PickerTime(HWND picker)
{
    SYSTEMTIME time = {};
    if (SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID) return 0;
    return (time.wHour * 3600000.0 + time.wMinute * 60000.0 + time.wSecond * 1000.0 + time.wMilliseconds) /
           86400000.0;
}

// The picker keeps its date; only the time of day changes.
void SetPickerTime(HWND picker, double timeOfDay)
{
    SYSTEMTIME time = {};
    SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    if (time.wYear == 0) GetLocalTime(&time);
    CalendarDateTime calendar = DecodeDateTime(TimeOfDay(timeOfDay));
    time.wHour = static_cast<WORD>(calendar.Hour);
    time.wMinute = static_cast<WORD>(calendar.Minute);
    time.wSecond = static_cast<WORD>(calendar.Second);
    time.wMilliseconds = static_cast<WORD>(calendar.Millisecond);
    SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

void SetPickerDate(HWND picker, const SYSTEMTIME& date)
{
    SYSTEMTIME time = {};
    SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    time.wYear = date.wYear;
    time.wMonth = date.wMonth;
    time.wDay = date.wDay;
    time.wDayOfWeek = date.wDayOfWeek;
    SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

TStrings MemoLines(HWND memo)
{
    TStrings lines;
    std::string text = WindowText(memo);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

void SetMemoLines(HWND memo, const TStrings& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    SetWindowTextA(memo, text.c_str());
}
