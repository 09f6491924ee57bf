// What the configuration window does when its controls change: the modified
// state, the Admin page's profile editing, passwords, the picture, the page
// gate and the log page.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include "activation/win32/MixDlg.h"
#include "core/win32/MainForm.h"
#include "core/win32/MainFormIds.h"
#include "core/win32/ProgramGlobals.h"
#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/Picture.h"
#include "platform/PictureControl.h"
#include "settings/DStorage.h"

namespace {

constexpr int ModifyingClicks[] = {IdPowerMode0,       IdPowerMode1,        IdPowerMode2,
                                   IdPowerMode3,       IdLockStyle0,        IdLockStyle1,
                                   IdStartUpCheckBox,  IdShutDownCheckBox,  IdLogFileCheckBox,
                                   IdBootKeysCheckBox, IdBootMenuCheckBox,  IdUserValidationCheckBox,
                                   IdLockedUserCfgCheckBox};
constexpr char SetAdminPasswordCaption[] = "Set Admin Password";
constexpr char NotTheSameText[] = "The same password must be entered twice.";
constexpr char PictureFilter[] =
    "All pictures\0*.bmp;*.ico;*.wmf;*.emf;*.jpg;*.jpeg;*.gif\0Bitmaps (*.bmp)\0*.bmp\0Icons (*.ico)\0*.ico\0"
    "Metafiles (*.wmf)\0*.wmf\0Enhanced Metafiles (*.emf)\0*.emf\0JPEG Image File (*.jpg;*.jpeg)\0*.jpg;*.jpeg\0"
    "CompuServe GIF Image (*.gif)\0*.gif\0";

template <size_t N>
bool Contains(const int (&ids)[N], int id)
{
    for (int candidate : ids)
        if (candidate == id) return true;
    return false;
}

}  // namespace

void TMainForm::HandleControlCommand(int id, int notification)
{
    if (notification == BN_CLICKED && Contains(ModifyingClicks, id)) {
        ActionModifySettingsExecute();
        return;
    }
    switch (id) {
    case IdTimeOutEdit:
    case IdScrollTextMemo:
        if (notification == EN_CHANGE) ActionModifySettingsExecute();
        break;
    case IdDurationSpinEdit:
        if (notification == EN_CHANGE) OnTimeRestrictionChange();
        break;
    case IdTimeLimitCheckBox:
    case IdDurationCheckBox:
        if (notification == BN_CLICKED) OnTimeRestrictionChange();
        break;
    case IdUsersComboBox:
        if (notification == CBN_SELCHANGE) OnUserProfileChange();
        break;
    case IdPwdBitBtn:
    case IdPwdABitBtn:
        if (notification == BN_CLICKED) PwdBitBtnClick(id);
        break;
    case IdAPwdBitBtn:
        if (notification == BN_CLICKED) APwdBitBtnClick();
        break;
    case IdImage:
    case IdImageButton:
        if (notification == STN_CLICKED || notification == BN_CLICKED) ImageClick();
        break;
    case IdBtnClearLog:
        if (notification == BN_CLICKED) BtnClearLogClick();
        break;
    default:
        break;
    }
}

LRESULT TMainForm::HandleControlNotify(const NMHDR& header)
{
    if (header.code == DTN_DATETIMECHANGE &&
        (header.idFrom == IdLDateTimePicker || header.idFrom == IdRDateTimePicker))
        OnTimeRestrictionChange();
    return 0;
}

void TMainForm::OnUserProfileChange()
{
    std::string profile = SelectedProfile();
    if (profile.empty()) return;
    SettingsLoaded = false;
    ShowSelectedProfile(TDStorage(SettingsFileName, true), profile);
    EnableWindow(Control(IdPwdABitBtn), TRUE);
    for (int id : {IdLDateTimePicker, IdRDateTimePicker, IdTimeLimitCheckBox, IdDurationSpinEdit, IdDurationUpDown,
                   IdDurationCheckBox})
        EnableWindow(Control(id), TRUE);
    SettingsLoaded = true;
}

void TMainForm::OnTimeRestrictionChange()
{
    if (!SettingsLoaded) return;
    if (SelectedProfile() == CurrentProfile) {
        Usage.ChangeRestriction(UsageRestrictionOf(ProfileRestrictionsOfControls()));
        TimeExpired = false;
        Guard.SetTimeExpired(false);
    }
    ActionModifySettingsExecute();
}

// Both views of the current profile's password change together.
void TMainForm::PwdBitBtnClick(int button)
{
    TSecret& hint = button == IdPwdBitBtn ? PwdBitBtnHint : PwdABitBtnHint;
    std::string first = hint.Get(), second = hint.Get();
    if (!InputPasswordPair(Application.Handle(), WindowText(Control(button)), "Enter password:",
                           "Confirm password:", first, second, false, true, true))
        return;
    if (first != second) {
        Application.ShowMessageBox(NotTheSameText, "Warning", MB_OK | MB_ICONWARNING);
        return;
    }
    if (SelectedProfile() == CurrentProfile) {
        PwdBitBtnHint.Assign(first);
        PwdABitBtnHint.Assign(first);
    } else {
        hint.Assign(first);
    }
    ActionModifySettingsExecute();
}

void TMainForm::APwdBitBtnClick()
{
    std::string first = APwdBitBtnHint.Get(), second = APwdBitBtnHint.Get();
    if (!InputPasswordPair(Application.Handle(), SetAdminPasswordCaption, "Enter password:", "Confirm password:",
                           first, second, false, true, true))
        return;
    if (first != second) {
        Application.ShowMessageBox(NotTheSameText, "Warning", MB_OK | MB_ICONWARNING);
        return;
    }
    APwdBitBtnHint.Assign(first);
    ActionModifySettingsExecute();
}

void TMainForm::ImageClick()
{
    char fileName[MAX_PATH] = {};
    lstrcpynA(fileName, PictureFileName.c_str(), MAX_PATH);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = PictureFilter;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING | OFN_EXPLORER;
    if (!GetOpenFileNameA(&dialog)) return;
    TPicture picture;
    if (!picture.LoadFromFile(fileName)) {
        Application.ShowMessageBox(std::string("The picture ") + fileName + " cannot be shown.", "Error",
                                   MB_OK | MB_ICONERROR);
        return;
    }
    PictureFileName = fileName;
    SetControlPicture(Control(IdImage), std::move(picture));
    ActionModifySettingsExecute();
}

void TMainForm::PageControlChange(TPageChange change)
{
    if (ActivePage() == AdminPageIndex && change == TPageChange::ByUser) {
        HWND admin = Pages[AdminPageIndex];
        ShowWindow(admin, SW_HIDE);
        if (AdminCheckPassed()) {
            EnableWindow(admin, TRUE);
            ShowWindow(admin, SW_SHOW);
        } else {
            SelectPage(0);
        }
    }
    RefreshLogPage();
}
