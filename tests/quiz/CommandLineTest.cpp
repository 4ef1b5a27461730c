#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Outcome {
    int exitCode;
    QByteArray out, err;
};

// Runs the real kepiro program beside this test, with no display at all.
Outcome RunKepiro(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(env);
    process.start(QCoreApplication::applicationDirPath() + "/kepiro", arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return file.fileName();
}

TEST(CommandLine, DumpPrintsTheQuestionSetAsJson) {
    QTemporaryDir dir;
    const QString quiz = WriteFile(dir, "q.kwz",
                                   "2\r\n\r\n\x93\xfa\x96\x7b\r\n\r\n\r\n\r\nA\r\nB\r\n\r\n\r\nE1\r\nE2\r\n"
                                   "v1.1:1:1:0:1\r\n\"quoted\"\\\r\n\x81\x7e\r\n\r\n");
    Outcome result = RunKepiro({"--dump", quiz});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    const QJsonObject root = QJsonDocument::fromJson(result.out).object();
    EXPECT_EQ(root["count"].toInt(), 2);
    const QJsonArray questions = root["questions"].toArray();
    ASSERT_EQ(questions.size(), 2);
    const QJsonObject first = questions[0].toObject();
    EXPECT_EQ(first["number"].toInt(), 0);
    EXPECT_EQ(first["answers"].toInt(), 1);
    EXPECT_EQ(first["text"].toString(), QStringLiteral("日本\n\n\n\n"));
    EXPECT_EQ(first["choices"].toArray(), (QJsonArray{"A", "B", "", "", ""}));
    EXPECT_EQ(first["explanation"].toString(), "E1\nE2");
    const QJsonObject second = questions[1].toObject();
    EXPECT_EQ(second["text"].toString(), "\"quoted\"\\\n");
    EXPECT_EQ(second["choices"].toArray(),
              (QJsonArray{QStringLiteral("×"), QStringLiteral("○"), "", "", ""}));
    EXPECT_FALSE(QFile::exists(dir.filePath("q.hkd"))) << "dumping never writes a record file";
}

TEST(CommandLine, DumpAndCheckExitCodes) {
    QTemporaryDir dir;
    const QString rejected = WriteFile(dir, "bad.kwz", "1\r\nnot a record\r\n");
    Outcome result = RunKepiro({"--dump", rejected});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.isEmpty());
    EXPECT_TRUE(result.err.contains(QStringLiteral("kwzファイルじゃありません").toUtf8()));

    result = RunKepiro({"--dump", dir.filePath("missing.kwz")});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains("missing.kwz"));

    const QString sample = QStringLiteral(PROJECT_SOURCE_DIR "/samples/sample.kwz");
    result = RunKepiro({"--check", sample});
    EXPECT_EQ(result.exitCode, 0) << result.out.constData();
    result = RunKepiro({"--check", sample, rejected});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(RunKepiro({"--help"}).exitCode, 0);
}

} // namespace
