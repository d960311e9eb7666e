#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

namespace quorlex {

// The core's texts are UTF-16 already; only the container changes at the edge.
inline QString ToQString(std::u16string_view text) {
    return QStringView(text.data(), static_cast<qsizetype>(text.size())).toString();
}

inline std::u16string FromQString(const QString& text) {
    return text.toStdU16String();
}

} // namespace quorlex
