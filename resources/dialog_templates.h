// The two dialog templates, 192 (settings) and 193 (About), as data: every
// control in template order with its kind, text, id, position and size in
// dialog units and its window styles (the Windows style bits).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel {

enum class ControlKind { GroupBox, CheckBox, Edit, DropDownList, Label, Button, Icon };

namespace style {
inline constexpr uint32_t kTabStop = 0x00010000;
inline constexpr uint32_t kGroup = 0x00020000;
inline constexpr uint32_t kVScroll = 0x00200000;
inline constexpr uint32_t kBorder = 0x00800000;
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
