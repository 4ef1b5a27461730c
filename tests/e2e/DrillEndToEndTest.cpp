#include "support/ModalHelper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>

// The real kepiro program in a real X server, driven like a user with xdotool.

namespace {

// The true/false questions of a quiz file by their index: true when "○" is the correct mark.
std::map<int, bool> TrueFalseQuestions(const QByteArray& quiz, int* pCount) {
    QList<QByteArray> lines = quiz.split('\n');
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    int at = 0;
    auto next = [&]() -> QByteArray { return at < lines.size() ? lines[at++] : QByteArray(); };
    const int count = next().trimmed().toInt();
    std::map<int, bool> marks;
    for (int q = 0; q < count; ++q) {
        const QByteArray first = next();
        if (!first.startsWith("v1.1")) {
            at += 10;
            continue;
        }
        const QList<QByteArray> numbers = first.split(':');
        const int questionLines = numbers.value(1).toInt(), choices = numbers.value(2).toInt(),
                  explanationLines = numbers.value(3).toInt();
        at += questionLines;
        const QByteArray firstChoice = next();
        at += 2 * choices - 1 + explanationLines;
        if (choices == 1 && (firstChoice == "\x81\x9b" || firstChoice == "\x81\x7e"))
            marks[q] = firstChoice == "\x81\x9b";
    }
    *pCount = count;
    return marks;
}

class XServer {
public:
    ~XServer() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            m_process.waitForFinished(5000);
        }
    }

    // Starts Xvfb on a display number of its own choosing; it writes the number once it is ready.
    bool Start() {
        m_process.start(QStringLiteral("Xvfb"),
                        {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                         QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                         QStringLiteral("tcp")});
        if (!m_process.waitForStarted(10000))
            return false;
        QByteArray out;
        while (!out.contains('\n')) {
            if (!m_process.waitForReadyRead(10000))
                return false;
            out += m_process.readAllStandardOutput();
        }
        display = QStringLiteral(":") + QString::fromLatin1(out.trimmed());
        return true;
    }

    QString display;

private:
    QProcess m_process;
};

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "xdotool", "xwd"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " is not installed";
        ASSERT_TRUE(x.Start());
        env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), x.display);
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    }

    // Starts kepiro on `quiz` and accepts the setup dialog and the note about the new record file
    // with Enter; returns the main window, or an empty id after a failure.
    QString StartOnTheQuiz(const QString& quiz) {
        kepiro.setProcessEnvironment(env);
        kepiro.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        kepiro.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kepiro"), {quiz});
        if (!kepiro.waitForStarted(10000)) {
            ADD_FAILURE() << "kepiro did not start";
            return {};
        }
        const QString setup = WaitForWindow(QStringLiteral("出題するパターンを選択してください"));
        if (setup.isEmpty()) {
            ADD_FAILURE() << "no setup dialog";
            return {};
        }
        Keys(setup, {QStringLiteral("Return")});
        const QString notice = WaitForWindow(QStringLiteral("^KEPIRO$"));
        if (notice.isEmpty()) {
            ADD_FAILURE() << "no message about the new record file";
            return {};
        }
        Keys(notice, {QStringLiteral("Return")});
        const QString main = WaitForWindow(QStringLiteral("^sample\\.kwz - KEPIRO$"));
        if (main.isEmpty())
            ADD_FAILURE() << "no main window";
        return main;
    }

    void TearDown() override {
        if (kepiro.state() != QProcess::NotRunning) {
            kepiro.kill();
            kepiro.waitForFinished(5000);
        }
    }

    QByteArray Run(const QString& program, const QStringList& arguments) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        process.waitForFinished(10000);
        return process.readAllStandardOutput();
    }

    QByteArray Xdotool(const QStringList& arguments) { return Run(QStringLiteral("xdotool"), arguments); }

    // The first visible window whose name matches `pattern`, waited for.
    QString WaitForWindow(const QString& pattern) {
        QString id;
        WaitFor(
            [&] {
                id = QString::fromLatin1(Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                  QStringLiteral("--name"), pattern}))
                         .section(u'\n', 0, 0)
                         .trimmed();
                return !id.isEmpty();
            },
            20000);
        return id;
    }

    void Keys(const QString& window, const QStringList& keys) {
        Xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        Xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--clearmodifiers")} + keys);
    }

    bool Visible(const QString& pattern) {
        return !Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                         pattern})
                    .trimmed()
                    .isEmpty();
    }

    // Answers every position with choice 1 until the results dialog opens; returns the positions
    // answered, or -1 when no results dialog came. Each answer either shows the next heading or
    // opens the results, so every pair of keys is waited for before the next is sent.
    int AnswerWithFirstChoiceUntilResults(const QString& main) {
        QByteArray before = SteadyPicture(main);
        for (int answered = 1; answered <= 60; ++answered) {
            Keys(main, {QStringLiteral("1"), QStringLiteral("0")});
            WaitFor([&] { return Visible(kResultsTitle) || Picture(main) != before; }, 10000);
            before = SteadyPicture(main);
            if (Visible(kResultsTitle))
                return answered;
        }
        return -1;
    }

    void Screenshot(const QString& window, const QString& name) {
        Run(QStringLiteral("sh"),
            {QStringLiteral("-c"),
             QStringLiteral("xwd -silent -id %1 | convert xwd:- %2")
                 .arg(window, QCoreApplication::applicationDirPath() + QStringLiteral("/") + name)});
    }

    const QString kResultsTitle = QStringLiteral("^見たい問題のボタンを押してください$");

    QByteArray Picture(const QString& window) {
        return Run(QStringLiteral("xwd"), {QStringLiteral("-silent"), QStringLiteral("-id"), window});
    }

    // Waits until two pictures in a row agree: the window has finished drawing.
    QByteArray SteadyPicture(const QString& window) {
        QByteArray previous, current = Picture(window);
        WaitFor(
            [&] {
                previous = current;
                current = Picture(window);
                return !current.isEmpty() && current == previous;
            },
            10000);
        return current;
    }

    XServer x;
    QTemporaryDir home;
    QProcessEnvironment env;
    QProcess kepiro;
};

} // namespace

