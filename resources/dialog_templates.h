// The two dialog templates, 192 (settings) and 193 (About), as data: every
// control in template order with its kind, text, id, position and size in
// dialog units and its window styles (the Windows style bits).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel {

enum class ControlKind { GroupBox, CheckBox, Edit, DropDownList, Label, Button, Icon };

namespace style {
inline constexpr uint32_t WS_TABSTOP = 0x00010000;
inline constexpr uint32_t WS_GROUP = 0x00020000;
inline constexpr uint32_t WS_VSCROLL = 0x00200000;
inline constexpr uint32_t WS_BORDER = 0x00800000;
inline constexpr uint32_t ES_AUTOHSCROLL = 0x0080;
inline constexpr uint32_t ES_NUMBER = 0x2000;
inline constexpr uint32_t CBS_DROPDOWNLIST = 0x0003;
inline constexpr uint32_t CBS_SORT = 0x0100;
inline constexpr uint32_t BS_PUSHBUTTON = 0x0000;
inline constexpr uint32_t BS_DEFPUSHBUTTON = 0x0001;
inline constexpr uint32_t BS_AUTOCHECKBOX = 0x0003;
inline constexpr uint32_t BS_GROUPBOX = 0x0007;
inline constexpr uint32_t SS_LEFT = 0x0000;
inline constexpr uint32_t SS_CENTER = 0x0001;
inline constexpr uint32_t SS_ICON = 0x0003;
inline constexpr uint32_t SS_REALSIZEIMAGE = 0x0800;
}  // namespace style

struct ControlTemplate {
    int id;  // 65535 for none
    ControlKind kind;
    const char* text;
    int x, y, width, height;  // dialog units
    uint32_t styles;
};

struct DialogTemplate {
    int id;
    const char* title;
    int width, height;  // dialog units
    const char* font;
    int pointSize;
    const ControlTemplate* controls;
    std::size_t controlCount;
};

// The template of the id, or nullptr.
const DialogTemplate* find_dialog_template(int id);

}  // namespace vantrel
