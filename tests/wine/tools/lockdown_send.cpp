// Sends one message to a window from a process of its own, as another program would,
// and exits with the window's answer.
#include <windows.h>

#include <cstdlib>

#include "lockdown_Tools.h"

namespace {

constexpr UINT AnswerTimeoutMilliseconds = 10000;

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) return lockdown::BadUsage;
    auto window = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoul(argv[1], nullptr, 16)));
    auto message = static_cast<UINT>(std::strtoul(argv[2], nullptr, 0));
    auto wParam = static_cast<WPARAM>(std::strtoul(argv[3], nullptr, 0));
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, message, wParam, 0, SMTO_ABORTIFHUNG, AnswerTimeoutMilliseconds, &answer))
        return static_cast<int>(lockdown::NotDelivered);
    return static_cast<int>(answer);
}
