// The registry accessor (one open key at a time under a chosen root) and the two
// helpers that read and write one value as text.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/UniqueHandle.h"
#include "settings/DStorage.h"

class TRegistry {
public:
    explicit TRegistry(HKEY root = HKEY_CURRENT_USER);

    // Closes the open key: the next key opened is found under the new root.
    void SetRootKey(HKEY root);
    HKEY RootKey() const { return Root; }

    // Opens path under the root with full access, creating it (and its parents) only
    // when canCreate. The key replaces any open before; on failure no key is open.
    bool OpenKey(const std::string& path, bool canCreate);
    // The same for reading only, which a standard user is granted where full access is not.
    bool OpenKeyReadOnly(const std::string& path);
    void CloseKey() { Current.Reset(); }
    bool HasOpenKey() const { return static_cast<bool>(Current); }

    // The operations below act on the open key and fail when none is.
    bool ValueExists(const std::string& name) const;
    // The stored type and bytes as they are.
    bool ReadValue(const std::string& name, DWORD& type, std::vector<BYTE>& data) const;
    bool WriteString(const std::string& name, const std::string& value);
    bool WriteExpandString(const std::string& name, const std::string& value);
    bool WriteDword(const std::string& name, DWORD value);
    // The names of the open key's subkeys in the order the registry enumerates them.
    bool GetKeyNames(TStrings& names) const;

private:
    bool Open(const std::string& path, REGSAM access, bool canCreate);
    bool WriteText(const std::string& name, DWORD type, const std::string& value);

    HKEY Root;
    UniqueKey Current;
};

enum class RegValueKind { String = 1, ExpandString = 2, Dword = 3 };

// text: the value as text (strings as stored, not expanded; a DWORD in unsigned
// decimal), or empty when the key cannot be opened, the value is missing or of
// another type. The key is never created. With no accessor one is made for the call;
// a given one is left with rootKey as its root and no key open.
void ReadRegValue(TRegistry* registry, HKEY rootKey, const std::string& keyPath, const std::string& valueName,
                  std::string& text);

// Writes value as the kind says, creating the key when missing; a DWORD is the
// integer the text reads as ("" and non-numbers give 0). Failures are silent.
void WriteRegValue(TRegistry* registry, HKEY rootKey, const std::string& keyPath, const std::string& valueName,
                   const std::string& value, RegValueKind kind);
