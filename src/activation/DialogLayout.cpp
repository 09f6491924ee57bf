// Layout arithmetic of the password dialogs.
#include "activation/DialogLayout.h"

#include <cstdlib>
#include <limits>

namespace {

constexpr int HorizontalDivisor = 4;
constexpr int VerticalDivisor = 8;
constexpr int ButtonGap = 8;

constexpr int SingleFieldHeightUnits = 65;
constexpr int TwoFieldHeightUnits = 93;
constexpr int WidthUnits = 180;
constexpr int ButtonWidthUnits = 50;
constexpr int ButtonHeightUnits = 15;

int Horizontal(int units, CharSize size) { return RoundedMulDiv(units, size.Cx, HorizontalDivisor); }
int Vertical(int units, CharSize size) { return RoundedMulDiv(units, size.Cy, VerticalDivisor); }

PasswordDialogLayout Layout(CharSize size, int heightUnits)
{
    PasswordDialogLayout l{};
    l.ClientWidth = Horizontal(WidthUnits, size);
    l.ClientHeight = Vertical(heightUnits, size);

    l.Label1 = {2 * size.Cx, size.Cy, 0, 0};
    l.Edit1 = {l.Label1.Left, Vertical(VerticalDivisor + 10, size), l.ClientWidth - 4 * size.Cx, 0};

    const int buttonWidth = Horizontal(ButtonWidthUnits, size);
    const int buttonHeight = Vertical(ButtonHeightUnits, size);
    const int buttonTop = l.ClientHeight - 3 * size.Cy;
    l.Ok = {RoundedMulDiv(l.ClientWidth - ButtonGap, 1, 2) - buttonWidth, buttonTop, buttonWidth, buttonHeight};
    l.Cancel = {RoundedMulDiv(l.ClientWidth + ButtonGap, 1, 2), buttonTop, buttonWidth, buttonHeight};
    return l;
}

}  // namespace

int32_t RoundedMulDiv(int32_t a, int32_t b, int32_t c)
{
    if (c == 0) return -1;
    const int64_t product = int64_t(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const int64_t magnitude = (std::llabs(product) + std::llabs(c) / 2) / std::llabs(c);
    if (magnitude > std::numeric_limits<int32_t>::max()) return -1;
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

PasswordDialogLayout SingleFieldLayout(CharSize size) { return Layout(size, SingleFieldHeightUnits); }

PasswordDialogLayout TwoFieldLayout(CharSize size)
{
    PasswordDialogLayout l = Layout(size, TwoFieldHeightUnits);
    l.Label2 = {l.Label1.Left, Vertical(2 * VerticalDivisor + 20, size), 0, 0};
    l.Edit2 = {l.Label1.Left, Vertical(2 * VerticalDivisor + 30, size), l.Edit1.Width, 0};
    return l;
}
