#include "shell/settings_dialog.h"

#include <cstdio>
#include <cstring>

#include "resources/resource_ids.h"
#include "settings/settings_table.h"
#include "shell/app_ids.h"

namespace vantrel {

platform::WindowHandle openSettingsDialog = nullptr;
platform::FileChooser logFileChooser;

namespace {

constexpr int kListEntries = 10;
constexpr const char* kListTexts[kListEntries] = {" 1", " 2", " 3", " 4", " 5",
                                                  " 6", " 7", " 8", " 9", "10"};
constexpr const char* kCaption = "out of range";
constexpr const char* kPercentMessage = "1～100の間で指定してください";

// The chooser's file-name buffer: 520 bytes, of which 519 are usable.
char chooserFile[520];

// The filter pairs (display text, pattern), ended by an empty text.
constexpr char kChooserFilter[] = "LOGファイル (*.*)\0*.*\0";

struct CheckBinding {
    int id;
    IntSetting SettingsTable::*setting;
};

constexpr CheckBinding kChecks[] = {
    {IDC_ALLENABLE, &SettingsTable::allenable},
    {IDC_ALLINFOENABLE, &SettingsTable::allinfoenable},
    {IDC_EACHENABLE, &SettingsTable::eachenable},
    {IDC_WRITELOGFILE, &SettingsTable::writelogfile},
};

struct NumberField {
    int id;
    IntSetting SettingsTable::*setting;
    std::size_t bytes;  // bytes read at OK
};

constexpr NumberField kPercentFields[] = {
    {IDC_ALLUSAGE, &SettingsTable::allusage, 3},
    {IDC_ALLUSAGEINFO, &SettingsTable::allusageinfo, 3},
    {IDC_EACHUSAGE, &SettingsTable::eachusage, 3},
};
constexpr NumberField kIntervalField = {IDC_INTERVALSEC, &SettingsTable::intervalsec, 4};

void fill_count_list(platform::WindowHandle dialog, int id, int32_t value) {
    for (int i = 0; i < 2 * kListEntries; ++i) platform::list_delete_entry(dialog, id, 0);
    for (int i = 0; i < kListEntries; ++i) platform::list_insert_entry(dialog, id, i, kListTexts[i]);
    platform::list_select(dialog, id, value);
}

void set_number_text(platform::WindowHandle dialog, int id, int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    platform::set_item_text(dialog, id, text);
}

void set_text_from(platform::WindowHandle dialog, int id, const StringSetting& setting) {
    char text[StringSetting::kCapacity];
    setting.copy_to(text, sizeof text);
    platform::set_item_text(dialog, id, text);
}

void on_init(platform::WindowHandle dialog) {
    openSettingsDialog = dialog;
    for (const CheckBinding& c : kChecks)
        platform::check_button(dialog, c.id, (settings.*c.setting).get());
    fill_count_list(dialog, IDC_ALLCOUNT, settings.allcount.get());
    fill_count_list(dialog, IDC_ALLINFOCNT, settings.allinfocnt.get());
    for (const NumberField& f : kPercentFields) set_number_text(dialog, f.id, (settings.*f.setting).get());
    set_number_text(dialog, kIntervalField.id, settings.intervalsec.get());
    set_text_from(dialog, IDC_IGNOREPROC, settings.ignoreproc);
    set_text_from(dialog, IDC_LOGFILENAME, settings.logfilename);
    platform::focus_item(dialog, IDC_ALLUSAGE);
    platform::select_all_text(dialog, IDC_ALLUSAGE);
}

void choose_log_file(platform::WindowHandle dialog) {
    logFileChooser.file[0] = '\0';
    platform::get_save_file_name(logFileChooser);
    if (logFileChooser.file[0] != '\0') platform::set_item_text(dialog, IDC_LOGFILENAME, logFileChooser.file);
}

// Reads a number: leading white space, one optional sign, decimal digits up
// to the first other character; 0 when no digit is there.
int32_t read_number(const char* text) {
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        // Saturate far beyond every accepted range instead of overflowing.
        if (value < 100000000000) value = value * 10 + (*p - '0');
    }
    if (value > INT32_MAX) value = INT32_MAX;
    return static_cast<int32_t>(negative ? -value : value);
}

int32_t read_field(platform::WindowHandle dialog, const NumberField& field) {
    char text[8];
    platform::get_item_text(dialog, field.id, text, field.bytes + 1);
    return read_number(text);
}

void on_ok(platform::WindowHandle dialog) {
    // The log file name is taken first, whatever the checks decide.
    char logName[255];
    platform::get_item_text(dialog, IDC_LOGFILENAME, logName, sizeof logName);
    settings.logfilename.set(logName);

    int32_t percents[3];
    for (int i = 0; i < 3; ++i) percents[i] = read_field(dialog, kPercentFields[i]);
    const int32_t interval = read_field(dialog, kIntervalField);
    char ignore[255];
    platform::get_item_text(dialog, IDC_IGNOREPROC, ignore, sizeof ignore);

    for (const int32_t p : percents) {
        if (p < 1 || p > 100) {
            platform::message_box(dialog, kPercentMessage, kCaption);
            return;
        }
    }
    const int32_t maxInterval = settings.intervalsec.max;
    if (interval < 1 || interval > maxInterval) {
        char message[64];
        std::snprintf(message, sizeof message, "1～%dの間で指定してください", maxInterval);
        platform::message_box(dialog, message, kCaption);
        return;
    }

    for (int i = 0; i < 3; ++i) (settings.*kPercentFields[i].setting).set(percents[i]);
    settings.intervalsec.set(interval);
    settings.ignoreproc.set(ignore);
    settings.allcount.set(platform::list_selection(dialog, IDC_ALLCOUNT));
    settings.allinfocnt.set(platform::list_selection(dialog, IDC_ALLINFOCNT));
    for (const CheckBinding& c : kChecks)
        (settings.*c.setting).set(platform::is_button_checked(dialog, c.id) ? 1 : 0);

    platform::set_timer(mainWindow, MonitorTimer, static_cast<uint32_t>(interval) * 1000u);
    platform::end_dialog(dialog, 1);
}

}  // namespace

