#include "app/ShellAssociation.h"

#include "app/ProgramIcon.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

constexpr int kIconSize = 256;

// Writes `content` unless the file already holds exactly that.
bool WriteIfDifferent(const QString& path, const QByteArray& content) {
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == content)
        return false;
    current.close();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(content);
    return file.commit();
}

QByteArray Png(const QPixmap& pixmap) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    pixmap.save(&buffer, "PNG");
    return bytes;
}

} // namespace

QPixmap DocumentIconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 64 x 64 grid: a sheet with a folded corner, a blue band and three choice lines.
    painter.scale(size / 64.0, size / 64.0);
    const QPointF sheet[] = {{12, 4}, {42, 4}, {54, 16}, {54, 60}, {12, 60}};
    painter.setPen(QPen(QColor(0x60, 0x68, 0x74), 1.5));
    painter.setBrush(QColor(0xfb, 0xfa, 0xf5));
    painter.drawPolygon(sheet, 5);
    const QPointF fold[] = {{42, 4}, {42, 16}, {54, 16}};
    painter.setBrush(QColor(0xd8, 0xdc, 0xe4));
    painter.drawPolygon(fold, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1f, 0x5f, 0x9f));
    painter.drawRect(QRectF(17, 20, 32, 8));
    for (int row = 0; row < 3; ++row) {
        const qreal y = 34 + 8 * row;
        painter.setBrush(row == 0 ? QColor(0x2e, 0x9d, 0x4f) : QColor(0xa0, 0xa8, 0xb4));
        painter.drawEllipse(QRectF(17, y, 5, 5));
        painter.setBrush(QColor(0xa0, 0xa8, 0xb4));
        painter.drawRect(QRectF(25, y + 1.5, row == 1 ? 16 : 22, 2));
    }
    return pixmap;
}

QString DesktopExecLine(const QString& program) {
    // Inside a quoted argument '"', '`', '$' and '\' take a backslash; the string escape of the
    // entry file then doubles every backslash. '%' would start a field code.
    QString quoted;
    for (QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$')
            quoted += QStringLiteral("\\\\") + c;
        else if (c == u'\\')
            quoted += QStringLiteral("\\\\\\\\");
        else if (c == u'%')
            quoted += QStringLiteral("%%");
        else
            quoted += c;
    }
    return QStringLiteral("\"%1\" %f").arg(quoted);
}

bool RegisterShellFileTypes(const QString& program, bool updateDatabases) {
    // A path with a line break cannot be put on the Exec line.
    if (program.isEmpty() || program.contains(u'\n') || program.contains(u'\r'))
        return false;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return false;
    const QString iconName = QString::fromLatin1(kQuizMimeType).replace(u'/', u'-');

    const QByteArray entry = QStringLiteral("[Desktop Entry]\n"
                                            "Type=Application\n"
                                            "Name=KEPIRO\n"
                                            "Comment=Multiple-choice drill on quiz files\n"
                                            "Comment[ja]=kwzファイルの問題を出題する選択式ドリル\n"
                                            "Exec=%1\n"
                                            "Icon=kepiro\n"
                                            "MimeType=%2;\n"
                                            "Terminal=false\n"
                                            "Categories=Education;\n")
                                 .arg(DesktopExecLine(program), QString::fromLatin1(kQuizMimeType))
                                 .toUtf8();
    const QByteArray mime =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                       "  <mime-type type=\"%1\">\n"
                       "    <comment>KEPIRO Document</comment>\n"
                       "    <icon name=\"%2\"/>\n"
                       "    <glob pattern=\"*.kwz\"/>\n"
                       "  </mime-type>\n"
                       "</mime-info>\n")
            .arg(QString::fromLatin1(kQuizMimeType), iconName)
            .toUtf8();

    const QString icons = data + QStringLiteral("/icons/hicolor/%1x%1/").arg(kIconSize);
    bool entryChanged = WriteIfDifferent(data + QStringLiteral("/applications/kepiro.desktop"), entry);
    bool mimeChanged = WriteIfDifferent(data + QStringLiteral("/mime/packages/kepiro.xml"), mime);
    bool iconsChanged =
        WriteIfDifferent(icons + QStringLiteral("apps/kepiro.png"), Png(ProgramIconPixmap(kIconSize)));
    iconsChanged |= WriteIfDifferent(icons + QStringLiteral("mimetypes/%1.png").arg(iconName),
                                     Png(DocumentIconPixmap(kIconSize)));

    if (updateDatabases) {
        auto run = [](const QString& tool, const QStringList& arguments) {
            const QString path = QStandardPaths::findExecutable(tool);
            if (!path.isEmpty())
                QProcess::startDetached(path, arguments);
        };
        if (mimeChanged)
            run(QStringLiteral("update-mime-database"), {data + QStringLiteral("/mime")});
        if (entryChanged)
            run(QStringLiteral("update-desktop-database"), {data + QStringLiteral("/applications")});
    }
    return entryChanged || mimeChanged || iconsChanged;
}
