#pragma once

#include <QFont>
#include <QRect>

// The dialog font: "ＭＳ Ｐゴシック" of the templates, here IPAPGothic or Noto Sans CJK JP.
QFont DialogFont(int pointSize);

// Converts dialog units of a template into pixels of the dialog's font: a horizontal unit is a
// quarter of the average width of the Latin letters, a vertical unit an eighth of the font height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    int X(int dlu) const;
    int Y(int dlu) const;
    QRect Rect(int x, int y, int width, int height) const;

private:
    int m_nBaseX;
    int m_nBaseY;
};
