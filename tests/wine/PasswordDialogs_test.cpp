// hvxw's password dialogs, opened by password_prompt.exe and answered as a user would: their
// layout and controls, what each way of closing them returns, the message for a wrong
// password, the one-query-at-a-time guard and the pair dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <iterator>
#include <ostream>
#include <string>
#include <utility>

#include "PasswordDialogsDriver.h"

using namespace password_dialogs;

namespace {

constexpr char Caption[] = "Halvex password";
constexpr char Prompt[] = "Enter the password:";
constexpr char Prompt2[] = "Type it again:";
constexpr char Expected[] = "Secret7";
constexpr char Alternative[] = "Backup9";
constexpr int MaxLength = 255;

std::string QueryArguments(const std::string& expected, const std::string& alternative)
{
    return Arguments({"query", Caption, Prompt, expected, alternative});
}

std::string InputArguments(const std::string& value, bool masked, bool acceptUnmodified)
{
    return Arguments({"input", Caption, Prompt, value, masked ? "1" : "0", acceptUnmodified ? "1" : "0"});
}

std::string PairArguments(const std::string& value1, const std::string& value2, bool acceptUnmodified,
                          bool masked1 = false, bool masked2 = false)
{
    return Arguments({"pair", Caption, Prompt, Prompt2, value1, value2, acceptUnmodified ? "1" : "0",
                      masked1 ? "1" : "0", masked2 ? "1" : "0"});
}

bool IsMasked(HWND edit)
{
    return (GetWindowLongA(edit, GWL_STYLE) & ES_PASSWORD) && SendMessageA(edit, EM_GETPASSWORDCHAR, 0, 0) == '*';
}

void ExpectPlaced(HWND control, const Placement& expected, const char* what)
{
    const RECT r = PlacementOf(control);
    EXPECT_EQ(r.left, expected.Left) << what;
    EXPECT_EQ(r.top, expected.Top) << what;
    EXPECT_EQ(r.right - r.left, expected.Width) << what;
    if (expected.Height) {
        EXPECT_EQ(r.bottom - r.top, expected.Height) << what;
    }
}

void ExpectLabel(HWND dialog, int id, const Placement& expected, const std::string& text,
                 const DialogFontMeasure& measure)
{
    HWND label = GetDlgItem(dialog, id);
    ASSERT_TRUE(label) << "label " << id;
    EXPECT_EQ(TextOf(label), text);
    const SIZE size = measure.TextSize(text);
    ExpectPlaced(label, {expected.Left, expected.Top, size.cx, size.cy}, "label, sized to its text");
}

// An edit's own height: taller than a line of its font, and clear of what lies below it.
void ExpectEdit(HWND dialog, int id, const Placement& expected, int fontHeight, int nextTop)
{
    HWND edit = GetDlgItem(dialog, id);
    ASSERT_TRUE(edit) << "edit " << id;
    ExpectPlaced(edit, expected, "edit");
    const RECT r = PlacementOf(edit);
    EXPECT_GT(r.bottom - r.top, fontHeight) << "edit " << id;
    EXPECT_LT(r.bottom, nextTop) << "edit " << id;
}

void ExpectButton(HWND dialog, int id, const char* caption, LONG type, const Placement& expected)
{
    HWND button = GetDlgItem(dialog, id);
    ASSERT_TRUE(button) << caption;
    EXPECT_EQ(TextOf(button), caption);
    EXPECT_EQ(GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK, type) << caption;
    ExpectPlaced(button, expected, caption);
}

void ExpectCentredOnScreen(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    EXPECT_NEAR(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2, 1);
    EXPECT_NEAR(r.top, (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, 1);
}

}  // namespace

// --- Layout ------------------------------------------------------------------------------------

TEST(PasswordDialogFont, TemplateFontUnderWineMeasuresSixByThirteen)
{
    const CharSize size = DialogFontMeasure().AverageSize();
    EXPECT_EQ(size.Cx, 6);
    EXPECT_EQ(size.Cy, 13);
    EXPECT_EQ(SingleFieldLayout(size).ClientWidth, 270);
    EXPECT_EQ(SingleFieldLayout(size).ClientHeight, 106);
    EXPECT_EQ(TwoFieldLayout(size).ClientHeight, 151);
}

namespace {

struct LayoutCase {
    const char* Name;
    bool TwoFields;
};

// Cases are named in failure reports by their names, not their bytes.
void PrintTo(const LayoutCase& c, std::ostream* out) { *out << c.Name; }

}  // namespace

class PasswordDialogLayoutCases : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(PasswordDialogLayoutCases, PlacesEverythingByTheFontsCharacterSize)
{
    const bool two = GetParam().TwoFields;
    const DialogFontMeasure measure;
    const CharSize size = measure.AverageSize();
    const PasswordDialogLayout layout = two ? TwoFieldLayout(size) : SingleFieldLayout(size);

