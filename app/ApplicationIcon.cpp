#include "app/ApplicationIcon.h"

#include <QString>

// The resources live in a static library, which links them only when asked;
// the macro must be used outside any namespace.
static void LoadIconResources() {
    Q_INIT_RESOURCE(quorlex);
}

namespace quorlex {

QIcon ApplicationIcon() {
    LoadIconResources();
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/quorlex-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace quorlex
