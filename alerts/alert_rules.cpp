#include "alerts/alert_rules.h"

#include <cstdio>
#include <limits>

#include "alerts/message_template.h"
#include "alerts/tray_icon.h"
#include "platform/platform.h"
#include "settings/settings_table.h"
#include "shell/app_ids.h"

namespace vantrel {

int32_t warnStreak = 0;
int32_t noticeStreak = 0;

namespace {

// Builds the balloon from the two template settings and shows it.
void raise_balloon(const StringSetting& titleSetting, const StringSetting& messageSetting,
                   const char* processName, int32_t usage, uint32_t kind) {
    char titleTemplate[StringSetting::kCapacity];
    char messageTemplate[StringSetting::kCapacity];
    titleSetting.copy_to(titleTemplate, sizeof titleTemplate);
    messageSetting.copy_to(messageTemplate, sizeof messageTemplate);
    char title[kTitleBufferSize];
    char message[kMessageBufferSize];
    compose_message(title, message, titleTemplate, messageTemplate, processName, usage);
    show_balloon(title, message, kind);
}

void raise_process_warning(const ProcessTable& table, uint32_t sweepSize, uint32_t batchIndex) {
    const BatchRange range = batch_range(sweepSize, batchIndex);
    for (uint32_t s = range.first; s <= range.last && s < kTotalSlot; ++s) {
        const ProcessSlot& slot = table.slots[s];
        if (slot.usage >= settings.eachusage.get()) {
            raise_balloon(settings.eachwarntitle, settings.eachwarnmsg, slot.name, slot.usage,
                          platform::kBalloonWarning);
            return;
        }
    }
}

// A streak stops growing at the largest count rather than overflowing.
void count_detection(int32_t& streak) {
    if (streak < std::numeric_limits<int32_t>::max()) ++streak;
}

// The overall rule that the total meets: the warning before the notice, each
// only while its balloons are switched on.
uint32_t load_level(int32_t total) {
    if (settings.allenable.get() == 1 && total >= settings.allusage.get()) return platform::kLoadWarning;
    if (settings.allinfoenable.get() == 1 && total >= settings.allusageinfo.get()) return platform::kLoadNotice;
    return platform::kLoadNormal;
}

}  // namespace

void evaluate_alerts(const ProcessTable& table, uint32_t sweepSize, uint32_t batchIndex) {
    raise_process_warning(table, sweepSize, batchIndex);

    const int32_t total = table.slots[kTotalSlot].usage;
    if (total < 0 || total > 100) {  // no reading: nothing else changes
        platform::show_load(total, platform::kLoadNormal);
        return;
    }

    char tooltip[64];
    std::snprintf(tooltip, sizeof tooltip, "%s [ %d%% ]", kProductName, total);
    set_tooltip(tooltip);
    const uint32_t level = load_level(total);
    platform::show_load(total, level);

    if (level == platform::kLoadWarning) {
        count_detection(warnStreak);
        if (warnStreak > settings.allcount.get())
            raise_balloon(settings.allwarntitle, settings.allwarnmsg, nullptr, total,
                          platform::kBalloonWarning);
    } else if (level == platform::kLoadNotice) {
        count_detection(noticeStreak);
        if (noticeStreak > settings.allinfocnt.get())
            raise_balloon(settings.allinfotitle, settings.allinfomsg, nullptr, total,
                          platform::kBalloonInfo);
    }

    if (total < settings.allusage.get()) warnStreak = 0;
    if (total < settings.allusageinfo.get()) noticeStreak = 0;
}

}  // namespace vantrel
