#include "app/CKEPIROApp.h"
#include "app/CMainFrame.h"
#include "app/RecentFileList.h"
#include "app/ShellAssociation.h"
#include "drill/CKEPIROView.h"
#include "platform/Profile.h"
#include "platform/Texts.h"
#include "quiz/CKEPIRODoc.h"
#include "support/ModalHelper.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

void ClearProfile() {
    auto profile = OpenProfile();
    profile->clear();
}

void WritePlacement(int left, int top, int right, int bottom) {
    auto profile = OpenProfile();
    profile->beginGroup(QStringLiteral("Horvantel"));
    profile->setValue(QStringLiteral("left"), left);
    profile->setValue(QStringLiteral("top"), top);
    profile->setValue(QStringLiteral("right"), right);
    profile->setValue(QStringLiteral("bottom"), bottom);
}

QList<int> ReadPlacement() {
    auto profile = OpenProfile();
    profile->beginGroup(QStringLiteral("Horvantel"));
    QList<int> values;
    for (const char* key : {"left", "top", "right", "bottom"})
        values << profile->value(QLatin1String(key), -9999).toInt();
    return values;
}

// A quiz of two one-answer questions in the header form.
QString WriteQuiz(const QTemporaryDir& folder, const QString& name) {
    const std::string record = "v1.1:1:3:0:1\r\n";
    std::string bytes = "2\r\n";
    for (const char* text : {"一問目", "二問目"})
        bytes += record + ToCp932(QString::fromUtf8(text)) + "\r\n" + ToCp932(QStringLiteral("正")) +
                 "\r\n\r\n" + ToCp932(QStringLiteral("誤")) + "\r\n\r\nC\r\n\r\n";
    QFile file(folder.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return file.fileName();
}

// Accepts the setup dialog with Enter when it opens.
void AcceptSetupDialogWithEnter() {
    WhenModal([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Return); });
}

QString Heading(const CKEPIROApp& app) {
    return app.m_pView->m_pQuestionText->text().section(u'\n', 0, 0);
}

QStringList RecentMenuTexts(const CMainFrame& frame) {
    QStringList texts;
    for (QAction* action : frame.m_recentActions)
        texts << action->text();
    return texts;
}

} // namespace

TEST(MainFramePlacement, RestoredFromTheProfileWithItsArithmetic) {
    const struct {
        const char* name;
        bool stored;
        int left, top, right, bottom;
        FrameCreateParams expected;
    } cases[] = {
        {"no entries", false, 0, 0, 0, 0, {0, 0, 1010, 740}},
        {"left just off the edge", true, -1, 0, 1005, 731, {0, 0, 1006, 731}},
        {"right and bottom are the size", true, 300, 200, 1303, 935, {300, 200, 1303, 935}},
        {"top off the edge", true, 20, -15, 800, 600, {20, 0, 800, 615}},
    };
    CMainFrame frame(nullptr);
    for (const auto& c : cases) {
        ClearProfile();
        if (c.stored)
            WritePlacement(c.left, c.top, c.right, c.bottom);
        FrameCreateParams cs;
        ASSERT_TRUE(frame.PreCreateWindow(cs));
        EXPECT_EQ(QList<int>({cs.x, cs.y, cs.cx, cs.cy}),
                  QList<int>({c.expected.x, c.expected.y, c.expected.cx, c.expected.cy}))
            << c.name;
    }
}

TEST(MainFramePlacement, SavedFromTheViewRectangle) {
    ClearProfile();
    CKEPIROView::SaveWindowPlacement(QRect(QPoint(6, 48), QPoint(1003, 735)));
    EXPECT_EQ(ReadPlacement(), QList<int>({1, 6, 1003, 731}));
}

TEST(RecentFiles, KeepsFourMostRecentFirstInTheProfile) {
    ClearProfile();
    RecentFileList list;
    for (const char* path : {"/q/a.kwz", "/q/b.kwz", "/q/c.kwz", "/q/d.kwz", "/q/e.kwz", "/q/c.kwz"})
        list.Add(QString::fromLatin1(path));
    const QStringList expected = {"/q/c.kwz", "/q/e.kwz", "/q/d.kwz", "/q/b.kwz"};
    EXPECT_EQ(list.Files(), expected);
    list.WriteList();
    EXPECT_EQ(OpenProfile()->value(QStringLiteral("Recent File List/File1")).toString(),
              QStringLiteral("/q/c.kwz"));
    RecentFileList read;
    read.ReadList();
    EXPECT_EQ(read.Files(), expected);

    read.Remove(1);
    read.WriteList();
    RecentFileList after;
    after.ReadList();
    EXPECT_EQ(after.Files(), QStringList({"/q/c.kwz", "/q/d.kwz", "/q/b.kwz"}));
    EXPECT_FALSE(OpenProfile()->contains(QStringLiteral("Recent File List/File4")));
}

