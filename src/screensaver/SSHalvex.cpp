// Entry of the screen-saver module SSHalvex.scr: started by the system as its screen saver,
// it asks the running control program to lock, or answers with a message box, and ends.
#include <windows.h>

#include <cstdlib>

#include "screensaver/ScreenSaverAnswer.h"

namespace {

constexpr DWORD MutexAllAccess = 0x1F0001;
constexpr char ControlProgramMutex[] = "Hvxmu01";
constexpr char LockUpMutex[] = "Hvxmu02";
constexpr char RequestMessageName[] = "Hvxms01";
constexpr WPARAM LockRequest = 1;

constexpr char BoxCaption[] = "Halvex Screen Saver";
constexpr char NotExecutedText[] = "Halvex is not executed !";
constexpr UINT NotExecutedFlags = MB_TASKMODAL | MB_ICONHAND;   // 0x2010
constexpr char NothingToConfigureText[] = "Nothing to configure !";
constexpr UINT NothingToConfigureFlags = MB_TASKMODAL | MB_ICONINFORMATION;   // 0x2040

// The handle is left open on purpose: the process ends right after, which releases it.
bool MutexExists(const char* name)
{
    return OpenMutexA(MutexAllAccess, FALSE, name) != nullptr;
}

// The first parameter as the C runtime splits the command line; none is the empty text.
const char* FirstParameter()
{
    return __argc > 1 && __argv[1] ? __argv[1] : "";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    using namespace screensaver;
    const TAnswer answer =
        AnswerRequest(FirstParameter(), MutexExists(ControlProgramMutex), [] { return MutexExists(LockUpMutex); });
    // Notify, not send: the module must not wait for the lock it asks for.
    if (answer.SendLockRequest)
        SendNotifyMessageA(HWND_BROADCAST, RegisterWindowMessageA(RequestMessageName), LockRequest, 0);
    if (answer.Box == TBox::NotExecuted) MessageBoxA(nullptr, NotExecutedText, BoxCaption, NotExecutedFlags);
    if (answer.Box == TBox::NothingToConfigure)
        MessageBoxA(nullptr, NothingToConfigureText, BoxCaption, NothingToConfigureFlags);
    return 0;
}
