// The uninstall clean-up of the system options.
#include "settings/win32/UninstallCleanup.h"

#include <windows.h>

#include <string>

#include "platform/ReportFailure.h"
#include "settings/DStorage.h"
#include "settings/SystemOptionsNames.h"
#include "settings/win32/Registry.h"

namespace {

constexpr char ClearSettingsQuestion[] = "Do you wish to clear the system settings maked with\rHalvex?";
constexpr char UninstallCaption[] = "Halvex Uninstall";
constexpr char ErrorCaption[] = "Error";
constexpr DWORD MustNotBeValidated = 0;

void RestoreBootOptions()
{
    TDStorage startupFile(MsDosSysFileName, false);
    startupFile.WriteString(MsDosOptionsSection, BootKeysKey, "1");
    startupFile.WriteString(MsDosOptionsSection, BootMenuKey, "0");
}

}  // namespace

void UninstallCleanup()
{
    TRegistry registry(HKEY_LOCAL_MACHINE);
    if (MessageBoxA(nullptr, ClearSettingsQuestion, UninstallCaption, MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL) !=
        IDYES)
        return;

    // Only a key that is there was changed by the program: never create one.
    if (registry.OpenKey(NetworkLogonKeyPath, false)) {
        registry.WriteDword(MustBeValidatedValue, MustNotBeValidated);
        registry.CloseKey();
    }

    try {
        RestoreBootOptions();
    } catch (const EInOutError& error) {
        const std::string message = std::string("The file ") + MsDosSysFileName +
                                    " could not be written, so its boot options were not restored.\r\n\r\n" +
                                    SystemErrorText(error.ErrorCode) + " (error " +
                                    std::to_string(error.ErrorCode) + ")";
        MessageBoxA(nullptr, message.c_str(), ErrorCaption, MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }
}
