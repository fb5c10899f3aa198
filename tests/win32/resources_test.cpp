// The dialog resources 192 and 193 as the resource compiler stored them,
// read back from the executable and compared with the templates from which
// the Linux presentation builds the same dialogs: styles, geometry, ids,
// classes, texts and font must agree, field for field.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

namespace vantrel {
namespace {

// Reads a dialog template resource in order.
class TemplateReader {
public:
    explicit TemplateReader(const void* data) : at_(static_cast<const unsigned char*>(data)) {}

    uint32_t dword() {
        uint32_t v;
        std::memcpy(&v, at_, 4);
        at_ += 4;
        return v;
    }
    uint16_t word() {
        uint16_t v;
        std::memcpy(&v, at_, 2);
        at_ += 2;
        return v;
    }
    int16_t coordinate() { return static_cast<int16_t>(word()); }
    // A text, or "#n" for the ordinal n; "" for none.
    std::string text_or_ordinal() {
        if (peek() == 0xFFFF) {
            word();
            return "#" + std::to_string(word());
        }
        std::wstring wide;
        for (uint16_t c = word(); c != 0; c = word()) wide.push_back(static_cast<wchar_t>(c));
        return narrow(wide);
    }
    void align_dword(const void* base) {
        while ((at_ - static_cast<const unsigned char*>(base)) % 4 != 0) ++at_;
    }

private:
    uint16_t peek() const {
        uint16_t v;
        std::memcpy(&v, at_, 2);
        return v;
    }
    static std::string narrow(const std::wstring& wide) {
        if (wide.empty()) return {};
        char out[512];
        const int n = WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), out, sizeof out,
                                          nullptr, nullptr);
        return {out, static_cast<std::size_t>(n)};
    }
    const unsigned char* at_;
};

// The system's class of a kind of control, by name; a resource compiler may
// store a predefined class by its atom instead.
std::string class_of(ControlKind kind) {
    switch (kind) {
        case ControlKind::GroupBox:
        case ControlKind::CheckBox:
        case ControlKind::Button:
            return "BUTTON";
        case ControlKind::Edit:
            return "EDIT";
        case ControlKind::Label:
        case ControlKind::Icon:
            return "STATIC";
        case ControlKind::DropDownList:
            return "COMBOBOX";
    }
    return "";
}

std::string class_name(std::string stored) {
    const std::pair<const char*, const char*> atoms[] = {
        {"#128", "BUTTON"}, {"#129", "EDIT"}, {"#130", "STATIC"}, {"#133", "COMBOBOX"}};
    for (const auto& [atom, name] : atoms) {
        if (stored == atom) return name;
    }
    for (char& c : stored) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return stored;
}

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
            r.align_dword(data);
            EXPECT_EQ(r.dword(), c.styles | style::kChild | style::kVisible);
            EXPECT_EQ(r.dword(), 0u);
            EXPECT_EQ(r.coordinate(), c.x);
            EXPECT_EQ(r.coordinate(), c.y);
            EXPECT_EQ(r.coordinate(), c.width);
            EXPECT_EQ(r.coordinate(), c.height);
            EXPECT_EQ(r.word(), c.id);
            EXPECT_EQ(class_name(r.text_or_ordinal()), class_of(c.kind));
            EXPECT_EQ(r.text_or_ordinal(),
                      c.kind == ControlKind::Icon ? "#" + std::to_string(kIconResource) : std::string(c.text));
            EXPECT_EQ(r.word(), 0u);  // no creation data
        }
    }
}

TEST(Win32ResourcesTest, IconAndVersion) {
    EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconResource)), nullptr);
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, sizeof self), 0u);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(self, &ignored);
    ASSERT_GT(size, 0u);
    std::string info(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(self, 0, size, info.data()));
    char* text = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\041104B0\\ProductVersion",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, "1.2β1");
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\041104B0\\ProductName",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, "Vantrel");
}

}  // namespace
}  // namespace vantrel
