// Identifiers of the configuration window's controls and commands. Shared with
// the Windows-side tests, which find controls and send commands by them.
#pragma once

// Commands: one per action; menu items, tool buttons and short-cuts carry these.
enum ActionCommand : int {
    CmdHideShow = 100,
    CmdSetHalvex,
    CmdSetHalvexStandBy,
    CmdReLoadSettings,
    CmdSaveSettings,
    CmdHlpContents,
    CmdHlpHelp,
    CmdAbout,
    CmdExit,
    CmdWebHome,
    CmdWebProducts,
    CmdWebEMail,
    CmdLockWorkStation,
};

enum ControlId : int {
    IdToolBar = 1000,
    IdPageControl,
    IdStatusBar,
    IdGeneralPage,
    IdScrollTextPage,
    IdLogFilePage,
    IdAdminPage,
    // General
    IdGeneralPanel,
    IdImageGroupBox,
    IdImage,
    IdImageButton,
    IdPrimaryGroup,
    IdPwdBitBtn,
    IdMonitorGroup,
    IdPwrTimeOutLabel,
    IdTimeOutEdit,
    IdTimeOutUpDown,
    IdPowerModeGroup,
    IdPowerMode0,   // the group's items follow in order
    IdPowerMode1,
    IdPowerMode2,
    IdPowerMode3,
    IdLockStyleGroup,
    IdLockStyle0,
    IdLockStyle1,
    IdMiscGroupBox,
    IdStartUpCheckBox,
    IdShutDownCheckBox,
    // ScrollText
    IdScrollTextMemo,
    // LogFile
    IdLogFileMemo,
    IdLogBtnPanel,
    IdBtnClearLog,
    IdLogFileCheckBox,
    // Admin
    IdAdminPanel,
    IdProfilesGroupBox,
    IdSelUserLabel,
    IdUsersComboBox,
    IdPwdABitBtn,
    IdTimeLimitGroupBox,
    IdStartStopTimeLabel,
    IdTimeLimitCheckBox,
    IdLDateTimePicker,
    IdRDateTimePicker,
    IdDurationGroupBox,
    IdDurationSpinEdit,
    IdDurationUpDown,
    IdDurationCheckBox,
    IdSystemGroupBox,
    IdBootKeysCheckBox,
    IdBootMenuCheckBox,
    IdUserValidationCheckBox,
    IdLockedUserCfgCheckBox,
    IdAPwdBitBtn,
    IdHalvexHotKeyLabel,
    IdHalvexHotKey,
};

// The tray icon's notifications reach the main window as this message, with
// the mouse message in lParam, as the shell sends them.
constexpr unsigned TrayIconMessage = 0x8000 + 1;   // WM_APP + 1
constexpr unsigned MainTimerId = 1;

constexpr char MainFormClass[] = "TMainForm";
