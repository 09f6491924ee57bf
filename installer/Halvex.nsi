; The Halvex setup program: installs hvxw.exe with its files, the guard service and the screen
; saver, registers them, and writes the uninstaller (unins000.exe) that takes them away again.
; Built by installer/CMakeLists.txt, which passes with -D: VERSION, PRODUCT, COMPANY, COPYRIGHT,
; OUT_FILE, PROGRAM (hvxw.exe), SCREENSAVER (SSHalvex.scr), GUARD (hvxguard.exe), RES_DIR,
; ALARM (alarm.wav) and WIZARD_BITMAP.
;
; Command line of the setup program: /S silent, /D=<folder> (last), /NOSCREENSAVER leaves the
; user's screen saver as it is. Exit codes: 0 done, 2 the folder holds another program's files,
; 3 the guard service was not registered, 4 some permissions were not set.
; Of the uninstaller: /S silent (keeps the settings and event logs and resets the system
; options as "hvxw.exe Uninstall" does on "Yes").

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define DESKTOP_KEY "Control Panel\Desktop"
!define UNINSTALLER "unins000.exe"
!define PROGRAM_EXE "hvxw.exe"
!define GUARD_FOLDER "Guard"
!define GUARD_EXE "hvxguard.exe"
!define SCREENSAVER_FILE "SSHalvex.scr"
!define SETTINGS_FILE "Halvex.dat"
; The settings store writes its temporary sibling under this name (src/settings/DStorage.cpp).
!define SETTINGS_TEMPORARY "Halvex.$$$$$$" ; "$$" is one dollar sign
!define INSTANCE_MUTEX "Hvxmu01"
; How long the program started by the guard may take to appear before setup's own start of it.
!define GUARD_START_WAIT_MS 5000
!define PROCESS_END_WAIT_MS 5000

; Well-known SIDs, so that the grants mean the same on every language of Windows.
!define SID_ADMINISTRATORS "*S-1-5-32-544"
!define SID_SYSTEM "*S-1-5-18"
!define SID_USERS "*S-1-5-32-545"

!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATE_AND_BROADCAST 3

Name "${PRODUCT}"
; Not the "Halvex Uninstall" of the program's own question, which it asks meanwhile.
UninstallCaption "${PRODUCT} ${VERSION} Uninstall"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

Var PermissionFailures

; --- Pages ----------------------------------------------------------------------------------
!define MUI_ICON "${RES_DIR}/Halvex.ico"
!define MUI_UNICON "${RES_DIR}/Halvex.ico"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD_BITMAP}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${WIZARD_BITMAP}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION}, a password lock for this workstation.$\r$\n$\r$\n\
${PRODUCT} starts with Windows for every user and waits in the notification area. A guard service keeps it \
running and brings it back locked when it is ended during a lock.$\r$\n$\r$\n\
A ${PRODUCT} already running is ended for the update and started again; its settings and event logs are kept.$\r$\n$\r$\n\
Click Next to continue."
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckInstallFolder
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_PAGE_HEADER_TEXT "Choose Options"
!define MUI_PAGE_HEADER_SUBTEXT "Choose how ${PRODUCT} is set up."
!define MUI_COMPONENTSPAGE_TEXT_TOP "${PRODUCT} itself is always installed. Clear the screen saver option to keep your own screen saver."
!define MUI_COMPONENTSPAGE_SMALLDESC
!insertmacro MUI_PAGE_COMPONENTS
; The list of what was done stays until Next, for an administrator to read.
!define MUI_FINISHPAGE_NOAUTOCLOSE
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed and running: its padlock is in the notification area.$\r$\n$\r$\n\
Right-click the padlock and choose Configure to set the passwords."
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\Halvex.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the help page"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; --- Shared by setup and the uninstaller --------------------------------------------------------

; The screen saver's path in the real system folder, long in $0 and short in $1 (the form the
; Screen Saver settings store). On 64-bit Windows the 32-bit view would name SysWOW64.
!macro ScreenSaverPaths un
Function ${un}ScreenSaverPaths
  StrCpy $0 "$SYSDIR\${SCREENSAVER_FILE}"
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
  ${EndIf}
  GetFullPathName /SHORT $1 $0
  ${If} ${RunningX64}
    ${EnableX64FSRedirection}
  ${EndIf}
  ${If} $1 == ""
    StrCpy $1 $0
  ${EndIf}
