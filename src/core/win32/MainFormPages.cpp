// The four pages of the configuration window and their controls, laid out as
// tables: positions are left, top, width, height in pixels at 96 dpi, relative
// to the parent named in the row.
#include <windows.h>
#include <commctrl.h>

#include <iterator>

#include "core/win32/MainForm.h"
#include "core/win32/MainFormIds.h"
#include "core/win32/MainFormSpins.h"
#include "platform/Controls.h"
#include "platform/GdiScopes.h"
#include "platform/PictureControl.h"

namespace {

enum class TKind { Panel, GroupBox, Image, Button, BitBtn, Label, SpinEdit, RadioGroup, CheckBox, Memo, DropDownList,
                   TimePicker, HotKey };

struct TControlRow {
    int Id;
    TKind Kind;
    int Parent;   // a page or an earlier row
    ControlRect Rect;
    const char* Text;
    bool Disabled;
};

constexpr TControlRow GeneralRows[] = {
    {IdGeneralPanel, TKind::Panel, IdGeneralPage, {0, 0, 504, 220}, "", false},
    {IdImageGroupBox, TKind::GroupBox, IdGeneralPanel, {7, 13, 125, 131}, " Halvex Picture ", false},
    {IdImage, TKind::Image, IdImageGroupBox, {2, 15, 122, 101}, "", false},
    {IdImageButton, TKind::Button, IdImageGroupBox, {2, 116, 122, 13}, "", false},
    {IdPrimaryGroup, TKind::GroupBox, IdGeneralPanel, {137, 13, 183, 131}, " Primary Options ", false},
    {IdPwdBitBtn, TKind::BitBtn, IdPrimaryGroup, {13, 20, 157, 23}, "Set Password", false},
    {IdMonitorGroup, TKind::GroupBox, IdGeneralPanel, {325, 13, 170, 202}, " Monitor Power Options ", false},
    {IdPwrTimeOutLabel, TKind::Label, IdMonitorGroup, {7, 20, 142, 13}, "Monitor Power TimeOut, secs:", false},
    {IdTimeOutEdit, TKind::SpinEdit, IdMonitorGroup, {7, 39, 156, 22}, "15", false},
    {IdPowerModeGroup, TKind::RadioGroup, IdMonitorGroup, {7, 72, 156, 117}, " Monitor Power Mode ", false},
    {IdLockStyleGroup, TKind::RadioGroup, IdGeneralPanel, {7, 150, 125, 65}, " Halvex style for PC ", false},
    {IdMiscGroupBox, TKind::GroupBox, IdGeneralPanel, {137, 150, 183, 65}, " Miscellaneous Options ", false},
    {IdStartUpCheckBox, TKind::CheckBox, IdMiscGroupBox, {7, 20, 163, 13}, "Lock PC on Windows StartUp", false},
    {IdShutDownCheckBox, TKind::CheckBox, IdMiscGroupBox, {7, 44, 163, 14}, "Shut Down in Halvex Screen", false},
};

constexpr TControlRow AdminRows[] = {
    {IdAdminPanel, TKind::Panel, IdAdminPage, {0, 0, 504, 220}, "", false},
    {IdProfilesGroupBox, TKind::GroupBox, IdAdminPanel, {7, 13, 319, 202}, " User Profile Settings ", false},
    {IdSelUserLabel, TKind::Label, IdProfilesGroupBox, {7, 20, 105, 13}, "Select an User Profile:", false},
    {IdUsersComboBox, TKind::DropDownList, IdProfilesGroupBox, {7, 39, 156, 21}, "", false},
    {IdPwdABitBtn, TKind::BitBtn, IdProfilesGroupBox, {174, 36, 132, 23}, "Set Password", true},
    {IdTimeLimitGroupBox, TKind::GroupBox, IdProfilesGroupBox, {7, 72, 306, 65},
     " Time Restriction for Selected User Profile ", false},
    {IdStartStopTimeLabel, TKind::Label, IdTimeLimitGroupBox, {7, 20, 121, 13}, "Start/Stop Working Time:", false},
    {IdTimeLimitCheckBox, TKind::CheckBox, IdTimeLimitGroupBox, {156, 20, 144, 13}, "Enable Time Restriction", true},
    {IdLDateTimePicker, TKind::TimePicker, IdTimeLimitGroupBox, {7, 37, 143, 21}, "", true},
    {IdRDateTimePicker, TKind::TimePicker, IdTimeLimitGroupBox, {156, 37, 144, 21}, "", true},
    {IdDurationGroupBox, TKind::GroupBox, IdProfilesGroupBox, {7, 138, 306, 57},
     " Duration Per Day for Selected User Profile, in hours ", false},
    {IdDurationSpinEdit, TKind::SpinEdit, IdDurationGroupBox, {7, 23, 143, 22}, "1", true},
    {IdDurationCheckBox, TKind::CheckBox, IdDurationGroupBox, {156, 26, 144, 14}, "Enable Duration", true},
    {IdSystemGroupBox, TKind::GroupBox, IdAdminPanel, {332, 13, 163, 202}, " System Options ", false},
    {IdBootKeysCheckBox, TKind::CheckBox, IdSystemGroupBox, {7, 20, 150, 13}, "Disable Boot Keys", false},
    {IdBootMenuCheckBox, TKind::CheckBox, IdSystemGroupBox, {7, 39, 150, 14}, "Enable Boot Menu", false},
    {IdUserValidationCheckBox, TKind::CheckBox, IdSystemGroupBox, {7, 59, 150, 13}, "User Must Be Validated", false},
    {IdLockedUserCfgCheckBox, TKind::CheckBox, IdSystemGroupBox, {7, 79, 150, 13}, "User Can Unlock Only", false},
    {IdAPwdBitBtn, TKind::BitBtn, IdSystemGroupBox, {7, 124, 150, 23}, "Set Admin Password", false},
    {IdHalvexHotKeyLabel, TKind::Label, IdSystemGroupBox, {7, 156, 82, 13}, "Halvex Hot-Key:", false},
    {IdHalvexHotKey, TKind::HotKey, IdSystemGroupBox, {7, 174, 150, 21}, "", false},
};

struct TRadioItems {
    int Group;
    int FirstItem;
    const char* const* Items;
    int Count;
};
constexpr const char* PowerModeItems[] = {"None", "Blank Screen", "Suspend", "StandBy"};
constexpr const char* LockStyleItems[] = {"Halvex Screen", "Screen Saver"};
constexpr TRadioItems RadioGroups[] = {
    {IdPowerModeGroup, IdPowerMode0, PowerModeItems, 4},
    {IdLockStyleGroup, IdLockStyle0, LockStyleItems, 2},
};

constexpr char ToolTipUserValidation[] =
    "Attention !!!\r\nClick the \"Help/Help\" menu to read before\r\nusing it to avoid to be locked out yourself !";
constexpr int LogBtnPanelHeight = 28;

template <size_t N>
ControlRect PlaceInPage(const TControlRow (&rows)[N], const TControlRow& row)
{
    ControlRect rect = row.Rect;
    for (int parent = row.Parent;;) {
        const TControlRow* found = nullptr;
        for (const TControlRow& candidate : rows)
            if (candidate.Id == parent) found = &candidate;
        if (!found) return rect;
        rect.Left += found->Rect.Left;
        rect.Top += found->Rect.Top;
        parent = found->Parent;
    }
}

// As the framework arranges a radio group's buttons: one column, the rows
// share the height below the caption line.
void CreateRadioItems(HWND page, const TRadioItems& group, const ControlRect& box, HFONT font, int textHeight)
{
    int available = box.Height - textHeight - 5;
    int buttonHeight = available / group.Count;
    int topMargin = textHeight + 1 + (available % group.Count) / 2;
    for (int i = 0; i < group.Count; ++i) {
        DWORD style = BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
        CreateControl(page, group.FirstItem + i, WC_BUTTONA, group.Items[i], style, 0,
                      {box.Left + 8, box.Top + topMargin + i * buttonHeight, box.Width - 10, buttonHeight}, font);
    }
}

HWND CreateRow(HWND page, const TControlRow& row, const ControlRect& rect, HFONT font)
{
    DWORD disabled = row.Disabled ? WS_DISABLED : 0;
    switch (row.Kind) {
    case TKind::Panel:
        // A frame only: a panel that painted its inside would cover its siblings.
        return CreateControl(page, row.Id, WC_STATICA, "", SS_ETCHEDFRAME | disabled, 0, rect, font);
    case TKind::GroupBox:
    case TKind::RadioGroup:
        return CreateControl(page, row.Id, WC_BUTTONA, row.Text, BS_GROUPBOX | disabled, 0, rect, font);
    case TKind::Image:
        return CreateControl(page, row.Id, PictureControlClassName, "", disabled, 0, rect, font);
    case TKind::Button:
    case TKind::BitBtn:
        return CreateControl(page, row.Id, WC_BUTTONA, row.Text, BS_PUSHBUTTON | WS_TABSTOP | disabled, 0, rect,
                             font);
    case TKind::Label:
        return CreateControl(page, row.Id, WC_STATICA, row.Text, SS_LEFT | SS_NOPREFIX | disabled, 0, rect, font);
    case TKind::SpinEdit:
        return CreateControl(page, row.Id, WC_EDITA, row.Text, ES_AUTOHSCROLL | WS_TABSTOP | disabled,
                             WS_EX_CLIENTEDGE, rect, font);
    case TKind::CheckBox:
        return CreateControl(page, row.Id, WC_BUTTONA, row.Text, BS_AUTOCHECKBOX | WS_TABSTOP | disabled, 0, rect,
                             font);
    case TKind::Memo:
        return CreateControl(page, row.Id, WC_EDITA, row.Text,
                             ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP | disabled,
                             WS_EX_CLIENTEDGE, rect, font);
    case TKind::DropDownList: {
        ControlRect dropped = rect;
        dropped.Height = 200;   // the list's own height when open
        return CreateControl(page, row.Id, WC_COMBOBOXA, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | disabled,
                             0, dropped, font);
    }
    case TKind::TimePicker:
        return CreateControl(page, row.Id, DATETIMEPICK_CLASSA, "", DTS_TIMEFORMAT | DTS_UPDOWN | WS_TABSTOP | disabled,
                             0, rect, font);
    case TKind::HotKey:
        return CreateControl(page, row.Id, HOTKEY_CLASSA, "", WS_TABSTOP | disabled, WS_EX_CLIENTEDGE, rect, font);
    }
    return nullptr;
}

void AttachUpDowns(HWND page, HFONT font)
{
    for (const TSpinRange& spin : SpinRanges) {
        HWND edit = GetDlgItem(page, spin.Edit);
        if (!edit) continue;
        HWND upDown = CreateControl(page, spin.UpDown, UPDOWN_CLASSA, "",
                                    UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS |
                                        (IsWindowEnabled(edit) ? 0 : WS_DISABLED),
                                    0, {0, 0, 0, 0}, font);
        SendMessageA(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
        SendMessageA(upDown, UDM_SETRANGE32, spin.Min, spin.Max);
    }
}

void AddToolTip(HWND page, int id, const char* text)
{
    HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                               0, 0, page, nullptr, GetModuleHandleA(nullptr), nullptr);
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = page;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(page, id));
    tool.lpszText = const_cast<char*>(text);
    SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, 400);
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

