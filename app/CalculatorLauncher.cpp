#include "app/CalculatorLauncher.h"

#include "platform/MessageBox.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

QStringList CalculatorPrograms() {
    return {QStringLiteral("dadazoz"), QStringLiteral("/usr/bin/gnome-calculator"),
            QStringLiteral("/usr/bin/xcalc")};
}

QString ResolveCalculator(const QString& program) {
    auto executable = [](const QString& path) {
        QFileInfo info(path);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    };
    if (program.contains(QLatin1Char('/')))
        return executable(program);
    QString local = executable(QDir::current().filePath(program));
    if (!local.isEmpty())
        return local;
    return QStandardPaths::findExecutable(program);
}

bool LaunchCalculator(const QStringList& programs) {
    for (const QString& program : programs) {
        QString path = ResolveCalculator(program);
        if (!path.isEmpty() && QProcess::startDetached(path, {}))
            return true;
    }
    ShowMessage(QStringLiteral("dadazoz.exeを用意してください"));
    return false;
}