FunctionEnd
!macroend
!insertmacro ScreenSaverPaths ""
!insertmacro ScreenSaverPaths "un."

; Ends every running hvxw.exe started from this installation's folder (in any session), by
; handle: a program of the same name elsewhere is not ours. Debug privilege lets an
; administrator open other users' processes.
!macro EndProgramInstances un
Function ${un}EndProgramInstances
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  ; TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY; TOKEN_PRIVILEGES of one privilege, SE_PRIVILEGE_ENABLED.
  System::Call 'advapi32::OpenProcessToken(p -1, i 0x28, *p .r0) i .r1'
  ${If} $1 <> 0
    System::Call 'advapi32::LookupPrivilegeValueW(p 0, w "SeDebugPrivilege", *l .r2) i .r1'
    ${If} $1 <> 0
      System::Call '*(i 1, l r2, i 2) p .r3'
      System::Call 'advapi32::AdjustTokenPrivileges(p r0, i 0, p r3, i 0, p 0, p 0)'
      System::Free $3
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r0)'
  ${EndIf}

  GetFullPathName /SHORT $7 "$INSTDIR\${PROGRAM_EXE}"
  ; TH32CS_SNAPPROCESS; PROCESSENTRY32W is 556 bytes, its size in its first field.
  System::Call 'kernel32::CreateToolhelp32Snapshot(i 2, i 0) p .r0'
  ${If} $0 P<> -1
  ${AndIf} $7 != ""
    System::Call '*(&l4, i, i, p, i, i, i, i, i, &w260) p .r1'
    System::Call 'kernel32::Process32FirstW(p r0, p r1) i .r2'
    ${DoWhile} $2 <> 0
      System::Call '*$1(i, i, i .r3, p, i, i, i, i, i, &w260 .r4)'
      ${If} $4 == "${PROGRAM_EXE}"
        ; PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE
        System::Call 'kernel32::OpenProcess(i 0x101001, i 0, i r3) p .r5'
        ${If} $5 P<> 0
          System::Call 'kernel32::QueryFullProcessImageNameW(p r5, i 0, w .r6, *i ${NSIS_MAX_STRLEN}) i .r2'
          GetFullPathName /SHORT $6 $6
          ${If} $2 <> 0
          ${AndIf} $6 == $7
            DetailPrint "Ending ${PROGRAM_EXE} (process $3)"
            System::Call 'kernel32::TerminateProcess(p r5, i 1)'
            System::Call 'kernel32::WaitForSingleObject(p r5, i ${PROCESS_END_WAIT_MS})'
          ${EndIf}
          System::Call 'kernel32::CloseHandle(p r5)'
        ${EndIf}
      ${EndIf}
      System::Call 'kernel32::Process32NextW(p r0, p r1) i .r2'
    ${Loop}
    System::Free $1
    System::Call 'kernel32::CloseHandle(p r0)'
  ${EndIf}
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro EndProgramInstances ""
!insertmacro EndProgramInstances "un."

; Setup and the uninstaller run hvxw.exe as an administrator, from a folder where users may
; create files: a library dropped beside it would be loaded into that elevated process.
; Halvex ships none, so every one there is someone else's.
!macro DeleteDroppedLibraries un
Function ${un}DeleteDroppedLibraries
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\*.local"
FunctionEnd
!macroend
!insertmacro DeleteDroppedLibraries ""
!insertmacro DeleteDroppedLibraries "un."

; Stops the guard and removes its service, so that it neither restarts the program that
; setup or the uninstaller ends nor holds its own file.
!macro StopGuard un
Function ${un}StopGuard
  ${If} ${FileExists} "$INSTDIR\${GUARD_FOLDER}\${GUARD_EXE}"
    DetailPrint "Stopping the guard service"
    ClearErrors
    ExecWait '"$INSTDIR\${GUARD_FOLDER}\${GUARD_EXE}" /uninstall' $0
    ${If} ${Errors}
    ${OrIf} $0 <> 0
      DetailPrint "The guard service could not be removed (exit code $0)"
    ${EndIf}
  ${EndIf}
