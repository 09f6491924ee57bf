// Security attributes made from a descriptor in SDDL, freed with the object.
#pragma once

#include <windows.h>
#include <sddl.h>

class TSecurityAttributes {
public:
    // inheritable: the handle made with it passes to the processes the guard starts.
    explicit TSecurityAttributes(const char* sddl, bool inheritable = false)
    {
        Attributes.nLength = sizeof Attributes;
        Attributes.bInheritHandle = inheritable ? TRUE : FALSE;
        ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &Attributes.lpSecurityDescriptor,
                                                             nullptr);
    }
    ~TSecurityAttributes() { LocalFree(Attributes.lpSecurityDescriptor); }
    TSecurityAttributes(const TSecurityAttributes&) = delete;
    TSecurityAttributes& operator=(const TSecurityAttributes&) = delete;

    // Null when the text was no valid descriptor.
    SECURITY_ATTRIBUTES* Get() { return Attributes.lpSecurityDescriptor ? &Attributes : nullptr; }

private:
    SECURITY_ATTRIBUTES Attributes = {};
};
