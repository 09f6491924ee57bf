// The password dialogs: an in-memory dialog template run modally, its controls placed in
// pixels from the dialog font's average character size.
#include "activation/win32/MixDlg.h"

#include <array>
#include <vector>

#include "platform/Controls.h"
#include "platform/DialogTemplate.h"
#include "platform/ForceForeground.h"
#include "platform/GdiScopes.h"
#include "platform/TextMeasure.h"

namespace {

constexpr char DialogFontFace[] = "MS Sans Serif";
constexpr WORD DialogFontPoints = 8;
constexpr char OkCaption[] = "OK";
constexpr char CancelCaption[] = "Cancel";
constexpr char IncorrectPasswordText[] = "Incorrect Password";
constexpr char ErrorCaption[] = "Error";
constexpr WPARAM PasswordMaxLength = 255;
constexpr char PasswordChar = '*';
constexpr size_t MaxFields = 2;

constexpr DWORD DialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD LabelStyle = WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX;
constexpr DWORD EditStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD ButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

// Sent to itself once shown: taking the foreground is reliable only for a visible window.
constexpr UINT BringToFrontMessage = WM_APP + 1;

// The one piece of module state: a query is on the screen (a second one must not stack up).
bool PasswordPromptOpen = false;

class PromptOpenMark {
public:
    PromptOpenMark() { PasswordPromptOpen = true; }
    ~PromptOpenMark() { PasswordPromptOpen = false; }
    PromptOpenMark(const PromptOpenMark&) = delete;
    PromptOpenMark& operator=(const PromptOpenMark&) = delete;
};

struct FieldRequest {
    const std::string& Prompt;
    const std::string& Initial;
    bool Masked;
};

struct FieldIds {
    WORD Label, Edit;
};
constexpr std::array<FieldIds, MaxFields> FieldControlIds = {
    {{PasswordLabel1Id, PasswordEdit1Id}, {PasswordLabel2Id, PasswordEdit2Id}}};

// One run of a password dialog: what it asks, and what the user left in it.
class PasswordDialog {
public:
    PasswordDialog(const std::string& caption, std::vector<FieldRequest> fields)
        : Caption(caption), Fields(std::move(fields))
    {
    }

    // True when closed with OK; Texts() and Modified() then tell what was entered.
    bool Run(HWND owner)
    {
        // Placed in pixels once the font is known; the caption is set as ANSI text then too.
        TDialogTemplate dialog("", DialogStyle, 0, 0, DialogFontFace, DialogFontPoints);
        // Item order is tab order: each label before its edit, the buttons last.
        for (size_t i = 0; i < Fields.size(); ++i) {
            dialog.AddControl(DialogStaticClass, "", FieldControlIds[i].Label, LabelStyle, 0, 0, 0, 0);
            dialog.AddControl(DialogEditClass, "", FieldControlIds[i].Edit,
                              EditStyle | (Fields[i].Masked ? ES_PASSWORD : 0), 0, 0, 0, 0, WS_EX_CLIENTEDGE);
        }
        dialog.AddControl(DialogButtonClass, OkCaption, IDOK, ButtonStyle | BS_DEFPUSHBUTTON, 0, 0, 0, 0);
        dialog.AddControl(DialogButtonClass, CancelCaption, IDCANCEL, ButtonStyle | BS_PUSHBUTTON, 0, 0, 0, 0);
        const INT_PTR closedWith = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialog.Get(), owner, Procedure,
                                                           reinterpret_cast<LPARAM>(this));
        return closedWith == IDOK && Confirmed;
    }

    bool Modified() const { return ChangedByUser; }
    const std::string& Text(size_t field) const { return Entered[field].Get(); }

private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto* self = reinterpret_cast<PasswordDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (!self) return FALSE;
        try {
            return self->Handle(dialog, message, wParam);
        } catch (...) {
            // A dialog that cannot do its work is cancelled: no password is taken from it.
            OutputDebugStringA("Password dialog failed; cancelled\n");
            self->Confirmed = false;
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
    }

    INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam)
    {
        switch (message) {
        case WM_INITDIALOG: Initialise(dialog); return FALSE;   // focus set by Initialise
        case BringToFrontMessage: ForceForegroundWindow(dialog, false); return TRUE;
        case WM_COMMAND: return Command(dialog, LOWORD(wParam), HIWORD(wParam));
        default: return FALSE;
        }
    }

    INT_PTR Command(HWND dialog, WORD id, WORD notification)
    {
        switch (id) {
        case IDOK: Confirm(dialog); EndDialog(dialog, IDOK); return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        case PasswordEdit1Id:
        case PasswordEdit2Id:
            // Text put in at initialisation also notifies; only later changes are the user's.
            if (notification == EN_CHANGE && Initialised) ChangedByUser = true;
            return TRUE;
        default: return FALSE;
        }
    }

    void Initialise(HWND dialog)
    {
        SetWindowTextA(dialog, Caption.c_str());
        for (size_t i = 0; i < Fields.size(); ++i) {
            HWND edit = GetDlgItem(dialog, FieldControlIds[i].Edit);
            SetDlgItemTextA(dialog, FieldControlIds[i].Label, Fields[i].Prompt.c_str());
            SendMessageA(edit, EM_LIMITTEXT, PasswordMaxLength, 0);
            if (Fields[i].Masked) SendMessageA(edit, EM_SETPASSWORDCHAR, PasswordChar, 0);
            SetWindowTextA(edit, Fields[i].Initial.c_str());
        }
        PlaceControls(dialog);
        HWND first = GetDlgItem(dialog, PasswordEdit1Id);
        SetFocus(first);
        SendMessageA(first, EM_SETSEL, 0, -1);
        Initialised = true;
        PostMessageA(dialog, BringToFrontMessage, 0, 0);
    }

    void PlaceControls(HWND dialog)
    {
        const WindowDcScope dc(dialog);
        const SelectionScope font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
        const CharSize size = AverageCharSize(dc.Get());
        const PasswordDialogLayout layout = Fields.size() == 1 ? SingleFieldLayout(size) : TwoFieldLayout(size);
        const std::array<const Placement*, MaxFields> labels = {&layout.Label1, &layout.Label2};
        const std::array<const Placement*, MaxFields> edits = {&layout.Edit1, &layout.Edit2};

        TEXTMETRICA metrics = {};
        GetTextMetricsA(dc.Get(), &metrics);
        // An edit's usual height: a line of its font inside a sunken border and margins.
        const int editHeight = metrics.tmHeight + 8 * GetSystemMetrics(SM_CYBORDER);
        for (size_t i = 0; i < Fields.size(); ++i) {
            RECT text = {0, 0, 0, 0};
            DrawTextA(dc.Get(), Fields[i].Prompt.c_str(), -1, &text,
                      DT_CALCRECT | DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX);
            Place(dialog, FieldControlIds[i].Label, {labels[i]->Left, labels[i]->Top, text.right, text.bottom});
            Place(dialog, FieldControlIds[i].Edit, {edits[i]->Left, edits[i]->Top, edits[i]->Width, editHeight});
        }
        Place(dialog, IDOK, layout.Ok);
        Place(dialog, IDCANCEL, layout.Cancel);
        SizeAndCentre(dialog, layout.ClientWidth, layout.ClientHeight);
    }

    static void Place(HWND dialog, int id, const Placement& at)
    {
        SetWindowPos(GetDlgItem(dialog, id), nullptr, at.Left, at.Top, at.Width, at.Height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

    static void SizeAndCentre(HWND dialog, int clientWidth, int clientHeight)
    {
        RECT frame = {0, 0, clientWidth, clientHeight};
        AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)));
        const int width = frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void Confirm(HWND dialog)
    {
        for (size_t i = 0; i < Fields.size(); ++i)
            ReadWindowText(GetDlgItem(dialog, FieldControlIds[i].Edit), Entered[i]);
        Confirmed = true;
    }

    const std::string& Caption;
    std::vector<FieldRequest> Fields;
    std::array<TSecret, MaxFields> Entered;
    bool Initialised = false;
    bool ChangedByUser = false;
    bool Confirmed = false;
};

}  // namespace


bool InputPasswordQuery(HWND owner, const std::string& caption, const std::string& prompt, std::string& value,
                        bool masked, bool acceptUnmodified)
{
    PasswordDialog dialog(caption, {{prompt, value, masked}});
    if (!dialog.Run(owner) || !(acceptUnmodified || dialog.Modified())) return false;
    value = dialog.Text(0);
    return true;
}

bool InputPasswordPair(HWND owner, const std::string& caption, const std::string& prompt1, const std::string& prompt2,
                       std::string& value1, std::string& value2, bool acceptUnmodified, bool masked1, bool masked2)
{
    PasswordDialog dialog(caption, {{prompt1, value1, masked1}, {prompt2, value2, masked2}});
    if (!dialog.Run(owner) || !(acceptUnmodified || dialog.Modified())) return false;
    value1 = dialog.Text(0);
    value2 = dialog.Text(1);
    return true;
}

bool PasswordQuery(HWND owner, const std::string& caption, const std::string& prompt, const std::string& expected,
                   const std::string& alternative)
{
    if (PasswordPromptOpen) return false;
    const PromptOpenMark open;
    const std::string none;
    PasswordDialog dialog(caption, {{prompt, none, true}});
    if (!dialog.Run(owner) || !dialog.Modified()) return false;
    const std::string& entered = dialog.Text(0);
    if (entered == expected || (!alternative.empty() && entered == alternative)) return true;
    MessageBoxA(owner, IncorrectPasswordText, ErrorCaption, MB_ICONERROR | MB_OK);
    return false;
}
