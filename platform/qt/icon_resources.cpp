#include "platform/qt/icon_resources.h"

#include <QDir>
#include <QString>

#include "resources/resource_ids.h"

namespace vantrel::qt {

namespace {

// An icon handle is the resource number; the program has one icon.
platform::IconHandle handle_of(int resource) {
    return reinterpret_cast<platform::IconHandle>(static_cast<uintptr_t>(resource));
}

}  // namespace

// Every size that the resource holds, so that Qt never scales one.
QIcon program_icon() {
    QIcon picture;
    const QDir sizes(QStringLiteral(":/icons/%1").arg(kIconResource));
    for (const QString& file : sizes.entryList()) picture.addFile(sizes.filePath(file));
    return picture;
}

}  // namespace vantrel::qt

namespace vantrel::platform {

IconHandle load_icon(InstanceHandle /*instance*/, int resource) {
    return resource == kIconResource ? qt::handle_of(resource) : nullptr;
}

}  // namespace vantrel::platform