TEST_F(EndToEnd, DrillWithTheKeyboardAndQuitFromTheMenu) {
    const QString quiz = home.filePath(QStringLiteral("sample.kwz"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(PROJECT_SOURCE_DIR "/samples/sample.kwz"), quiz));
    QFile quizFile(quiz);
    ASSERT_TRUE(quizFile.open(QIODevice::ReadOnly));
    const int count = quizFile.readLine().trimmed().toInt();
    quizFile.close();
    ASSERT_GT(count, 0);

    const QString main = StartOnTheQuiz(quiz);
    ASSERT_FALSE(main.isEmpty());
    Keys(main, {QStringLiteral("3")});
    const QByteArray chosen = SteadyPicture(main);
    Run(QStringLiteral("sh"),
        {QStringLiteral("-c"), QStringLiteral("xwd -silent -id %1 | convert xwd:- %2")
                                   .arg(main, QCoreApplication::applicationDirPath() +
                                                  QStringLiteral("/e2e_question_screen.png"))});
    Keys(main, {QStringLiteral("0")});
    EXPECT_TRUE(WaitFor([&] { return Picture(main) != chosen; }, 10000))
        << "answering changed nothing on screen";

    Keys(main, {QStringLiteral("alt+f")});
    const QString pid = QString::number(kepiro.processId());
    EXPECT_TRUE(WaitFor(
        [&] {
            return Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                            QStringLiteral("--pid"), pid})
                       .count('\n') > 1;
        },
        10000))
        << "the File menu did not open";
    Xdotool({QStringLiteral("key"), QStringLiteral("x")});
    ASSERT_TRUE(kepiro.waitForFinished(20000)) << "kepiro did not quit";
    EXPECT_EQ(kepiro.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(kepiro.exitCode(), 0);

    QFile record(home.filePath(QStringLiteral("sample.hkd")));
    ASSERT_TRUE(record.open(QIODevice::ReadOnly)) << "no record file beside the quiz";
    const QList<QByteArray> lines = record.readAll().split('\n');
    ASSERT_GE(lines.size(), count + 1);
    EXPECT_EQ(lines[0].trimmed(), "'hkd" + QByteArray::number(count));
    for (int i = 1; i <= count; ++i)
        EXPECT_EQ(lines[i].trimmed(), "0/0") << "entry " << i;

    QSettings profile(
        home.filePath(QStringLiteral("config/Local AppWizard-Generated Applications/KEPIRO.ini")),
        QSettings::IniFormat);
    EXPECT_EQ(profile.value(QStringLiteral("Recent File List/File1")).toString(),
              QDir(home.path()).filePath(QStringLiteral("sample.kwz")));
    for (const char* key : {"left", "top", "right", "bottom"})
        EXPECT_TRUE(profile.contains(QStringLiteral("Horvantel/") + QLatin1String(key))) << key;
    EXPECT_GT(profile.value(QStringLiteral("Horvantel/right")).toInt(),
              profile.value(QStringLiteral("Horvantel/left")).toInt());
}

