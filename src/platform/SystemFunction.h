// A function of a system library looked up at run time: the library is loaded from the
// system folder by its full path, never from the program's folder, where a user may drop
// a library of the same name; it is freed with the object.
#pragma once

#include <windows.h>

#include <string>

#include "platform/UniqueHandle.h"

template <typename Function>
class TSystemFunction {
public:
    TSystemFunction(const char* library, const char* name)
    {
        char folder[MAX_PATH] = {};
        UINT length = GetSystemDirectoryA(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return;
        Library.Reset(LoadLibraryA((std::string(folder) + "\\" + library).c_str()));
        if (Library) Pointer = reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(Library.Get(), name)));
    }

    explicit operator bool() const { return Pointer != nullptr; }
    Function* Get() const { return Pointer; }

private:
    UniqueLibrary Library;
    Function* Pointer = nullptr;
};
