// The byte layout of DLGTEMPLATE and DLGITEMTEMPLATE, built word by word.
#include "platform/DialogTemplate.h"

TDialogTemplate::TDialogTemplate(const std::string& caption, DWORD style, int width, int height,
                                 const std::string& fontFace, WORD pointSize)
{
    AddDword(style | DS_SETFONT);
    AddDword(0);    // extended style
    AddWord(0);     // controls, counted as they are added
    AddWord(0);
    AddWord(0);     // x, y: placed by the code that runs it
    AddWord(static_cast<WORD>(width));
    AddWord(static_cast<WORD>(height));
    AddWord(0);     // no menu
    AddWord(0);     // the standard class
    AddText(caption);
    AddWord(pointSize);
    AddText(fontFace);
}

void TDialogTemplate::AddControl(WORD classAtom, const std::string& text, WORD id, DWORD style, int x, int y,
                                 int width, int height, DWORD extendedStyle)
{
    Align();
    AddDword(style | WS_CHILD | WS_VISIBLE);
    AddDword(extendedStyle);
    AddWord(static_cast<WORD>(x));
    AddWord(static_cast<WORD>(y));
    AddWord(static_cast<WORD>(width));
    AddWord(static_cast<WORD>(height));
    AddWord(id);
    AddWord(0xFFFF);
    AddWord(classAtom);
    AddText(text);
    AddWord(0);   // no creation data
    ++Words[4];
}

const DLGTEMPLATE* TDialogTemplate::Get() const
{
    return reinterpret_cast<const DLGTEMPLATE*>(Words.data());
}

// Items start on a DWORD boundary.
void TDialogTemplate::Align()
{
    if (Words.size() % 2) Words.push_back(0);
}

void TDialogTemplate::AddWord(WORD value)
{
    Words.push_back(value);
}

void TDialogTemplate::AddDword(DWORD value)
{
    AddWord(LOWORD(value));
    AddWord(HIWORD(value));
}

void TDialogTemplate::AddText(const std::string& text)
{
    // 8-bit text as the ANSI code page reads it.
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), wide.data(), length);
    for (wchar_t c : wide) AddWord(static_cast<WORD>(c));
    AddWord(0);
}
