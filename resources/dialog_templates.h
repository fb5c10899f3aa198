// The two dialog templates, 192 (settings) and 193 (About), as data: every
// control in template order with its kind, text, id, position and size in
// dialog units and its window styles (the Windows style bits). The Windows
// build carries the same templates as resources (resources/vantrel.rc); a
// test of that build compares the two.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel {

enum class ControlKind { GroupBox, CheckBox, Edit, DropDownList, Label, Button, Icon };

namespace style {
// Of windows: every control is also a visible child window.
inline constexpr uint32_t kPopup = 0x80000000;
inline constexpr uint32_t kChild = 0x40000000;
inline constexpr uint32_t kVisible = 0x10000000;
inline constexpr uint32_t kCaption = 0x00C00000;
inline constexpr uint32_t kSysMenu = 0x00080000;
inline constexpr uint32_t kTabStop = 0x00010000;
inline constexpr uint32_t kGroup = 0x00020000;
inline constexpr uint32_t kVScroll = 0x00200000;
inline constexpr uint32_t kBorder = 0x00800000;
// Of dialogs.
inline constexpr uint32_t kDialogSetFont = 0x0040;
inline constexpr uint32_t kDialogModalFrame = 0x0080;
inline constexpr uint32_t kDialogCenter = 0x0800;
// Of edit fields, lists, buttons and static controls.
inline constexpr uint32_t kEditAutoHScroll = 0x0080;
inline constexpr uint32_t kEditNumber = 0x2000;
inline constexpr uint32_t kComboDropDownList = 0x0003;
inline constexpr uint32_t kComboSort = 0x0100;
inline constexpr uint32_t kButtonPush = 0x0000;
inline constexpr uint32_t kButtonDefPush = 0x0001;
inline constexpr uint32_t kButtonAutoCheck = 0x0003;
inline constexpr uint32_t kButtonGroupBox = 0x0007;
inline constexpr uint32_t kStaticLeft = 0x0000;
inline constexpr uint32_t kStaticCenter = 0x0001;
inline constexpr uint32_t kStaticIcon = 0x0003;
inline constexpr uint32_t kStaticRealSizeImage = 0x0800;
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
    uint32_t styles;
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
