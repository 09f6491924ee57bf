// An in-memory dialog template, so windows built in code get the keyboard
// handling of a dialog (Tab, Enter, Esc) without a resource.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The predefined window classes a template names by atom.
inline constexpr WORD DialogButtonClass = 0x0080;
inline constexpr WORD DialogEditClass = 0x0081;
inline constexpr WORD DialogStaticClass = 0x0082;

class TDialogTemplate {
public:
    // Sizes in dialog units; the font is the dialog's own.
    TDialogTemplate(const std::string& caption, DWORD style, int width, int height, const std::string& fontFace,
                    WORD pointSize);
    // classAtom: one of the predefined classes below.
    void AddControl(WORD classAtom, const std::string& text, WORD id, DWORD style, int x, int y, int width,
                    int height, DWORD extendedStyle = 0);
    const DLGTEMPLATE* Get() const;

private:
    void Align();
    void AddWord(WORD value);
    void AddDword(DWORD value);
    void AddText(const std::string& text);

    std::vector<WORD> Words;
};
