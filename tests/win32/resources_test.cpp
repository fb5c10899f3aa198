// The resources as the resource compiler stored them, read back from the
// executable: the dialogs 192 and 193 compared with the templates from which
// the Linux presentation builds the same dialogs (styles, geometry, ids,
// classes, texts and font must agree, field for field) and icon 105's sizes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

namespace vantrel {
namespace {

// Reads a dialog template resource in order, a 16-bit word at a time.
class TemplateReader {
public:
    explicit TemplateReader(const void* data) : base_(static_cast<const uint16_t*>(data)), at_(base_) {}
    uint16_t word() { return *at_++; }
    uint32_t dword() { return word() | uint32_t{word()} << 16; }
    int16_t coordinate() { return static_cast<int16_t>(word()); }
    // A text in code page 932, or "#n" for the ordinal n; "" for none.
    std::string text_or_ordinal() {
        std::wstring wide;
        for (uint16_t c = word(); c != 0; c = word()) {
            if (c == 0xFFFF && wide.empty()) return "#" + std::to_string(word());
            wide.push_back(static_cast<wchar_t>(c));
        }
        char out[512];
        const int n = WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), out, sizeof out,
                                          nullptr, nullptr);
        return {out, static_cast<std::size_t>(n)};
    }
    void align_dword() { at_ += (at_ - base_) % 2; }

private:
    const uint16_t* base_;
    const uint16_t* at_;
};

// The system's class of each kind of control (in the order of ControlKind):
// its atom, as a resource compiler may store a predefined class, and its name.
const std::pair<std::string, const char*> kClasses[] = {{"#128", "BUTTON"}, {"#128", "BUTTON"}, {"#129", "EDIT"},
                                                        {"#133", "COMBOBOX"}, {"#130", "STATIC"}, {"#128", "BUTTON"},
                                                        {"#130", "STATIC"}};

TEST(Win32ResourcesTest, DialogResourcesMatchTheTemplates) {
    for (const int id : {kSettingsDialogTemplate, kAboutDialogTemplate}) {
        SCOPED_TRACE(id);
        const DialogTemplate* expected = find_dialog_template(id);
        ASSERT_NE(expected, nullptr);
        const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
        ASSERT_NE(found, nullptr);
        const void* data = LockResource(LoadResource(nullptr, found));
        TemplateReader r(data);
        EXPECT_EQ(r.dword(), expected->styles);
        EXPECT_EQ(r.dword(), 0u);  // no extended styles
        const uint16_t count = r.word();
        EXPECT_EQ(count, expected->controlCount);
        r.coordinate();  // the position: centred at run time
        r.coordinate();
        EXPECT_EQ(r.coordinate(), expected->width);
        EXPECT_EQ(r.coordinate(), expected->height);
        EXPECT_EQ(r.text_or_ordinal(), "");  // no menu
        EXPECT_EQ(r.text_or_ordinal(), "");  // the dialog class
        EXPECT_EQ(r.text_or_ordinal(), expected->title);
        EXPECT_EQ(r.word(), expected->pointSize);
        EXPECT_EQ(r.text_or_ordinal(), expected->font);
        for (std::size_t i = 0; i < count && i < expected->controlCount; ++i) {
            const ControlTemplate& c = expected->controls[i];
            SCOPED_TRACE(c.id);
            r.align_dword();
            EXPECT_EQ(r.dword(), c.styles | style::kChild | style::kVisible);
            EXPECT_EQ(r.dword(), 0u);
            EXPECT_EQ(r.coordinate(), c.x);
            EXPECT_EQ(r.coordinate(), c.y);
            EXPECT_EQ(r.coordinate(), c.width);
            EXPECT_EQ(r.coordinate(), c.height);
            EXPECT_EQ(r.word(), c.id);
            const auto& [atom, name] = kClasses[static_cast<int>(c.kind)];
            const std::string stored = r.text_or_ordinal();
            EXPECT_TRUE(stored == atom || lstrcmpiA(stored.c_str(), name) == 0) << stored;
            EXPECT_EQ(r.text_or_ordinal(),
                      c.kind == ControlKind::Icon ? "#" + std::to_string(kIconResource) : std::string(c.text));
            EXPECT_EQ(r.word(), 0u);  // no creation data
        }
    }
}

// Icon 105 holds a picture for each size the system asks for (256 pixels as
// PNG), and the notification area gets the small-icon size of the DPI in
// force (16 pixels at 96 DPI; run also in a prefix set to 192 DPI), while
// the About box shows the 32-pixel picture.
TEST(Win32ResourcesTest, IconSizes) {
    const HMODULE self = GetModuleHandleA(nullptr);
    const auto group = static_cast<PBYTE>(
        LockResource(LoadResource(self, FindResourceA(self, MAKEINTRESOURCEA(kIconResource), RT_GROUP_ICON))));
    for (const int size : {16, 20, 24, 32, 40, 48, 64, 256}) {
        const int id = LookupIconIdFromDirectoryEx(group, TRUE, size, size, LR_DEFAULTCOLOR);
        const auto* picture = static_cast<const char*>(
            LockResource(LoadResource(self, FindResourceA(self, MAKEINTRESOURCEA(id), RT_ICON))));
        LONG width = 0;  // of a bitmap's header
        std::memcpy(&width, picture + 4, sizeof width);
        EXPECT_TRUE(size == 256 ? std::memcmp(picture, "\x89PNG", 4) == 0 : width == size) << size;
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const char* expected = std::getenv("VANTREL_EXPECTED_DPI");
    ASSERT_EQ(dpi, expected != nullptr ? std::atoi(expected) : dpi);
    const auto width = [](void* handle) {
        ICONINFO icon{};
        BITMAP mask{};
        GetIconInfo(static_cast<HICON>(handle), &icon);
        GetObjectA(icon.hbmMask, sizeof mask, &mask);
        return mask.bmWidth;
    };
    EXPECT_EQ(width(platform::load_icon(reinterpret_cast<platform::InstanceHandle>(self), kIconResource)) * 96,
              16 * dpi)
        << dpi << " DPI";
    // The About box's icon control takes the picture at its real size.
    EXPECT_EQ(width(LoadImageA(self, MAKEINTRESOURCEA(kIconResource), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR)), 32);
}

}  // namespace
}  // namespace vantrel
