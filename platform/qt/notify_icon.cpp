// The notify-icon requests: from any thread, carried out in order on the
// user-interface thread by the presentation in use.
#include <cstring>
#include <string_view>

#include "platform/platform.h"
#include "platform/qt/presentation.h"
#include "platform/qt/ui_requests.h"
#include "platform/qt/window_records.h"

namespace vantrel::qt {

namespace {

Presentation* current = nullptr;  // user-interface thread only

// The text of a fixed-size field, which ends at its first zero byte or at the
// end of the field.
template <std::size_t N>
std::string_view field_text(const char (&field)[N]) {
    return std::string_view(field, strnlen(field, N));
}

void carry_out(uint32_t request, const platform::IconRecord& record) {
    // The icon belongs to its window: requests for a window that is gone
    // change nothing.
    if (current == nullptr || live_window(record.hWnd) == nullptr) return;
    switch (request) {
        case platform::kIconAdd: {
            const std::string_view tip =
                (record.uFlags & platform::kIconFlagTip) != 0 ? field_text(record.szTip) : std::string_view();
            current->add({record.hWnd, record.uCallbackMessage, record.uID}, record.hIcon, tip);
            break;
        }
        case platform::kIconModify:
            if ((record.uFlags & platform::kIconFlagTip) != 0) current->set_tooltip(field_text(record.szTip));
            if ((record.uFlags & platform::kIconFlagInfo) != 0)
                current->show_balloon(field_text(record.szInfoTitle), field_text(record.szInfo),
                                      record.dwInfoFlags);
            break;
        case platform::kIconDelete:
            current->remove();
            break;
        default:
            break;
    }
}

}  // namespace

void use_presentation(Presentation* presentation) { current = presentation; }

}  // namespace vantrel::qt

namespace vantrel::platform {

// No Windows record crosses here; the record keeps the size it has in the
// 32-bit layout.
uint32_t icon_record_size() { return 488; }

bool notify_icon(uint32_t request, const IconRecord& record) {
    qt::run_on_ui_thread([request, record] { qt::carry_out(request, record); });
    return true;
}

void show_load(int32_t total, uint32_t level) {
    qt::run_on_ui_thread([total, level] {
        if (qt::current != nullptr) qt::current->show_load(total, level);
    });
}

}  // namespace vantrel::platform
