#include "ui/DialogFont.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace quorlex {
namespace {

constexpr int kPointSize = 10;

QString ChooseFamily() {
    const QStringList preferred = {QStringLiteral("Noto Sans CJK SC"),
                                   QStringLiteral("Noto Sans CJK TC"),
                                   QStringLiteral("WenQuanYi Micro Hei")};
    for (const QString& family : preferred) {
        if (QFontDatabase::hasFamily(family)) {
            return family;
        }
    }
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    return chinese.isEmpty() ? QApplication::font().family() : chinese.front();
}

QFont MakeFont() {
    QFont font(ChooseFamily());
    font.setPointSize(kPointSize);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace

const QFont& DialogFont() {
    // Chosen once: the font database does not change while the program runs.
    static const QFont font = MakeFont();
    return font;
}

} // namespace quorlex