class Application : public ::testing::Test {
protected:
    void SetUp() override {
        ClearProfile();
        app.m_bUpdateShellDatabases = false;
    }
    QTemporaryDir folder;
    CKEPIROApp app;
};

TEST_F(Application, StartsUntitledAtTheStoredPlaceShrunkToTheForm) {
    WritePlacement(40, 30, 1600, 1200);
    ASSERT_TRUE(app.InitInstance({QStringLiteral("kepiro")}));
    EXPECT_EQ(app.m_pMainWnd->windowTitle(), QStringLiteral("無題 - KEPIRO"));
    EXPECT_TRUE(app.m_pMainWnd->isVisible());
    EXPECT_EQ(app.m_pMainWnd->pos(), QPoint(40, 30));
    EXPECT_EQ(app.m_pView->size(), app.m_pView->FormSize());
    EXPECT_EQ(app.m_pView->m_pQuestionText->text(), QString());
    EXPECT_TRUE(app.m_pMainWnd->m_pRecentPlaceholder->isVisible());
    EXPECT_TRUE(RecentMenuTexts(*app.m_pMainWnd).isEmpty());
}

TEST_F(Application, SmallStoredWindowGrowsTowardsTheFormWithinTheScreen) {
    WritePlacement(0, 0, 300, 200);
    ASSERT_TRUE(app.InitInstance({QStringLiteral("kepiro")}));
    const QSize room = app.m_pMainWnd->screen()->availableGeometry().size();
    const QSize chrome = app.m_pMainWnd->size() - app.m_pView->size();
    EXPECT_EQ(app.m_pMainWnd->size(), (app.m_pView->FormSize() + chrome).boundedTo(room));
}

TEST_F(Application, OpensTheQuizNamedOnTheCommandLine) {
    const QString quiz = WriteQuiz(folder, QStringLiteral("quiz.kwz"));
    AcceptSetupDialogWithEnter();
    MessageBoxRecorder boxes;
    ASSERT_TRUE(app.InitInstance({QStringLiteral("kepiro"), quiz}));
    EXPECT_EQ(app.m_pMainWnd->windowTitle(), QStringLiteral("quiz.kwz - KEPIRO"));
    EXPECT_EQ(app.m_pDocument->m_bLoaded, 1);
    EXPECT_EQ(Heading(app), QStringLiteral("第1問"));
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("quiz.hkd"))));
    EXPECT_EQ(OpenProfile()->value(QStringLiteral("Recent File List/File1")).toString(), quiz);
    EXPECT_EQ(RecentMenuTexts(*app.m_pMainWnd), QStringList{QStringLiteral("&1 ") + quiz});
    EXPECT_FALSE(app.m_pMainWnd->m_pRecentPlaceholder->isVisible());
}

TEST_F(Application, StartFailsWhenTheNamedQuizCannotBeRead) {
    MessageBoxRecorder boxes;
    EXPECT_FALSE(
        app.InitInstance({QStringLiteral("kepiro"), folder.filePath(QStringLiteral("missing.kwz"))}));
    EXPECT_EQ(boxes.texts.size(), 1);
}

TEST_F(Application, NewDocumentKeepsTheQuizAndItsRecordAndSaveWritesNothing) {
    const QString quiz = WriteQuiz(folder, QStringLiteral("quiz.kwz"));
    QFile original(quiz);
    original.open(QIODevice::ReadOnly);
    const QByteArray bytes = original.readAll();
    original.close();
    AcceptSetupDialogWithEnter();
    MessageBoxRecorder boxes;
    ASSERT_TRUE(app.InitInstance({QStringLiteral("kepiro"), quiz}));
    const std::string record = app.m_pDocument->m_strRecordFile;
    app.m_pView->OnAnswer();
    ASSERT_EQ(Heading(app), QStringLiteral("第2問"));

    app.m_pMainWnd->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(app.m_pMainWnd));
    QTest::keyClick(app.m_pMainWnd, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(app.m_pMainWnd->windowTitle(), QStringLiteral("無題 - KEPIRO"));
    EXPECT_EQ(app.m_pDocument->m_bLoaded, 1);
    EXPECT_EQ(Heading(app), QStringLiteral("第1問"));
    EXPECT_EQ(app.m_pDocument->m_strRecordFile, record);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList({"quiz.hkd", "quiz.kwz"}));

    QTest::keyClick(app.m_pMainWnd, Qt::Key_S, Qt::ControlModifier);
    original.open(QIODevice::ReadOnly);
    EXPECT_EQ(original.readAll(), bytes);
}

