#include "platform/DialogUnits.h"

#include <QFontMetrics>
#include <QStringList>

QFont DialogFont(int pointSize) {
    QFont font;
    font.setFamilies(QStringList{QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
    font.setPointSize(pointSize);
    return font;
}

DialogUnits::DialogUnits(const QFont& font) {
    QFontMetrics metrics(font);
    int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_nBaseX = (letters / 26 + 1) / 2;
    m_nBaseY = metrics.height();
}

int DialogUnits::X(int dlu) const { return dlu * m_nBaseX / 4; }

int DialogUnits::Y(int dlu) const { return dlu * m_nBaseY / 8; }

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
    return QRect(X(x), Y(y), X(x + width) - X(x), Y(y + height) - Y(y));
}
