// The Win32 system services against the real system: Tool Help, the
// Performance Data Helper counters, file attributes, the executable's path
// and the code page (under Wine the counters are a stand-in: the total always
// reads one value, process counters never attach; the readings' logic is the
// core tests', as are the append and the profile functions, which those run
// on this build). Then the resources as the resource compiler stored them,
// read back from the executable: the dialogs 192 and 193 against the
// templates the Linux presentation builds them from (styles, geometry, ids,
// classes, texts and font, field for field) and icon 105's sizes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

namespace vantrel {
namespace {

using namespace platform;
namespace fs = std::filesystem;

TEST(Win32ServicesTest, ExecutablePathAndTheSnapshotThatListsItByFileName) {
    char path[260];
    const std::size_t n = executable_path(path, sizeof path);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(std::strlen(path), n);
    EXPECT_TRUE(std::string(path).ends_with("\\win32_tests.exe")) << path;
    EXPECT_EQ(path[1], ':');  // a full path, drive first
    // A buffer too small, even by just the terminator, gets nothing, and
    // nothing beyond its end.
    std::string small(n + 4, '#');
    EXPECT_EQ(executable_path(small.data(), n), 0u);
    EXPECT_EQ(small[0], '\0');
    EXPECT_EQ(small.substr(n), "####");
    EXPECT_EQ(executable_path(nullptr, 0), 0u);

    ProcessSnapshot* snapshot = snapshot_take();
    ASSERT_NE(snapshot, nullptr);
    const std::string self = fs::path(path).filename().string();
    bool selfListed = false;
    for (const char* listed = snapshot_next(snapshot); listed != nullptr; listed = snapshot_next(snapshot)) {
        const std::string name = listed;
        selfListed = selfListed || name == self;
        EXPECT_EQ(name.find_first_of("\\/:"), std::string::npos) << name;  // no directory
        EXPECT_TRUE(name.ends_with(".exe") || name.ends_with(".EXE") || name == "[System Process]" ||
                    name == "System")
            << name;
    }
    snapshot_close(snapshot);
    EXPECT_TRUE(selfListed) << self;
    EXPECT_EQ(snapshot_next(nullptr), nullptr);
}

// The total's reading: the tooltip in win32/e2e/tray.sh, which shows it only when it is one, 0 to 100.
TEST(Win32ServicesTest, CountersFailForAnUnknownProcessAndLeaveTheValue) {
    CounterQuery* total = counter_open("\\Processor(_Total)\\% Processor Time");
    CounterQuery* missing = counter_open("\\Process(no-such-process#0)\\% Processor Time");
    CounterQuery* unnamed = counter_open(nullptr);
    for (CounterQuery* q : {total, missing, unnamed}) counter_collect(q);
    sleep_ms(500);
    for (CounterQuery* q : {total, missing, unnamed}) counter_collect(q);
    // A failed reading leaves the caller's value as it was: never a stale one.
    int32_t value = 12345;
    EXPECT_FALSE(counter_read(missing, &value));
    EXPECT_FALSE(counter_read(unnamed, &value));
    EXPECT_EQ(value, 12345);
    for (CounterQuery* q : {total, missing, unnamed}) counter_close(q);
}

TEST(Win32ServicesTest, AttributesAreReadAndWrittenWhole) {
    constexpr uint32_t kArchive = 0x20, kAll = kAttrReadOnly | kAttrHidden | kArchive;
    const std::string f = (fs::temp_directory_path() / ("vantrel-" + std::to_string(GetCurrentProcessId()))).string();
    EXPECT_EQ(get_file_attributes(f.c_str()), kInvalidFileAttributes);
    EXPECT_FALSE(set_file_attributes(f.c_str(), kArchive));
    std::ofstream(f) << "x";
    for (const uint32_t bits : {kAttrReadOnly | kArchive, kArchive}) {  // Wine keeps no hidden mark
        EXPECT_TRUE(set_file_attributes(f.c_str(), bits));
        EXPECT_EQ(get_file_attributes(f.c_str()) & kAll, bits);
    }
    std::error_code ec;
    fs::remove(f, ec);
}

// The suite runs Wine in code page 932: its lead bytes, and no others. (The local time: the usage log's lines
// in win32/e2e/dialogs.sh.)
TEST(Win32ServicesTest, CodePage) {
    const CodePage cp = system_code_page();
    EXPECT_EQ(cp.kind, CodePage::Kind::Ansi);
    EXPECT_EQ(cp.leadBytes, CodePage::Cp932.leadBytes);
}

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
        r.dword();  // the position, x and y: centred at run time
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