int TextHeightOf(HFONT font)
{
    WindowDcScope dc(nullptr);
    SelectionScope selected(dc.Get(), font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc.Get(), &metrics);
    return metrics.tmHeight;
}

template <size_t N>
void CreateRows(HWND page, const TControlRow (&rows)[N], HFONT font)
{
    int textHeight = TextHeightOf(font);
    for (const TControlRow& row : rows) {
        ControlRect rect = PlaceInPage(rows, row);
        CreateRow(page, row, rect, font);
        for (const TRadioItems& group : RadioGroups)
            if (group.Group == row.Id) CreateRadioItems(page, group, rect, font, textHeight);
    }
    AttachUpDowns(page, font);
}

}  // namespace

void CreateGeneralPage(HWND page, HFONT font)
{
    CreateRows(page, GeneralRows, font);
}

void CreateAdminPage(HWND page, HFONT font)
{
    CreateRows(page, AdminRows, font);
    AddToolTip(page, IdUserValidationCheckBox, ToolTipUserValidation);
    SendMessageA(GetDlgItem(page, IdHalvexHotKey), HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                 MAKELPARAM(HOTKEYF_CONTROL, 0));
}

void CreateScrollTextPage(HWND page, HFONT memoFont, const ControlRect& client)
{
    CreateControl(page, IdScrollTextMemo, WC_EDITA, "",
                  ES_MULTILINE | ES_CENTER | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
                  WS_EX_CLIENTEDGE, client, memoFont);
}

void CreateLogFilePage(HWND page, HFONT font, const ControlRect& client)
{
    CreateControl(page, IdLogFileMemo, WC_EDITA, "",
                  ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
                  {0, 0, client.Width, client.Height - LogBtnPanelHeight}, font);
    int strip = client.Height - LogBtnPanelHeight;
    CreateControl(page, IdBtnClearLog, WC_BUTTONA, "Clear", BS_PUSHBUTTON | WS_TABSTOP, 0, {4, strip + 3, 75, 23},
                  font);
    constexpr int checkWidth = 100;
    CreateControl(page, IdLogFileCheckBox, WC_BUTTONA, "Enable LogFile", BS_AUTOCHECKBOX | WS_TABSTOP, 0,
                  {client.Width - checkWidth - 4, strip + 7, checkWidth, 14}, font);
}
