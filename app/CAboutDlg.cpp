#include "app/CAboutDlg.h"

#include "app/ProgramIcon.h"
#include "platform/DialogUnits.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent ? parent : QApplication::activeWindow(),
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                  Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("KEPIROのﾊﾞｰｼﾞｮﾝ情報"));
    setFont(DialogFont(9));
    DialogUnits du(font());
    setFixedSize(du.X(235), du.Y(55));

    auto* icon = new QLabel(this);
    QRect iconRect = du.Rect(11, 17, 20, 20);
    icon->setGeometry(iconRect);
    int side = std::min(iconRect.width(), iconRect.height());
    icon->setPixmap(ProgramIconPixmap(side));
    icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* version = new QLabel(QStringLiteral("KEPIRO Version 1.1"), this);
    version->setTextFormat(Qt::PlainText);
    version->setGeometry(du.Rect(40, 10, 119, 8));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setGeometry(du.Rect(178, 7, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