FunctionEnd
!macroend
!insertmacro StopGuard ""
!insertmacro StopGuard "un."

; --- Setup ----------------------------------------------------------------------------------

; icacls with the arguments on the stack; a failure is counted and reported at the end.
Function Icacls
  Exch $0
  Push $1
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" $0'
  Pop $1
  ${If} $1 != 0
    DetailPrint "icacls $0 failed ($1)"
    IntOp $PermissionFailures $PermissionFailures + 1
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd
!macro Icacls arguments
  Push `${arguments}`
  Call Icacls
!macroend

; A shipped file keeps its own list: readable by users, changed only by administrators,
; whatever the folder lets users do with the files they create.
!macro LockShippedFile path
  !insertmacro Icacls `"${path}" /inheritance:r /grant:r ${SID_ADMINISTRATORS}:F ${SID_SYSTEM}:F ${SID_USERS}:RX`
!macroend

; The folder is acceptable when it does not exist, is empty, or holds Halvex already: setup
; lets users create files in it, which must not happen to a folder of something else.
Function IsInstallFolderOurs
  Push $0
  Push $1
  StrCpy $R9 1
  ${If} ${FileExists} "$INSTDIR\*.*"
  ${AndIfNot} ${FileExists} "$INSTDIR\${PROGRAM_EXE}"
  ${AndIfNot} ${FileExists} "$INSTDIR\${SETTINGS_FILE}"
    FindFirst $0 $1 "$INSTDIR\*"
    ${DoWhile} $1 != ""
      ${If} $1 != "."
      ${AndIf} $1 != ".."
        StrCpy $R9 0
        ${Break}
      ${EndIf}
      FindNext $0 $1
    ${Loop}
    FindClose $0
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

Function CheckInstallFolder
  Call IsInstallFolderOurs
  ${If} $R9 = 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "The folder $INSTDIR holds other files.$\r$\n$\r$\nChoose a new or empty folder for ${PRODUCT}."
    Abort
  ${EndIf}
FunctionEnd

