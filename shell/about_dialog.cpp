#include "shell/about_dialog.h"

#include <cstdio>

#include "resources/resource_ids.h"
#include "shell/app_ids.h"
#include "vantrel_version.h"

namespace vantrel {

int32_t aboutOpen = 0;

namespace {

// The version's four parts, from the project's version: 1, 2, "β", "1".
constexpr int kVersionMajor = VANTREL_VERSION_MAJOR;
constexpr int kVersionMinor = VANTREL_VERSION_MINOR;
constexpr const char* kVersionStage = VANTREL_VERSION_STAGE;
constexpr const char* kVersionBuild = VANTREL_VERSION_BUILD;

constexpr const char* kCreditMaker = "Vantrel 開発チーム";
// Each line must fit the About box's text control, 103 dialog units wide.
constexpr const char* kCreditLine = "Copyright (C) 2026";

std::size_t formatted_length(int n, std::size_t cap) {
    if (n < 0) return 0;
    return static_cast<std::size_t>(n) < cap ? static_cast<std::size_t>(n) : cap - 1;
}

// "ver1.2β1".
std::size_t format_version(char* out, std::size_t cap) {
    return formatted_length(std::snprintf(out, cap, "ver%d.%d%s%s", kVersionMajor, kVersionMinor,
                                          kVersionStage, kVersionBuild),
                            cap);
}

}  // namespace

std::size_t format_about_text(char* out, std::size_t cap) {
    char version[16];
    format_version(version, sizeof version);
    return formatted_length(std::snprintf(out, cap, " %s　%s\n\n%s\n%s", kProductName, version,
                                          kCreditMaker, kCreditLine),
                            cap);
}

intptr_t about_dialog_proc(platform::WindowHandle dialog, uint32_t message, uintptr_t wparam,
                           intptr_t /*lparam*/) {
    switch (message) {
        case platform::kMsgInitDialog: {
            aboutOpen = 1;
            char text[256];
            format_about_text(text, sizeof text);
            platform::set_item_text(dialog, IDC_ABOUTTEXT, text);
            platform::focus_item(dialog, kIdOk);
            // The focus is placed, so the system must not move it: 0 departs
            // from the documented 1 for every message a dialog handles.
            return 0;
        }
        case platform::kMsgCommand:
            if (wparam == kIdOk) platform::send_message(dialog, platform::kMsgClose, 0, 0);
            return 1;
        case platform::kMsgClose:
        case platform::kMsgDestroy:
            aboutOpen = 0;
            platform::end_dialog(dialog, 1);
            return 1;
        default:
            return 0;
    }
}

}  // namespace vantrel
