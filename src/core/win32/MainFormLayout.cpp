// The configuration window's frame: the window itself, its page control and
// status bar; its tool bar and menus come with its actions.
#include <windows.h>
#include <commctrl.h>

#include <iterator>

#include "ResourceIds.h"
#include "core/win32/MainForm.h"
#include "core/win32/MainFormIds.h"
#include "core/win32/ProgramGlobals.h"
#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/PictureControl.h"

void CreateGeneralPage(HWND page, HFONT font);
void CreateAdminPage(HWND page, HFONT font);
void CreateScrollTextPage(HWND page, HFONT memoFont, const ControlRect& client);
void CreateLogFilePage(HWND page, HFONT font, const ControlRect& client);

namespace {

constexpr int FormClientWidth = 514;
constexpr int FormClientHeight = 305;
constexpr int ToolBarHeight = 29;
constexpr int StatusBarHeight = 23;
constexpr char PageClass[] = "HalvexPage";
constexpr int FontHeight = -11;       // 8 points at 96 dpi
constexpr int MemoFontHeight = -15;

struct TPageRow {
    int Id;
    const char* Caption;
    bool Disabled;
};
constexpr TPageRow PageRows[] = {
    {IdGeneralPage, "General", false},
    {IdScrollTextPage, "ScrollText", false},
    {IdLogFilePage, "LogFile", false},
    {IdAdminPage, "Admin", true},
};

// Pages only carry controls: whatever their controls tell them goes to the form.
LRESULT CALLBACK PageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return SendMessageA(GetParent(page), message, wParam, lParam);
    default:
        return DefWindowProcA(page, message, wParam, lParam);
    }
}

void RegisterPageClass()
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (GetClassInfoExA(instance, PageClass, &windowClass)) return;
    windowClass.lpfnWndProc = PageProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = PageClass;
    RegisterClassExA(&windowClass);
}

}  // namespace

TMainForm* MainForm = nullptr;

HWND TMainForm::PageOf(int id) const
{
    for (HWND page : Pages)
        if (page && GetDlgItem(page, id)) return page;
    return Handle();
}

bool TMainForm::Create()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    ProgramIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(HALVEX_ICON_ID), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
    SmallIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(HALVEX_ICON_ID), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                              LR_SHARED));
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS |
                                                          ICC_DATE_CLASSES | ICC_HOTKEY_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterPageClass();
    RegisterPictureControlClass(instance);
    Font.Reset(CreateProgramFont(FontHeight));
    Actions.Create();
    Actions.Changed = [this](const TAction& action) { Tray.ShowAction(action); };

    constexpr DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_DISABLED;
    RECT frame = {0, 0, FormClientWidth, FormClientHeight};
    AdjustWindowRectEx(&frame, style, TRUE, WS_EX_CONTROLPARENT);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    MainForm = this;
    if (!CreateHandle(MainFormClass, ApplicationTitle, style, WS_EX_CONTROLPARENT, left, top, width, height,
                      Application.Handle(), Actions.MenuBar(), ProgramIcon))
        return false;
    Actions.MenuBarTaken();
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(SmallIcon));
    Actions.CreateToolBar(Handle(), Font.Get(), {0, 0, FormClientWidth, ToolBarHeight});
    CreateStatusBar();
    CreatePages();
    FormCreate();
    return true;
}

void TMainForm::CreateStatusBar()
{
    StatusBar = CreateControl(Handle(), IdStatusBar, STATUSCLASSNAMEA, "", CCS_BOTTOM, 0,
                              {0, FormClientHeight - StatusBarHeight, FormClientWidth, StatusBarHeight}, Font.Get());
    SendMessageA(StatusBar, SB_SETMINHEIGHT, StatusBarHeight, 0);
    SendMessageA(StatusBar, WM_SIZE, 0, 0);
    constexpr int initialWidths[8] = {60, 50, 70, 50, 70, 50, 40, 50};
    int edges[8];
    int right = 0;
    for (int i = 0; i < 8; ++i) edges[i] = right += initialWidths[i];
    edges[7] = -1;
    SendMessageA(StatusBar, SB_SETPARTS, 8, reinterpret_cast<LPARAM>(edges));
}

void TMainForm::CreatePages()
{
    int formPanelHeight = FormClientHeight - ToolBarHeight - StatusBarHeight;
    PageControl = CreateControl(Handle(), IdPageControl, WC_TABCONTROLA, "",
                                TCS_BUTTONS | TCS_FLATBUTTONS | WS_CLIPSIBLINGS | WS_TABSTOP, 0,
                                {0, ToolBarHeight, FormClientWidth, formPanelHeight}, Font.Get());
    for (int i = 0; i < static_cast<int>(std::size(PageRows)); ++i) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(PageRows[i].Caption);
        SendMessageA(PageControl, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    RECT display = {0, 0, FormClientWidth, formPanelHeight};
    SendMessageA(PageControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    ControlRect client = {0, 0, display.right - display.left, display.bottom - display.top};
    for (int i = 0; i < static_cast<int>(std::size(PageRows)); ++i) {
        // Siblings of the page control, above it: controls on a page notify the page.
        Pages[i] = CreateWindowExA(WS_EX_CONTROLPARENT, PageClass, PageRows[i].Caption,
                                   WS_CHILD | WS_CLIPSIBLINGS | (PageRows[i].Disabled ? WS_DISABLED : 0),
                                   display.left, ToolBarHeight + display.top, client.Width, client.Height, Handle(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(PageRows[i].Id)),
                                   GetModuleHandleA(nullptr), nullptr);
        SetWindowPos(Pages[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    MemoFont.Reset(CreateProgramFont(MemoFontHeight));
    CreateGeneralPage(Pages[0], Font.Get());
    CreateScrollTextPage(Pages[1], MemoFont.Get(), client);
    CreateLogFilePage(Pages[2], Font.Get(), client);
    CreateAdminPage(Pages[3], Font.Get());
    SelectPage(0);
}

void TMainForm::SelectPage(int index)
{
    SendMessageA(PageControl, TCM_SETCURSEL, index, 0);
    for (int i = 0; i < 4; ++i) ShowWindow(Pages[i], i == index ? SW_SHOW : SW_HIDE);
}

int TMainForm::ActivePage() const
{
    return static_cast<int>(SendMessageA(PageControl, TCM_GETCURSEL, 0, 0));
}