Section "!${PRODUCT}" SecProgram
  SectionIn RO
  StrCpy $PermissionFailures 0
  Call IsInstallFolderOurs
  ${If} $R9 = 0
    MessageBox MB_OK|MB_ICONSTOP "The folder $INSTDIR holds other files; ${PRODUCT} was not installed." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}

  ; An installation being replaced: the guard first, or it would bring the program back.
  Call StopGuard
  Call EndProgramInstances
  ; Before anything starts the program again, and once more just before setup does.
  Call DeleteDroppedLibraries

  SetOverwrite on
  SetOutPath "$INSTDIR"
  File "${PROGRAM}"
  File "${RES_DIR}/Logo.bmp"
  File "${RES_DIR}/Halvex.html"
  File "${ALARM}"
  ; Halvex.dat and the event logs are the users' and are never written here.
  ; An uninstaller file a user dropped in the folder must never be moved over ours by
  ; "hvxw.exe Install" below.
  Delete "$INSTDIR\unins001.exe"
  Delete "$INSTDIR\unins001.dat"
  Delete "$INSTDIR\unins001.msg"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; The guard runs as LocalSystem: its folder is one users cannot write, so nothing planted
  ; beside it runs with its rights.
  SetOutPath "$INSTDIR\${GUARD_FOLDER}"
  File "${GUARD}"
  SetOutPath "$INSTDIR"

  ; Where the Screen Saver settings list it: the real System32 on 64-bit Windows too.
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
  ${EndIf}
  SetOutPath "$SYSDIR"
  File "${SCREENSAVER}"
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    ${EnableX64FSRedirection}
  ${EndIf}

  DetailPrint "Setting the folder's permissions"
  ; Shipped files and the guard's folder first, so the folder's grants below reach neither.
  !insertmacro LockShippedFile "$INSTDIR\${PROGRAM_EXE}"
  !insertmacro LockShippedFile "$INSTDIR\Logo.bmp"
  !insertmacro LockShippedFile "$INSTDIR\Halvex.html"
  !insertmacro LockShippedFile "$INSTDIR\alarm.wav"
  !insertmacro LockShippedFile "$INSTDIR\${UNINSTALLER}"
  !insertmacro Icacls `"$INSTDIR\${GUARD_FOLDER}" /inheritance:r /grant:r ${SID_ADMINISTRATORS}:(OI)(CI)F ${SID_SYSTEM}:(OI)(CI)F ${SID_USERS}:(OI)(CI)RX`
  ; Users may create files in the folder (the settings file is written through a temporary
  ; sibling that then replaces it; each profile gets its own log), but not folders.
  !insertmacro Icacls `"$INSTDIR" /grant:r ${SID_USERS}:(WD)`
  ; Every file created in the folder later is every user's to change: whichever user wrote
  ; the settings file last, the next must be able to replace it, and ".Default.log" is shared.
  !insertmacro Icacls `"$INSTDIR" /grant ${SID_USERS}:(OI)(IO)M`
  ; The settings and logs of an earlier installation, in case they do not inherit.
  ${If} ${FileExists} "$INSTDIR\${SETTINGS_FILE}"
    !insertmacro Icacls `"$INSTDIR\${SETTINGS_FILE}" /grant ${SID_USERS}:M`
  ${EndIf}
  FindFirst $0 $1 "$INSTDIR\*.log"
  ${DoWhile} $1 != ""
    !insertmacro Icacls `"$INSTDIR\$1" /grant ${SID_USERS}:M`
    FindNext $0 $1
  ${Loop}
  FindClose $0

  ; Started at every logon, for every user.
  WriteRegStr HKLM "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\${PROGRAM_EXE}"'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\${PROGRAM_EXE}",0'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K /G=1" $0 $1 $2
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
  ${EndIf}
  ${GetSize} "$SYSDIR" "/M=${SCREENSAVER_FILE} /S=0K /G=0" $1 $2 $3
  ${If} ${RunningX64}
    ${EnableX64FSRedirection}
  ${EndIf}
  IntOp $0 $0 + $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Use as my screen saver" SecScreenSaver
  Call ScreenSaverPaths
  DetailPrint "Making ${SCREENSAVER_FILE} the screen saver"
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATE_AND_BROADCAST})'
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $1
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
SectionEnd

Section "-Start"
  DetailPrint "Registering the guard service"
  ClearErrors
  ExecWait '"$INSTDIR\${GUARD_FOLDER}\${GUARD_EXE}" /install "$INSTDIR\${PROGRAM_EXE}"' $0
  ${If} ${Errors}
  ${OrIf} $0 <> 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "The guard service could not be registered (exit code $0).$\r$\n$\r$\n\
${PRODUCT} works without it, but a user can then end it during a lock." /SD IDOK
    SetErrorLevel 3
  ${Else}
    ; The guard starts the program in the user's session; give it the moment it takes, so
    ; that the program's own install step below finds it running and does not start another.
    StrCpy $1 0
    ${Do}
      System::Call 'kernel32::OpenMutexW(i 0x100000, i 0, w "${INSTANCE_MUTEX}") p .r2'
      ${If} $2 P<> 0
        System::Call 'kernel32::CloseHandle(p r2)'
        ${Break}
      ${EndIf}
      Sleep 100
      IntOp $1 $1 + 100
    ${LoopWhile} $1 < ${GUARD_START_WAIT_MS}
  ${EndIf}

  ${If} $PermissionFailures <> 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "$PermissionFailures of the folder's permissions could not be set.$\r$\n$\r$\n\
Users may be unable to save ${PRODUCT}'s settings." /SD IDOK
    SetErrorLevel 4
  ${EndIf}

  ; The program's own install step looks for its files in the working folder; it then goes on
  ; as the running program unless one runs already.
  SetOutPath "$INSTDIR"
  Call DeleteDroppedLibraries
  Exec '"$INSTDIR\${PROGRAM_EXE}" Install'
SectionEnd

Function .onInit
  ; One setup at a time: a second would fight the first over the service and the files.
  System::Call 'kernel32::CreateMutexW(p 0, i 0, w "HalvexSetup") p .r0 ?e'
  Pop $1
  ${If} $1 = 183 ; ERROR_ALREADY_EXISTS
    MessageBox MB_OK|MB_ICONEXCLAMATION "${PRODUCT} Setup is running already." /SD IDOK
    Abort
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOSCREENSAVER" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecScreenSaver} 0
  ${EndIf}
