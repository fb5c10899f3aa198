#include "resources/dialog_templates.h"

#include <iterator>

#include "resources/resource_ids.h"

namespace vantrel {

namespace {

using namespace style;
using K = ControlKind;

constexpr uint32_t kCheck = kButtonAutoCheck | kTabStop;
constexpr uint32_t kPercentEdit = kEditNumber | kBorder | kTabStop;
constexpr uint32_t kList = kComboDropDownList | kComboSort | kVScroll | kTabStop;
constexpr uint32_t kTextEdit = kEditAutoHScroll | kBorder | kTabStop;
constexpr uint32_t kLabel = kStaticLeft | kGroup;

constexpr ControlTemplate kSettingsControls[] = {
    {kNoControlId, K::GroupBox, "バルーン表示　しきい値の設定", 9, 6, 139, 103, kButtonGroupBox},
    {IDC_ALLENABLE, K::CheckBox, "全体(%)　警告", 19, 20, 61, 10, kCheck},
    {IDC_ALLUSAGE, K::Edit, "", 94, 19, 19, 12, kPercentEdit},
    {IDC_ALLCOUNT, K::DropDownList, "", 36, 33, 29, 127, kList},
    {kNoControlId, K::Label, "回連続検知した場合", 69, 36, 75, 9, kLabel},
    {IDC_ALLINFOENABLE, K::CheckBox, "全体（%）　お知らせ", 19, 54, 71, 10, kCheck},
    {IDC_ALLUSAGEINFO, K::Edit, "", 94, 53, 19, 12, kPercentEdit},
    {IDC_ALLINFOCNT, K::DropDownList, "", 36, 67, 29, 108, kList},
    {kNoControlId, K::Label, "回連続検知した場合", 69, 70, 75, 9, kLabel},
    {IDC_EACHENABLE, K::CheckBox, "個別（%）　警告", 19, 89, 64, 10, kCheck},
    {IDC_EACHUSAGE, K::Edit, "", 94, 88, 19, 12, kPercentEdit},
    {kNoControlId, K::Label, "監視間隔(秒)", 11, 118, 49, 8, kLabel},
    {IDC_INTERVALSEC, K::Edit, "", 64, 115, 26, 12, kEditNumber | kEditAutoHScroll | kBorder | kTabStop},
    {kNoControlId, K::Label, "監視を除外する個別プロセス(カンマで区切る)", 7, 135, 146, 9, kLabel},
    {IDC_IGNOREPROC, K::Edit, "", 7, 147, 147, 12, kTextEdit},
    {kIdOk, K::Button, "OK", 55, 203, 50, 14, kButtonDefPush | kTabStop},
    {IDC_WRITELOGFILE, K::CheckBox, "CPU使用率をログファイルに出力", 9, 168, 119, 10, kCheck},
    {IDC_LOGFILENAME, K::Edit, "", 8, 181, 128, 12, kTextEdit},
    {IDC_CHOOSELOG, K::Button, "...", 141, 181, 13, 13, kButtonPush | kTabStop},
    {kNoControlId, K::Label, "%", 117, 21, 11, 9, kLabel},
    {kNoControlId, K::Label, "%", 117, 55, 11, 9, kLabel},
    {kNoControlId, K::Label, "%", 117, 90, 11, 9, kLabel},
};

constexpr ControlTemplate kAboutControls[] = {
    {kNoControlId, K::Icon, "", 7, 14, 18, 21, kStaticIcon | kStaticRealSizeImage},
    {IDC_ABOUTTEXT, K::Label, "", 30, 11, 103, 34, kStaticCenter | kGroup},
    {kIdOk, K::Button, "OK", 45, 52, 50, 14, kButtonDefPush | kTabStop},
};

constexpr const char* kDialogFont = "ＭＳ Ｐゴシック";

constexpr DialogTemplate kTemplates[] = {
    {kSettingsDialogTemplate, kPopup | kVisible | kCaption | kSysMenu | kDialogModalFrame | kDialogCenter | kDialogSetFont,
     "設定", 159, 223, kDialogFont, 9, kSettingsControls,
     std::size(kSettingsControls)},
    {kAboutDialogTemplate, kCaption | kSysMenu | kDialogModalFrame | kDialogCenter | kDialogSetFont, "バージョン情報",
     139, 71, kDialogFont, 9, kAboutControls,
     std::size(kAboutControls)},
};

}  // namespace

const DialogTemplate* find_dialog_template(int id) {
    for (const DialogTemplate& t : kTemplates) {
        if (t.id == id) return &t;
    }
    return nullptr;
}

}  // namespace vantrel
