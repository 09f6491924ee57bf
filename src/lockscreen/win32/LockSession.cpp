// The lock session. For now it only keeps a second lock from starting; the
// lock window comes with the lock screen itself.
#include "lockscreen/win32/LockSession.h"

#include <windows.h>

#include "core/win32/ProgramGlobals.h"
#include "platform/UniqueHandle.h"

bool RunLockSession(const TPicture*, const std::string&, const std::string&, bool, const TStrings*, uint32_t,
                    int32_t, const TLogProc&)
{
    UniqueKernelHandle lock(CreateMutexA(nullptr, FALSE, LockMutexName));
    if (!lock || GetLastError() == ERROR_ALREADY_EXISTS) return false;
    return false;
}
