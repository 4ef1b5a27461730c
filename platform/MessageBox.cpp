#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

void ShowMessage(const QString& text, const QString& caption) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s\n", text.toUtf8().constData());
        return;
    }
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}