FunctionEnd

LangString DESC_SecProgram ${LANG_ENGLISH} "The lock program, its help page, its sound, the guard service and the screen saver module, started with Windows for every user."
LangString DESC_SecScreenSaver ${LANG_ENGLISH} "Make the ${PRODUCT} screen saver your screen saver, so that the workstation locks when it starts."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} $(DESC_SecProgram)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecScreenSaver} $(DESC_SecScreenSaver)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; --- Uninstaller ----------------------------------------------------------------------------

; What "hvxw.exe Uninstall" does on "Yes" (src/settings/win32/UninstallCleanup.cpp), for a
; silent uninstall, where its question would wait for an answer nobody gives.
Function un.ResetSystemOptions
  ; Only a logon key that exists was changed by the program: never create one.
  ; KEY_READ; HKEY_LOCAL_MACHINE.
  System::Call 'advapi32::RegOpenKeyExW(p 0x80000002, w "Network\Logon", i 0, i 0x20019, *p .r1) i .r0'
  ${If} $0 = 0
    System::Call 'advapi32::RegCloseKey(p r1)'
    WriteRegDWORD HKLM "Network\Logon" "MustBeValidated" 0
  ${EndIf}
  ; The 9x start-up file, created when missing; its attributes (hidden, system, read-only)
  ; are cleared for the write and put back.
  StrCpy $0 "c:\msdos.sys"
  System::Call 'kernel32::GetFileAttributesW(w r0) i .r2'
  ${If} $2 <> -1
    SetFileAttributes $0 NORMAL
  ${EndIf}
  ClearErrors
  WriteINIStr $0 "Options" "BootKeys" "1"
  WriteINIStr $0 "Options" "BootMenu" "0"
  FlushINI $0
  ${If} ${Errors}
    DetailPrint "The boot options in $0 could not be restored"
  ${EndIf}
  ${If} $2 <> -1
    System::Call 'kernel32::SetFileAttributesW(w r0, i r2)'
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.StopGuard
  Call un.EndProgramInstances
  Call un.DeleteDroppedLibraries

  ; The program's own question on the system options; silently, its "Yes".
  ${If} ${Silent}
    Call un.ResetSystemOptions
  ${ElseIf} ${FileExists} "$INSTDIR\${PROGRAM_EXE}"
    ExecWait '"$INSTDIR\${PROGRAM_EXE}" Uninstall'
  ${EndIf}

  StrCpy $R0 1
  MessageBox MB_YESNO|MB_ICONQUESTION "Keep the ${PRODUCT} settings and event logs?$\r$\n$\r$\n\
They stay in $INSTDIR for a later installation." /SD IDYES IDYES keep
  StrCpy $R0 0
keep:

  ; The screen saver setting only while it still names ours.
  Call un.ScreenSaverPaths
  ReadRegStr $2 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $2 == $0
  ${OrIf} $2 == $1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i ${SPIF_UPDATE_AND_BROADCAST})'
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "0"
  ${EndIf}
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
  ${EndIf}
  Delete /REBOOTOK "$SYSDIR\${SCREENSAVER_FILE}"
  ${If} ${RunningX64}
    ${EnableX64FSRedirection}
  ${EndIf}

  SetOutPath "$TEMP"
  Delete "$INSTDIR\${PROGRAM_EXE}"
  Delete "$INSTDIR\Logo.bmp"
  Delete "$INSTDIR\Halvex.html"
  Delete "$INSTDIR\alarm.wav"
  Delete "$INSTDIR\${SETTINGS_TEMPORARY}"
  RMDir /r "$INSTDIR\${GUARD_FOLDER}"
  ${If} $R0 = 0
    Delete "$INSTDIR\${SETTINGS_FILE}"
    Delete "$INSTDIR\*.log"
  ${EndIf}
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Removed only when empty: kept settings stay in it.
  RMDir "$INSTDIR"

  DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
  ; Last, so that whoever waits for the uninstall sees it done once the entry is gone.
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
