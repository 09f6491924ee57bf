// An in-memory dialog template, so windows built in code get the keyboard
// handling of a dialog (Tab, Enter, Esc) without a resource.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TDialogTemplate {
public:
    // Sizes in dialog units; the font is the dialog's own.
    TDialogTemplate(const std::string& caption, DWORD style, int width, int height, const std::string& fontFace,
                    WORD pointSize);
    // The predefined classes: 0x0080 button, 0x0081 edit, 0x0082 static.
    void AddControl(WORD classAtom, const std::string& text, WORD id, DWORD style, int x, int y, int width,
                    int height);
    const DLGTEMPLATE* Get() const;

private:
    void Align();
    void AddWord(WORD value);
    void AddDword(DWORD value);
    void AddText(const std::string& text);

    std::vector<WORD> Words;
};