    PromptTool tool;
    tool.Start(two ? PairArguments("one", "two", false) : QueryArguments(Expected, Alternative));
    HWND dialog = tool.WaitForDialog(Caption);
    ASSERT_TRUE(dialog);

    RECT client = {};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, layout.ClientWidth);
    EXPECT_EQ(client.bottom, layout.ClientHeight);
    ExpectCentredOnScreen(dialog);
    const LONG style = GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

    ExpectLabel(dialog, PasswordLabel1Id, layout.Label1, Prompt, measure);
    ExpectEdit(dialog, PasswordEdit1Id, layout.Edit1, size.Cy, two ? layout.Label2.Top : layout.Ok.Top);
    if (two) {
        ExpectLabel(dialog, PasswordLabel2Id, layout.Label2, Prompt2, measure);
        ExpectEdit(dialog, PasswordEdit2Id, layout.Edit2, size.Cy, layout.Ok.Top);
    } else {
        EXPECT_FALSE(GetDlgItem(dialog, PasswordEdit2Id));
    }
    ExpectButton(dialog, IDOK, "OK", BS_DEFPUSHBUTTON, layout.Ok);
    ExpectButton(dialog, IDCANCEL, "Cancel", BS_PUSHBUTTON, layout.Cancel);

    Close(dialog, Closing::CancelButton);
    EXPECT_EQ(tool.Result(), two ? "false\none\ntwo\n" : "false\n");
}

INSTANTIATE_TEST_SUITE_P(PasswordDialogs, PasswordDialogLayoutCases,
                         ::testing::Values(LayoutCase{"SingleField", false}, LayoutCase{"TwoFields", true}),
                         [](const auto& info) { return std::string(info.param.Name); });

// --- Controls of the single-field dialog -------------------------------------------------------

TEST(PasswordDialogControls, MaskedFieldSelectedAndFocusedTabOrderThenButtons)
{
    // Something else has the foreground when the dialog opens, as when hvxw is told by another program.
    UniqueWindow other(CreateWindowExA(0, "STATIC", "Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                       100, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(other);
    SetForegroundWindow(other.Get());
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other.Get(); }, DefaultTimeout, "our window in front"));

    PromptTool tool;
    tool.Start(InputArguments("Initial", true, false));
    HWND dialog = tool.WaitForDialog(Caption);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, DefaultTimeout, "the dialog in front"));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), tool.OwnerWindow());

    HWND edit = GetDlgItem(dialog, PasswordEdit1Id);
    ASSERT_TRUE(edit);
    EXPECT_TRUE(IsMasked(edit));
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), MaxLength);
    EXPECT_EQ(SelectionOf(edit), std::make_pair(0, 7)) << "the initial text is not all selected";
    EXPECT_TRUE(WaitForFocus(edit));

    for (int next : {IDOK, IDCANCEL, PasswordEdit1Id}) {
        PressKeys({VK_TAB});
        EXPECT_TRUE(WaitForFocus(GetDlgItem(dialog, next))) << "Tab to control " << next;
    }
    Close(dialog, Closing::EscapeKey);
    EXPECT_EQ(tool.Result(), "false\nInitial\n");
}

TEST(PasswordDialogControls, WithoutOwnerTheDialogStandsAlone)
{
    PromptTool tool;
    tool.Start("--no-owner " + InputArguments("", false, false));
    HWND dialog = tool.WaitForDialog(Caption);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
    HWND edit = GetDlgItem(dialog, PasswordEdit1Id);
    EXPECT_FALSE(IsMasked(edit));
    Enter(edit, Entry::Put, "visible");
    EXPECT_EQ(TextOf(edit), "visible");
    Close(dialog, Closing::OkButton);
    EXPECT_EQ(tool.Result(), "true\nvisible\n");
}

