#include "platform/qt/icon_resources.h"

#include <QString>

#include "resources/resource_ids.h"

namespace vantrel::qt {

namespace {

// An icon handle is the resource number; the program has one icon.
platform::IconHandle handle_of(int resource) {
    return reinterpret_cast<platform::IconHandle>(static_cast<uintptr_t>(resource));
}

}  // namespace

QIcon icon_picture(platform::IconHandle icon) {
    if (icon != handle_of(kIconResource)) return QIcon();
    return QIcon(QStringLiteral(":/icons/%1.ico").arg(kIconResource));
}

QIcon program_icon() { return icon_picture(handle_of(kIconResource)); }

}  // namespace vantrel::qt

namespace vantrel::platform {

IconHandle load_icon(InstanceHandle /*instance*/, int resource) {
    return resource == kIconResource ? qt::handle_of(resource) : nullptr;
}

}  // namespace vantrel::platform
