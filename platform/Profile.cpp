#include "platform/Profile.h"

#include <QFileInfo>

std::unique_ptr<QSettings> OpenProfile() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Local AppWizard-Generated Applications"),
                                       QStringLiteral("KEPIRO"));
}

QString ProgramFolder() {
    QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QFileInfo(exe).absolutePath() + QLatin1Char('/');
}
