#include "ui/app/windows_key_code.h"

#include <Qt>
#include <array>
#include <utility>

namespace harpoly::ui {

namespace {

constexpr std::array<std::pair<int, int>, 30> kNamedKeys{{
    {Qt::Key_Backspace, 8},    {Qt::Key_Tab, 9},         {Qt::Key_Backtab, 9},
    {Qt::Key_Return, 13},      {Qt::Key_Enter, 13},      {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},     {Qt::Key_Alt, 18},        {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},    {Qt::Key_Escape, 27},     {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},      {Qt::Key_PageDown, 34},   {Qt::Key_End, 35},
    {Qt::Key_Home, 36},        {Qt::Key_Left, 37},       {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},       {Qt::Key_Down, 40},       {Qt::Key_Print, 44},
    {Qt::Key_Insert, 45},      {Qt::Key_Delete, 46},     {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145}, {Qt::Key_Semicolon, 186}, {Qt::Key_Comma, 188},
    {Qt::Key_Minus, 189},      {Qt::Key_Period, 190},    {Qt::Key_Slash, 191},
}};

} // namespace

int windowsKeyCode(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return 'A' + (qtKey - Qt::Key_A);
    }
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return '0' + (qtKey - Qt::Key_0);
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        return 112 + (qtKey - Qt::Key_F1);
    }
    for (const auto& [key, code] : kNamedKeys) {
        if (key == qtKey) {
            return code;
        }
    }
    return 0;
}

int qtKeyOfWindowsCode(int code) {
    if (code >= 'A' && code <= 'Z') {
        return Qt::Key_A + (code - 'A');
    }
    if (code >= '0' && code <= '9') {
        return Qt::Key_0 + (code - '0');
    }
    if (code >= 112 && code <= 135) {
        return Qt::Key_F1 + (code - 112);
    }
    for (const auto& [key, c] : kNamedKeys) {
        if (c == code) {
            return key;
        }
    }
    return 0;
}

} // namespace harpoly::ui