TEST(PasswordDialogControls, FieldTakesAtMost255Characters)
{
    const std::string typed = std::string(MaxLength - 1, 'a') + "bcdef";
    PromptTool tool;
    tool.Start(InputArguments("", true, false));
    HWND dialog = tool.WaitForDialog(Caption);
    ASSERT_TRUE(dialog);
    HWND edit = GetDlgItem(dialog, PasswordEdit1Id);
    ASSERT_TRUE(TypeKeys(edit, typed));
    // Enter queues behind the typed keys, so the dialog closes on what the field kept of them.
    PressKeys({VK_RETURN});
    EXPECT_EQ(tool.Result(), "true\n" + std::string(MaxLength - 1, 'a') + "b\n");
}

// --- PasswordQuery: each way of answering ------------------------------------------------------

namespace {

struct QueryCase {
    const char* Name;
    const char* Expected;
    const char* Alternative;
    Entry How;
    const char* Text;
    Closing Closed;
    bool Accepted;
    bool ToldIncorrect;
};

void PrintTo(const QueryCase& c, std::ostream* out) { *out << c.Name; }

}  // namespace

class PasswordDialogQuery : public ::testing::TestWithParam<QueryCase> {};

TEST_P(PasswordDialogQuery, AnswersAsTheUserDid)
{
    const QueryCase& c = GetParam();
    PromptTool tool;
    tool.Start(QueryArguments(c.Expected, c.Alternative));
    HWND dialog = tool.WaitForDialog(Caption);
    ASSERT_TRUE(dialog);
    HWND edit = GetDlgItem(dialog, PasswordEdit1Id);
    ASSERT_TRUE(edit);
    EXPECT_TRUE(IsMasked(edit));
    EXPECT_EQ(SelectionOf(edit), std::make_pair(0, 0)) << "the field does not start empty";

    Enter(edit, c.How, c.Text);
    Close(dialog, c.Closed);
    if (c.ToldIncorrect) AnswerIncorrectPassword(tool, dialog);
    EXPECT_EQ(tool.Result(), c.Accepted ? "true\n" : "false\n");
}

const QueryCase QueryCases[] = {
    {"ExpectedPassword", Expected, Alternative, Entry::Put, Expected, Closing::OkButton, true, false},
    {"ExpectedPasswordTypedAndEnter", Expected, Alternative, Entry::Typed, Expected, Closing::EnterKey, true, false},
    {"AlternativePassword", Expected, Alternative, Entry::Put, Alternative, Closing::OkButton, true, false},
    {"CaseVariantOfExpected", Expected, Alternative, Entry::Put, "secret7", Closing::OkButton, false, true},
    {"CaseVariantOfAlternative", Expected, Alternative, Entry::Typed, "BACKUP9", Closing::EnterKey, false, true},
    {"EmptyTextNeverMatchesAnEmptyAlternative", Expected, "", Entry::TypedAndErased, "x", Closing::OkButton, false,
     true},
    {"EmptyTextMatchesAnEmptyExpected", "", Alternative, Entry::TypedAndErased, "x", Closing::OkButton, true, false},
    {"TypedThenDeletedIsIncorrect", Expected, Alternative, Entry::TypedAndErased, Expected, Closing::OkButton, false,
     true},
    {"OkWithoutTyping", Expected, Alternative, Entry::None, "", Closing::OkButton, false, false},
    {"OkWithoutTypingWhenExpectedIsEmpty", "", "", Entry::None, "", Closing::EnterKey, false, false},
    {"CancelAfterTheRightPassword", Expected, Alternative, Entry::Put, Expected, Closing::CancelButton, false, false},
    {"EscapeAfterTheRightPassword", Expected, Alternative, Entry::Typed, Expected, Closing::EscapeKey, false, false},
    {"CloseBoxAfterTheRightPassword", Expected, Alternative, Entry::Put, Expected, Closing::CloseBox, false, false},
};