void prepare_file_chooser() {
    std::memset(&logFileChooser, 0, sizeof logFileChooser);
    logFileChooser.structSize = platform::file_chooser_record_size();
    logFileChooser.owner = mainWindow;
    logFileChooser.filter = kChooserFilter;
    logFileChooser.filterIndex = 1;
    logFileChooser.file = chooserFile;
    logFileChooser.maxFile = sizeof chooserFile - 1;
    logFileChooser.flags = platform::kChooseExplorer | platform::kChooseFileMustExist |
                           platform::kChooseHideReadOnly | platform::kChooseOverwritePrompt;
    logFileChooser.defExt = nullptr;
}

intptr_t settings_dialog_proc(platform::WindowHandle dialog, uint32_t message, uintptr_t wparam,
                              intptr_t /*lparam*/) {
    switch (message) {
        case platform::kMsgInitDialog:
            // 0: the focus has been placed on field 1667; 1 would have the
            // system move it to the first tab stop instead. This departs
            // from the documented 1 for every message a dialog handles.
            on_init(dialog);
            return 0;
        case platform::kMsgCommand:
            if (wparam == IDC_CHOOSELOG) choose_log_file(dialog);
            if (wparam == kIdOk) on_ok(dialog);
            if (wparam == kIdCancel) platform::send_message(dialog, platform::kMsgClose, 0, 0);
            return 1;
        case platform::kMsgClose:
        case platform::kMsgDestroy:
            openSettingsDialog = nullptr;
            platform::end_dialog(dialog, 1);
            return 1;
        default:
            return 0;
    }
}

}  // namespace vantrel
