// Win32 error codes as text.
#include "harness/SystemError.h"

#include <windows.h>

namespace harness {

std::string DescribeError(unsigned long code)
{
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                  sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ')) --length;
    std::string described = "error " + std::to_string(code);
    if (length > 0) described += " (" + std::string(text, length) + ")";
    return described;
}

std::string DescribeLastError()
{
    return DescribeError(GetLastError());
}

}  // namespace harness