INSTANTIATE_TEST_SUITE_P(PasswordDialogs, PasswordDialogQuery, ::testing::ValuesIn(QueryCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// --- PasswordQuery: one at a time --------------------------------------------------------------

namespace {

struct GuardCase {
    const char* Name;
    bool WhileMessageBoxIsOpen;
};

void PrintTo(const GuardCase& c, std::ostream* out) { *out << c.Name; }

}  // namespace

class PasswordDialogGuard : public ::testing::TestWithParam<GuardCase> {};

TEST_P(PasswordDialogGuard, SecondQueryReturnsFalseAtOnceWithoutADialog)
{
    PromptTool tool;
    tool.Start(Arguments({"nested", Caption, Prompt, Expected, Alternative}));
    HWND dialog = tool.WaitForDialog(Caption);
    ASSERT_TRUE(dialog);
    HWND edit = GetDlgItem(dialog, PasswordEdit1Id);
    HWND box = nullptr;
    if (GetParam().WhileMessageBoxIsOpen) {
        Enter(edit, Entry::Put, "wrong");
        Close(dialog, Closing::OkButton);
        box = WaitForMessageBox(ErrorCaption, tool.Id());
        ASSERT_TRUE(box);
    }

    ASSERT_TRUE(PostMessageA(tool.OwnerWindow(), password_prompt::NestedQueryMessage, 0, 0));
    // Had it opened a dialog, it could not have returned while the first one is still open.
    EXPECT_TRUE(WaitUntil([&] { return tool.Folder().ReadFile(password_prompt::NestedResultFile).has_value(); },
                          DefaultTimeout, "the nested query's result"));
    EXPECT_EQ(tool.Folder().ReadFile(password_prompt::NestedResultFile), "false\n");
    EXPECT_EQ(FindTopWindows(WindowQuery::OfClass(DialogClass).InProcess(tool.Id())).size(), 1u);

    if (box) {
        PressMessageBoxButton(box, IDOK);
        EXPECT_EQ(tool.Result(), "false\n");
    } else {
        Enter(edit, Entry::Put, Expected);
        Close(dialog, Closing::OkButton);
        EXPECT_EQ(tool.Result(), "true\n");
    }
}

INSTANTIATE_TEST_SUITE_P(PasswordDialogs, PasswordDialogGuard,
                         ::testing::Values(GuardCase{"WhileTheDialogIsOpen", false},
                                           GuardCase{"WhileTheMessageBoxIsOpen", true}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(PasswordDialogGuardRelease, EveryWayOutLetsTheNextQueryOpen)
{
    PromptTool tool;
    tool.Start(Arguments({"query", Caption, Prompt, Expected, Alternative, "4"}));
    struct Round {
        Entry How;
        const char* Text;
        Closing Closed;
        bool ToldIncorrect;
    };
    const Round rounds[] = {
        {Entry::None, "", Closing::EscapeKey, false},
        {Entry::Put, "wrong", Closing::OkButton, true},
        {Entry::None, "", Closing::CloseBox, false},
        {Entry::Put, Expected, Closing::OkButton, false},
    };
    for (size_t i = 0; i < std::size(rounds); ++i) {
        SCOPED_TRACE("round " + std::to_string(i + 1));
        const Round& round = rounds[i];
        HWND dialog = tool.WaitForDialog(Caption);
        ASSERT_TRUE(dialog);
        Enter(GetDlgItem(dialog, PasswordEdit1Id), round.How, round.Text);
        Close(dialog, round.Closed);
        if (round.ToldIncorrect) AnswerIncorrectPassword(tool, dialog);
        ASSERT_TRUE(WaitForDestroyed(dialog));
    }
    EXPECT_EQ(tool.Result(), "false\nfalse\nfalse\ntrue\n");
}

// --- InputPasswordQuery ------------------------------------------------------------------------

namespace {

struct InputCase {
    const char* Name;
    bool AcceptUnmodified;
    Entry How;
    const char* Text;
    Closing Closed;
    const char* Result;
};

void PrintTo(const InputCase& c, std::ostream* out) { *out << c.Name; }

}  // namespace

class PasswordDialogInput : public ::testing::TestWithParam<InputCase> {};

TEST_P(PasswordDialogInput, ReturnsTheTextOnlyWhenChangedOrAccepted)
{
    const InputCase& c = GetParam();
    PromptTool tool;
    tool.Start(InputArguments("Old", true, c.AcceptUnmodified));
    HWND dialog = tool.WaitForDialog(Caption);
    ASSERT_TRUE(dialog);
    Enter(GetDlgItem(dialog, PasswordEdit1Id), c.How, c.Text);
    Close(dialog, c.Closed);
    EXPECT_EQ(tool.Result(), c.Result);
}

const InputCase InputCases[] = {
    {"OkUnchanged", false, Entry::None, "", Closing::OkButton, "false\nOld\n"},
    {"OkUnchangedAccepted", true, Entry::None, "", Closing::OkButton, "true\nOld\n"},
    {"OkChanged", false, Entry::Put, "New", Closing::OkButton, "true\nNew\n"},
    {"TypingReplacesTheSelectedText", false, Entry::Typed, "New", Closing::EnterKey, "true\nNew\n"},
    {"TypedAndErasedCountsAsChanged", false, Entry::TypedAndErased, "x", Closing::OkButton, "true\n\n"},
    {"CancelChanged", false, Entry::Put, "New", Closing::CancelButton, "false\nOld\n"},
    {"EscapeChanged", true, Entry::Typed, "New", Closing::EscapeKey, "false\nOld\n"},
    {"CloseBoxChanged", true, Entry::Put, "New", Closing::CloseBox, "false\nOld\n"},
};

INSTANTIATE_TEST_SUITE_P(PasswordDialogs, PasswordDialogInput, ::testing::ValuesIn(InputCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// --- InputPasswordPair -------------------------------------------------------------------------

TEST(PasswordDialogPairControls, StartsWithBothValuesFirstSelectedAndTabsThroughBoth)
{
    PromptTool tool;
    tool.Start(PairArguments("First", "Second", false, true, false));
    HWND dialog = tool.WaitForDialog(Caption);
    ASSERT_TRUE(dialog);
    HWND edit1 = GetDlgItem(dialog, PasswordEdit1Id);
    HWND edit2 = GetDlgItem(dialog, PasswordEdit2Id);
    ASSERT_TRUE(edit1 && edit2);
    EXPECT_TRUE(IsMasked(edit1));
    EXPECT_FALSE(IsMasked(edit2));
    EXPECT_EQ(SendMessageA(edit2, EM_GETLIMITTEXT, 0, 0), MaxLength);
    EXPECT_EQ(TextOf(edit2), "Second");
    EXPECT_EQ(SelectionOf(edit1), std::make_pair(0, 5));
    const auto [start2, end2] = SelectionOf(edit2);
    EXPECT_EQ(start2, end2) << "the second field's text is selected";
    EXPECT_TRUE(WaitForFocus(edit1));

    for (int next : {PasswordEdit2Id, IDOK, IDCANCEL, PasswordEdit1Id}) {
        PressKeys({VK_TAB});
        EXPECT_TRUE(WaitForFocus(GetDlgItem(dialog, next))) << "Tab to control " << next;
    }
    Close(dialog, Closing::OkButton);
    EXPECT_EQ(tool.Result(), "false\nFirst\nSecond\n");
}

namespace {

struct PairCase {
    const char* Name;
    bool AcceptUnmodified;
    const char* Text1;   // nullptr: left as it opened
    const char* Text2;
    Closing Closed;
    const char* Result;
};

void PrintTo(const PairCase& c, std::ostream* out) { *out << c.Name; }

}  // namespace

class PasswordDialogPair : public ::testing::TestWithParam<PairCase> {};

TEST_P(PasswordDialogPair, ReturnsBothWhenEitherChangedOrAccepted)
{
    const PairCase& c = GetParam();
    PromptTool tool;
    tool.Start(PairArguments("First", "Second", c.AcceptUnmodified));
    HWND dialog = tool.WaitForDialog(Caption);
    ASSERT_TRUE(dialog);
    HWND edit1 = GetDlgItem(dialog, PasswordEdit1Id);
    HWND edit2 = GetDlgItem(dialog, PasswordEdit2Id);
    EXPECT_EQ(TextOf(edit1), "First");
    EXPECT_EQ(TextOf(edit2), "Second");
    if (c.Text1) Enter(edit1, Entry::Put, c.Text1);
    if (c.Text2) Enter(edit2, Entry::Put, c.Text2);
    Close(dialog, c.Closed);
    EXPECT_EQ(tool.Result(), c.Result);
}

const PairCase PairCases[] = {
    {"OkUnchanged", false, nullptr, nullptr, Closing::OkButton, "false\nFirst\nSecond\n"},
    {"OkUnchangedAccepted", true, nullptr, nullptr, Closing::OkButton, "true\nFirst\nSecond\n"},
    {"FirstChanged", false, "New1", nullptr, Closing::OkButton, "true\nNew1\nSecond\n"},
    {"SecondChanged", false, nullptr, "New2", Closing::EnterKey, "true\nFirst\nNew2\n"},
    {"BothChangedAndNotCompared", false, "Alpha", "Beta", Closing::OkButton, "true\nAlpha\nBeta\n"},
    {"CancelAfterChange", true, "New1", "New2", Closing::CancelButton, "false\nFirst\nSecond\n"},
    {"EscapeAfterChange", false, "New1", nullptr, Closing::EscapeKey, "false\nFirst\nSecond\n"},
};

INSTANTIATE_TEST_SUITE_P(PasswordDialogs, PasswordDialogPair, ::testing::ValuesIn(PairCases),
                         [](const auto& info) { return std::string(info.param.Name); });
