// Turns an escaped exception into an error message box.
#include "platform/ReportFailure.h"

#include <exception>

#include "common/InOutError.h"

namespace {
constexpr char ErrorCaption[] = "Error";
}

std::string SystemErrorText(unsigned long code)
{
    char* buffer = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::string text = length ? std::string(buffer, length) : "System error " + std::to_string(code) + ".";
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return text;
}

void ReportError(HWND owner, const std::string& text)
{
    MessageBoxA(owner, text.c_str(), ErrorCaption, MB_OK | MB_ICONERROR);
}

std::string CurrentExceptionText()
{
    try {
        throw;
    } catch (const EInOutError& error) {
        return std::string(error.what()) + "\r\n" + SystemErrorText(error.ErrorCode);
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "An unexpected error occurred.";
    }
}

void ReportCurrentException(HWND owner)
{
    ReportError(owner, CurrentExceptionText());
}