TEST_F(EndToEnd, WholeDrillThenReviewThenQuitFromTheResults) {
    const QString quiz = home.filePath(QStringLiteral("sample.kwz"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(PROJECT_SOURCE_DIR "/samples/sample.kwz"), quiz));
    QFile quizFile(quiz);
    ASSERT_TRUE(quizFile.open(QIODevice::ReadOnly));
    int count = 0;
    const std::map<int, bool> marks = TrueFalseQuestions(quizFile.readAll(), &count);
    quizFile.close();
    // Choice 1 is always "○": the "○" questions come out right and the "×" ones wrong.
    ASSERT_TRUE(std::count_if(marks.begin(), marks.end(), [](const auto& m) { return m.second; }) > 0);
    ASSERT_TRUE(std::count_if(marks.begin(), marks.end(), [](const auto& m) { return !m.second; }) > 0);

    const QString main = StartOnTheQuiz(quiz);
    ASSERT_FALSE(main.isEmpty());

    const int drill = AnswerWithFirstChoiceUntilResults(main);
    ASSERT_GT(drill, 0) << "no results dialog";
    QString results = WaitForWindow(kResultsTitle);
    SteadyPicture(results);
    Screenshot(results, QStringLiteral("e2e_results.png"));
    // The buttons in tab order: "問題を開く", "復習", "終了".
    Keys(results, {QStringLiteral("Tab"), QStringLiteral("Return")});
    ASSERT_TRUE(WaitFor([&] { return !Visible(kResultsTitle); }, 10000));

    const int review = AnswerWithFirstChoiceUntilResults(main);
    ASSERT_GT(review, 0) << "no results after the review drill";
    results = WaitForWindow(kResultsTitle);
    Keys(results, {QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Return")});
    ASSERT_TRUE(kepiro.waitForFinished(20000)) << "kepiro did not quit";
    EXPECT_EQ(kepiro.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(kepiro.exitCode(), 0);

    // The record as the review's results wrote it.
    QFile record(home.filePath(QStringLiteral("sample.hkd")));
    ASSERT_TRUE(record.open(QIODevice::ReadOnly)) << "no record file beside the quiz";
    const QList<QByteArray> lines = record.readAll().split('\n');
    ASSERT_GE(lines.size(), count + 1);
    EXPECT_EQ(lines[0].trimmed(), "'hkd" + QByteArray::number(count));
    int asked = 0, correct = 0;
    for (int q = 0; q < count; ++q) {
        const QList<QByteArray> entry = lines[q + 1].trimmed().split('/');
        ASSERT_EQ(entry.size(), 2) << "entry " << q + 1;
        const int c = entry[0].toInt(), a = entry[1].toInt();
        EXPECT_LE(c, a) << "entry " << q + 1;
        asked += a;
        correct += c;
        if (auto mark = marks.find(q); mark != marks.end()) {
            // "○" questions never come back for review; "×" ones come back each time they were asked.
            EXPECT_GE(a, 1) << "entry " << q + 1;
            EXPECT_EQ(c, mark->second ? a : 0) << "entry " << q + 1;
            if (!mark->second) {
                EXPECT_EQ(a % 2, 0) << "entry " << q + 1;
            }
        }
    }
    // The review asks every wrong position of the drill once more.
    const int rightInDrill = drill - review;
    EXPECT_GT(rightInDrill, 0);
    EXPECT_GT(review, 0);
    EXPECT_EQ(asked, drill + review);
    EXPECT_GE(correct, rightInDrill);
    EXPECT_LE(correct, rightInDrill + review);
}
