// A message hook that a test sets on another program's thread (Wine then loads this DLL into
// that program): it tells the test's witness window of each screen-saver start command the
// thread takes from its queue, and to which window it was posted.
#include <windows.h>

namespace {

// The test's window, found by class so that nothing has to be passed into the other process.
constexpr char WitnessClass[] = "HalvexScreenSaveWitness";

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ScreenSaveWitnessHook(int code, WPARAM removal, LPARAM data)
{
    // Counted once, when taken out of the queue, not at each look into it.
    if (code == HC_ACTION && removal == PM_REMOVE) {
        const MSG* message = reinterpret_cast<const MSG*>(data);
        if (message->message == WM_SYSCOMMAND && (message->wParam & 0xFFF0) == SC_SCREENSAVE)
            if (HWND witness = FindWindowA(WitnessClass, nullptr))
                PostMessageA(witness, WM_APP, reinterpret_cast<WPARAM>(message->hwnd), message->lParam);
    }
    return CallNextHookEx(nullptr, code, removal, data);
}
