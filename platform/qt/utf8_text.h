// The core's texts are UTF-8 byte strings on Linux; Qt's are QStrings.
#pragma once

#include <QString>

#include <cstddef>
#include <string_view>

#include "text/code_page.h"

namespace vantrel::qt {

inline QString from_utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Copies the text into buf (cap bytes, cap at least 1), cut so that no
// character is split, and terminates it; returns the length copied.
inline std::size_t copy_utf8(const QString& text, char* buf, std::size_t cap) {
    const QByteArray bytes = text.toUtf8();
    return copy_cut(CodePage::Utf8, buf, cap, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace vantrel::qt
