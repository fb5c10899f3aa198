// The dialog resources 192 and 193 as the resource compiler stored them,
// read back from the executable and compared with the templates from which
// the Linux presentation builds the same dialogs: styles, geometry, ids,
// classes, texts and font must agree, field for field.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace vantrel
