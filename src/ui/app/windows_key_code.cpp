#include "ui/app/windows_key_code.h"

#include "core/fullscreen/shortcut_code.h"

#include <Qt>
#include <array>
#include <utility>

namespace harpoly::ui {

namespace {

constexpr std::array<std::pair<int, int>, 30> kNamedKeys{{
    {Qt::Key_Backspace, vk::Back},    {Qt::Key_Tab, vk::Tab},
    {Qt::Key_Backtab, vk::Tab},       {Qt::Key_Return, vk::Return},
    {Qt::Key_Enter, vk::Return},      {Qt::Key_Shift, vk::Shift},
    {Qt::Key_Control, vk::Control},   {Qt::Key_Alt, vk::Menu},
    {Qt::Key_Pause, vk::Pause},       {Qt::Key_CapsLock, vk::Capital},
    {Qt::Key_Escape, vk::Escape},     {Qt::Key_Space, vk::Space},
    {Qt::Key_PageUp, vk::Prior},      {Qt::Key_PageDown, vk::Next},
    {Qt::Key_End, vk::End},           {Qt::Key_Home, vk::Home},
    {Qt::Key_Left, vk::Left},         {Qt::Key_Up, vk::Up},
    {Qt::Key_Right, vk::Right},       {Qt::Key_Down, vk::Down},
    {Qt::Key_Print, vk::Snapshot},    {Qt::Key_Insert, vk::Insert},
    {Qt::Key_Delete, vk::Delete},     {Qt::Key_NumLock, vk::NumLock},
    {Qt::Key_ScrollLock, vk::Scroll}, {Qt::Key_Semicolon, vk::Oem1},
    {Qt::Key_Comma, vk::OemComma},    {Qt::Key_Minus, vk::OemMinus},
    {Qt::Key_Period, vk::OemPeriod},  {Qt::Key_Slash, vk::Oem2},
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
        return vk::F1 + (qtKey - Qt::Key_F1);
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
    if (code >= vk::F1 && code <= vk::F24) {
        return Qt::Key_F1 + (code - vk::F1);
    }
    for (const auto& [key, c] : kNamedKeys) {
        if (c == code) {
            return key;
        }
    }
    return 0;
}

} // namespace harpoly::ui
