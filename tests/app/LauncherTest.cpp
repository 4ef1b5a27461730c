#include "app/CAboutDlg.h"
#include "app/CalculatorLauncher.h"
#include "support/ModalHelper.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString kPrepare = QStringLiteral("dadazoz.exeを用意してください");

// A working directory, a PATH folder and a fallback folder of their own. Every fake program
// appends its name to one log, so the log tells which programs started and how often.
class CalculatorLauncher : public ::testing::Test {
protected:
    QTemporaryDir root;
    QString savedDir = QDir::currentPath();
    QByteArray savedPath = qgetenv("PATH");

    void SetUp() override {
        for (const char* folder : {"work", "bin", "fallback"})
            QDir(root.path()).mkpath(folder);
        QDir::setCurrent(Folder("work"));
        qputenv("PATH", Folder("bin").toUtf8());
    }
    void TearDown() override {
        QDir::setCurrent(savedDir);
        qputenv("PATH", savedPath);
    }
    QString Folder(const char* name) const { return root.filePath(QString::fromLatin1(name)); }
    QString Log() const { return root.filePath(QStringLiteral("started.log")); }

    // Writes an executable script that logs `tag` when it runs.
    QString FakeProgram(const char* folder, const QString& name, const QString& tag) {
        QString path = QDir(Folder(folder)).filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\necho " + tag.toUtf8() + " >> '" + QFile::encodeName(Log()) + "'\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    QStringList Started() const {
        QFile file(Log());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QStringList Programs() const {
        return {QStringLiteral("dadazoz"),
                QDir(Folder("fallback")).filePath(QStringLiteral("gnome-calculator")),
                QDir(Folder("fallback")).filePath(QStringLiteral("xcalc"))};
    }
};

TEST_F(CalculatorLauncher, StartsTheFirstCalculatorFound) {
    struct Row {
        const char* name;
        bool inWorkingDir, onPath, firstFallback, secondFallback;
        const char* started;
    };
    const Row rows[] = {
        {"dadazoz in the working directory", true, false, true, true, "work"},
        {"dadazoz on PATH", false, true, true, true, "path"},
        {"working directory before PATH", true, true, false, false, "work"},
        {"only the first fallback", false, false, true, true, "gnome"},
        {"only the second fallback", false, false, false, true, "xcalc"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(Log());
        for (const char* folder : {"work", "bin", "fallback"})
            for (const QString& file : QDir(Folder(folder)).entryList(QDir::Files))
                QFile::remove(QDir(Folder(folder)).filePath(file));
        if (row.inWorkingDir)
            FakeProgram("work", "dadazoz", "work");
        if (row.onPath)
            FakeProgram("bin", "dadazoz", "path");
        if (row.firstFallback)
            FakeProgram("fallback", "gnome-calculator", "gnome");
        if (row.secondFallback)
            FakeProgram("fallback", "xcalc", "xcalc");

        MessageBoxRecorder messages;
        EXPECT_TRUE(LaunchCalculator(Programs()));
        EXPECT_TRUE(WaitFor([&] { return !Started().isEmpty(); }));
        EXPECT_EQ(Started(), QStringList{row.started});
        EXPECT_TRUE(messages.texts.isEmpty());
    }
}

TEST_F(CalculatorLauncher, EveryUseStartsAnotherCalculator) {
    FakeProgram("bin", "dadazoz", "path");
    EXPECT_TRUE(LaunchCalculator(Programs()));
    EXPECT_TRUE(LaunchCalculator(Programs()));
    EXPECT_TRUE(WaitFor([&] { return Started().size() == 2; }));
    EXPECT_EQ(Started(), (QStringList{"path", "path"}));
}

TEST_F(CalculatorLauncher, NothingFoundAsksForTheCalculatorOnce) {
    // A file that is not executable does not count as found.
    FakeProgram("work", "dadazoz", "work");
    QFile::setPermissions(QDir(Folder("work")).filePath("dadazoz"), QFile::ReadOwner | QFile::WriteOwner);
    MessageBoxRecorder messages;
    EXPECT_FALSE(LaunchCalculator(Programs()));
    EXPECT_EQ(messages.texts, QStringList{kPrepare});
    EXPECT_EQ(messages.captions, QStringList{QStringLiteral("KEPIRO")});
    EXPECT_TRUE(Started().isEmpty());
}

TEST(AboutBox, ShowsIconAndVersionAndClosesWithOkOrEscape) {
    for (bool escape : {false, true}) {
        CAboutDlg dlg;
        WhenModal([escape](QWidget* d) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("KEPIROのﾊﾞｰｼﾞｮﾝ情報"));
            bool version = false, icon = false;
            for (QLabel* label : d->findChildren<QLabel*>()) {
                version |= label->text() == QStringLiteral("KEPIRO Version 1.1");
                icon |= !label->pixmap().isNull();
            }
            EXPECT_TRUE(version);
            EXPECT_TRUE(icon);
            if (escape)
                QTest::keyClick(d, Qt::Key_Escape);
            else
                d->findChild<QPushButton*>(QStringLiteral("1"))->click();
        });
        EXPECT_EQ(dlg.DoModal(), escape ? QDialog::Rejected : QDialog::Accepted);
    }
}

} // namespace
