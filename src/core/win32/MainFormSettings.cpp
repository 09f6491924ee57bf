// Loading and saving the settings between their stores and the controls
// that hold them while the program runs, and the modified state.
#include <windows.h>
#include <commctrl.h>

#include "core/win32/ControlValues.h"
#include "core/win32/MainForm.h"
#include "core/win32/MainFormIds.h"
#include "core/win32/ProgramGlobals.h"
#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/Picture.h"
#include "platform/PictureControl.h"
#include "settings/SettingCodec.h"
#include "settings/SettingsModel.h"
#include "settings/SystemOptionsNames.h"
#include "settings/win32/Registry.h"
#include "settings/win32/UserProfiles.h"

namespace {

constexpr char BootFileWarning[] =
    "The settings were saved, but the start-up options could not be written to c:\\msdos.sys:\r\n";

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void TMainForm::LoadPicture(const std::string& fileName)
{
    TPicture picture;
    // A picture that cannot be decoded leaves the preview empty and the load goes on.
    if (FileExists(fileName)) picture.LoadFromFile(fileName);
    SetControlPicture(Control(IdImage), std::move(picture));
}

void TMainForm::ShowLockSettings(const TLockSettings& settings)
{
    PwdBitBtnHint.Assign(settings.LockPwd);
    PictureFileName = settings.Picture;
    LoadPicture(PictureFileName);
    SetWindowTextA(Control(IdTimeOutEdit), IntegerText(settings.TimeOut).c_str());
    SelectItem(IdPowerMode0, 4, settings.PowerMode);
    SetChecked(Control(IdShutDownCheckBox), settings.ShutDown);
    SetChecked(Control(IdStartUpCheckBox), settings.StartUp);
    SelectItem(IdLockStyle0, 2, settings.LockStyle);
    SetChecked(Control(IdLogFileCheckBox), settings.LogFile);
    SetMemoLines(Control(IdScrollTextMemo), settings.Text);
}

TLockSettings TMainForm::LockSettingsOfControls() const
{
    TLockSettings settings;
    settings.LockPwd = PwdBitBtnHint.Get();
    settings.Picture = PictureFileName;
    settings.TimeOut = ReadInteger(WindowText(Control(IdTimeOutEdit)), 0);
    settings.PowerMode = SelectedItem(IdPowerMode0, 4);
    settings.LockStyle = SelectedItem(IdLockStyle0, 2);
    settings.ShutDown = IsChecked(Control(IdShutDownCheckBox));
    settings.StartUp = IsChecked(Control(IdStartUpCheckBox));
    settings.LogFile = IsChecked(Control(IdLogFileCheckBox));
    settings.Text = MemoLines(Control(IdScrollTextMemo));
    return settings;
}

void TMainForm::ShowProfileRestrictions(const TRestrictionSettings& restriction)
{
    SetPickerTime(Control(IdLDateTimePicker), restriction.LeftTimeBound);
    SetPickerTime(Control(IdRDateTimePicker), restriction.RightTimeBound);
    SetChecked(Control(IdTimeLimitCheckBox), restriction.TimeLimit);
    SetSpinValue(IdDurationSpinEdit, restriction.DurationHours);
    SetChecked(Control(IdDurationCheckBox), restriction.Duration);
}

TRestrictionSettings TMainForm::ProfileRestrictionsOfControls() const
{
    TRestrictionSettings restriction;
    restriction.LeftTimeBound = PickerTime(Control(IdLDateTimePicker));
    restriction.RightTimeBound = PickerTime(Control(IdRDateTimePicker));
    restriction.TimeLimit = IsChecked(Control(IdTimeLimitCheckBox));
    restriction.DurationHours = SpinValue(IdDurationSpinEdit);
    restriction.Duration = IsChecked(Control(IdDurationCheckBox));
    return restriction;
}

TUsageRestriction TMainForm::UsageRestrictionOf(const TRestrictionSettings& restriction)
{
    TUsageRestriction usage;
    usage.TimeLimit = restriction.TimeLimit;
    usage.LeftTimeBound = restriction.LeftTimeBound;
    usage.RightTimeBound = restriction.RightTimeBound;
    usage.Duration = restriction.Duration;
    usage.DurationLimit = DurationLimitOf(restriction);
    return usage;
}

// The current profile's password in force may be ".Default"'s, as its section may not
// be its own yet: saving its stale entry back would change the password unasked.
void TMainForm::ShowSelectedProfile(const TDStorage& storage, const std::string& profile)
{
    if (profile == CurrentProfile) {
        PwdABitBtnHint = PwdBitBtnHint;
    } else {
        std::string read;
        storage.ReadString(profile, LockPwdKey, read);
        PwdABitBtnHint.Assign(read);
    }
    ShowProfileRestrictions(ReadRestrictions(storage, profile));
}

void TMainForm::TakeRestrictionCopies(const TRestrictionSettings& restriction)
{
    Usage.Load(UsageRestrictionOf(restriction), restriction.DurationDay, restriction.DurationTick);
}

void TMainForm::ActionReLoadSettingsExecute()
{
    if (IsWindowVisible(Handle())) SetFocus(PageControl);
    SettingsLoaded = false;
    TRegistry registry;
    TDStorage storage(SettingsFileName, true);

    TakeRestrictionCopies(ReadRestrictions(storage, CurrentProfile));
    ShowLockSettings(ReadLockSettings(storage, LockSettingsSection(storage, CurrentProfile), AppDir));

    TGlobalSettings global = ReadGlobalSettings(storage);
    SetHotKeyControl(global.HotKey);
    SetHalvexHotKey(THotKeyFrom::Settings);
    SetChecked(Control(IdLockedUserCfgCheckBox), global.LUCfg);
    AdminPassword.Assign(global.APwd);
    APwdBitBtnHint.Assign(global.APwd);

    std::string profile = SelectedProfile();
    if (!profile.empty())
        ShowSelectedProfile(storage, profile);
    else
        FillUsersComboBox();

    // Standard users cannot create c:\msdos.sys on current Windows: its boxes
    // then load unchecked and the rest of the load stands.
    TBootOptions boot;
    try {
        storage.SetFile(MsDosSysFileName, false);
        boot = ReadBootOptions(storage);
    } catch (const EInOutError&) {
        boot = {};
    }
    SetChecked(Control(IdBootKeysCheckBox), boot.BootKeysDisabled);
    SetChecked(Control(IdBootMenuCheckBox), boot.BootMenu);

    std::string validated;
    ReadRegValue(&registry, HKEY_LOCAL_MACHINE, NetworkLogonKeyPath, MustBeValidatedValue, validated);
    SetChecked(Control(IdUserValidationCheckBox), validated == "1");

    SettingsLoaded = true;
    Actions.SetEnabled(CmdSaveSettings, false);
    Actions.SetEnabled(CmdReLoadSettings, false);
    ActionSetStatusBarExecute();
}

void TMainForm::ActionSaveSettingsExecute()
{
    if (IsWindowVisible(Handle())) SetFocus(PageControl);
    TRegistry registry;
    TDStorage storage(SettingsFileName, true);
    WriteLockSettings(storage, CurrentProfile, LockSettingsOfControls());

    std::string bootFileError;
    if (IsWindowEnabled(Pages[AdminPageIndex])) {
        TGlobalSettings global;
        global.HotKey = HotKeyCodeOfControl();
        AdminPassword = APwdBitBtnHint;
        global.APwd = AdminPassword.Get();
        global.LUCfg = IsChecked(Control(IdLockedUserCfgCheckBox));
        WriteGlobalSettings(storage, global);

        std::string profile = SelectedProfile();
        if (!profile.empty()) WriteProfileRestrictions(storage, profile, PwdABitBtnHint.Get(), ProfileRestrictionsOfControls());

        TBootOptions boot;
        boot.BootKeysDisabled = IsChecked(Control(IdBootKeysCheckBox));
        boot.BootMenu = IsChecked(Control(IdBootMenuCheckBox));
        try {
            storage.SetFile(MsDosSysFileName, false);
            WriteBootOptions(storage, boot);
        } catch (const EInOutError& error) {
            bootFileError = error.what();
        }
        WriteRegValue(&registry, HKEY_LOCAL_MACHINE, NetworkLogonKeyPath, MustBeValidatedValue,
                      IsChecked(Control(IdUserValidationCheckBox)) ? "1" : "0", RegValueKind::Dword);
    }
    Actions.SetEnabled(CmdSaveSettings, false);
    Actions.SetEnabled(CmdReLoadSettings, false);
    ActionSetStatusBarExecute();
    if (!bootFileError.empty())
        Application.ShowMessageBox(BootFileWarning + bootFileError, "Warning", MB_OK | MB_ICONWARNING);
}

void TMainForm::ActionModifySettingsExecute()
{
    if (!SettingsLoaded) return;
    Actions.SetEnabled(CmdSaveSettings, true);
    Actions.SetEnabled(CmdReLoadSettings, true);
    ActionSetStatusBarExecute();
}

std::string TMainForm::SelectedProfile() const
{
    return WindowText(Control(IdUsersComboBox));
}

void TMainForm::FillUsersComboBox()
{
    TStrings users;
    BuildUserList(users, false);
    HWND combo = Control(IdUsersComboBox);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& user : users) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(user.c_str()));
}
