// One owner template for every kind of Win32 handle, with a one-line alias
// per kind. Closing keeps GetLastError intact, so a failure can be reported
// after the handle that caused it is gone.
#pragma once

#include <windows.h>

#include <utility>

template <typename T, auto Close, auto Invalid>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T value) : Value(value) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : Value(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    T Get() const { return Value; }
    explicit operator bool() const { return Value != InvalidValue(); }

    T Release() { return std::exchange(Value, InvalidValue()); }

    void Reset(T value = InvalidValue())
    {
        if (Value != InvalidValue()) {
            DWORD error = GetLastError();
            Close(Value);
            SetLastError(error);
        }
        Value = value;
    }

private:
    static T InvalidValue() { return reinterpret_cast<T>(Invalid); }
    T Value = InvalidValue();
};

namespace handle_policy {
inline void CloseKernelHandle(HANDLE h) { CloseHandle(h); }
inline void CloseKey(HKEY h) { RegCloseKey(h); }
inline void DeleteGdiObject(HGDIOBJ h) { DeleteObject(h); }
inline void DestroyIconHandle(HICON h) { DestroyIcon(h); }
inline void DestroyMenuHandle(HMENU h) { DestroyMenu(h); }
inline void UnhookHook(HHOOK h) { UnhookWindowsHookEx(h); }
inline void DestroyWindowHandle(HWND h) { DestroyWindow(h); }
inline void FreeLibraryHandle(HMODULE h) { FreeLibrary(h); }
inline void DeleteDcHandle(HDC h) { DeleteDC(h); }
inline void UnmapView(void* view) { UnmapViewOfFile(view); }
}  // namespace handle_policy

// INVALID_HANDLE_VALUE is -1 as an integer, which a template argument can carry.
using UniqueFile = UniqueHandle<HANDLE, handle_policy::CloseKernelHandle, static_cast<intptr_t>(-1)>;
using UniqueKernelHandle = UniqueHandle<HANDLE, handle_policy::CloseKernelHandle, static_cast<intptr_t>(0)>;
using UniqueKey = UniqueHandle<HKEY, handle_policy::CloseKey, static_cast<intptr_t>(0)>;
using UniqueFont = UniqueHandle<HFONT, handle_policy::DeleteGdiObject, static_cast<intptr_t>(0)>;
using UniquePen = UniqueHandle<HPEN, handle_policy::DeleteGdiObject, static_cast<intptr_t>(0)>;
using UniqueBrush = UniqueHandle<HBRUSH, handle_policy::DeleteGdiObject, static_cast<intptr_t>(0)>;
using UniqueBitmap = UniqueHandle<HBITMAP, handle_policy::DeleteGdiObject, static_cast<intptr_t>(0)>;
using UniqueIcon = UniqueHandle<HICON, handle_policy::DestroyIconHandle, static_cast<intptr_t>(0)>;
using UniqueMenu = UniqueHandle<HMENU, handle_policy::DestroyMenuHandle, static_cast<intptr_t>(0)>;
using UniqueHook = UniqueHandle<HHOOK, handle_policy::UnhookHook, static_cast<intptr_t>(0)>;
using UniqueLibrary = UniqueHandle<HMODULE, handle_policy::FreeLibraryHandle, static_cast<intptr_t>(0)>;
using UniqueDc = UniqueHandle<HDC, handle_policy::DeleteDcHandle, static_cast<intptr_t>(0)>;   // made, not got
using UniqueView = UniqueHandle<void*, handle_policy::UnmapView, static_cast<intptr_t>(0)>;   // of a file mapping
using UniqueWindow = UniqueHandle<HWND, handle_policy::DestroyWindowHandle, static_cast<intptr_t>(0)>;