TEST_F(Application, DroppedQuizFileOpens) {
    const QString quiz = WriteQuiz(folder, QStringLiteral("dropped.kwz"));
    ASSERT_TRUE(app.InitInstance({QStringLiteral("kepiro")}));
    MessageBoxRecorder boxes;
    AcceptSetupDialogWithEnter();

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(quiz)});
    const QPoint at = app.m_pView->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(app.m_pMainWnd, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(app.m_pMainWnd, &drop);

    ASSERT_TRUE(WaitFor([&] { return app.m_pDocument->m_bLoaded == 1; }));
    EXPECT_EQ(app.m_pMainWnd->windowTitle(), QStringLiteral("dropped.kwz - KEPIRO"));
    EXPECT_EQ(Heading(app), QStringLiteral("第1問"));
}

TEST_F(Application, RecentEntryThatNoLongerOpensLeavesTheList) {
    const QString kept = WriteQuiz(folder, QStringLiteral("kept.kwz"));
    const QString gone = folder.filePath(QStringLiteral("gone.kwz"));
    app.m_recentFiles.Add(kept);
    app.m_recentFiles.Add(gone);
    app.m_recentFiles.WriteList();
    ASSERT_TRUE(app.InitInstance({QStringLiteral("kepiro")}));
    ASSERT_EQ(RecentMenuTexts(*app.m_pMainWnd).size(), 2);

    MessageBoxRecorder boxes;
    app.m_pMainWnd->m_recentActions[0]->trigger();
    EXPECT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(RecentMenuTexts(*app.m_pMainWnd), QStringList{QStringLiteral("&1 ") + kept});
    RecentFileList stored;
    stored.ReadList();
    EXPECT_EQ(stored.Files(), QStringList{kept});
}

TEST_F(Application, QuittingWritesThePlacementAndClosesTheWindow) {
    ASSERT_TRUE(app.InitInstance({QStringLiteral("kepiro")}));
    CKEPIROView* view = app.m_pView;
    const QRect onScreen(view->mapToGlobal(QPoint(0, 0)), view->size());
    const QList<int> expected = {onScreen.left() - 5, onScreen.top() - 42,
                                 onScreen.left() + onScreen.width() - 1,
                                 onScreen.top() + onScreen.height() - 5};
    view->QuitProgram();
    EXPECT_EQ(view->m_pPlayer, nullptr);
    EXPECT_EQ(ReadPlacement(), expected);
    ClearProfile();
    ASSERT_TRUE(WaitFor([&] { return !app.m_pMainWnd->isVisible(); }));
    EXPECT_EQ(ReadPlacement(), expected) << "the close writes the same entries again";
}

TEST(ShellFileTypes, DesktopEntryNamesTheProgramAndIsWrittenOnlyWhenChanged) {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString program = QStringLiteral("/opt/my quiz/kepiro");
    ASSERT_TRUE(RegisterShellFileTypes(program, false));
    QFile entry(data + QStringLiteral("/applications/kepiro.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QByteArray text = entry.readAll();
    entry.close();
    EXPECT_TRUE(text.contains("Exec=\"/opt/my quiz/kepiro\" %f\n"));
    EXPECT_TRUE(text.contains("MimeType=application/x-kepiro-document;\n"));
    QFile mime(data + QStringLiteral("/mime/packages/kepiro.xml"));
    ASSERT_TRUE(mime.open(QIODevice::ReadOnly));
    EXPECT_TRUE(mime.readAll().contains("<glob pattern=\"*.kwz\"/>"));
    EXPECT_TRUE(QFile::exists(data + QStringLiteral("/icons/hicolor/256x256/apps/kepiro.png")));

    EXPECT_FALSE(RegisterShellFileTypes(program, false));
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nExec=/elsewhere/kepiro\n");
    entry.close();
    EXPECT_TRUE(RegisterShellFileTypes(program, false));
}

TEST(ShellFileTypes, ExecLineQuotesThePath) {
    const struct {
        QString program;
        QString line;
    } cases[] = {
        {QStringLiteral("/usr/bin/kepiro"), QStringLiteral("\"/usr/bin/kepiro\" %f")},
        {QStringLiteral("/a b/kepiro"), QStringLiteral("\"/a b/kepiro\" %f")},
        {QStringLiteral("/a\"b/$x`y/kepiro"), QStringLiteral("\"/a\\\\\"b/\\\\$x\\\\`y/kepiro\" %f")},
        {QStringLiteral("/a\\b/kepiro"), QStringLiteral("\"/a\\\\\\\\b/kepiro\" %f")},
        {QStringLiteral("/100%/kepiro"), QStringLiteral("\"/100%%/kepiro\" %f")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DesktopExecLine(c.program), c.line) << c.program.toStdString();
}
