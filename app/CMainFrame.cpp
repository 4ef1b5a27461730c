#include "app/CMainFrame.h"

#include "app/CKEPIROApp.h"
#include "app/CalculatorLauncher.h"
#include "app/ProgramIcon.h"
#include "drill/CKEPIROView.h"
#include "platform/Profile.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

namespace {

// The first local file among dropped data.
QString DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

} // namespace

CMainFrame::CMainFrame(CKEPIROApp* app) : m_pApp(app) {
    setWindowIcon(ProgramIcon());
    LoadMenu();
    LoadAccelerators();
    setAcceptDrops(true);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::LoadMenu() {
    m_pFileMenu = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    connect(m_pFileMenu->addAction(QStringLiteral("開く(&O)...\tCtrl+O")), &QAction::triggered, this,
            [this] { m_pApp->OnFileOpen(); });
    m_pFileMenu->addSeparator();
    m_pRecentPlaceholder = m_pFileMenu->addAction(QStringLiteral("最近使ったﾌｧｲﾙ"));
    m_pRecentPlaceholder->setEnabled(false);
    m_pRecentEnd = m_pFileMenu->addSeparator();
    connect(m_pFileMenu->addAction(QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)")), &QAction::triggered, this,
            &QWidget::close);

    QMenu* system = menuBar()->addMenu(QStringLiteral("システム(&S)"));
    connect(system->addAction(QStringLiteral("電卓")), &QAction::triggered, this, &CMainFrame::OnCalculator);

    // No help file belongs to the program: the help commands show nothing.
    QMenu* help = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->addAction(QStringLiteral("ﾄﾋﾟｯｸの検索(&H)"));
    help->addSeparator();
    connect(help->addAction(QStringLiteral("KEPIRO のﾊﾞｰｼﾞｮﾝ情報(&A)...")), &QAction::triggered, this,
            [this] { m_pApp->OnAppAbout(); });
}

void CMainFrame::LoadAccelerators() {
    auto accelerator = [this](std::initializer_list<QKeySequence> keys, auto handler) {
        auto* action = new QAction(this);
        action->setShortcuts(QList<QKeySequence>(keys));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, handler);
        addAction(action);
    };
    auto nothing = [] {};
    accelerator({QKeySequence(Qt::CTRL | Qt::Key_N)}, [this] { m_pApp->OnFileNew(); });
    accelerator({QKeySequence(Qt::CTRL | Qt::Key_O)}, [this] { m_pApp->OnFileOpen(); });
    accelerator({QKeySequence(Qt::CTRL | Qt::Key_S)}, [this] { m_pApp->OnFileSave(); });
    // Undo, cut, copy and paste have no handler anywhere, and the frame has a single pane; help
    // needs a help file the program does not have. Their keys are taken and do nothing.
    accelerator({QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)}, nothing);
    accelerator({QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)}, nothing);
    accelerator({QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}, nothing);
    accelerator({QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}, nothing);
    accelerator({QKeySequence(Qt::Key_F6)}, nothing);
    accelerator({QKeySequence(Qt::SHIFT | Qt::Key_F6)}, nothing);
    accelerator({QKeySequence(Qt::SHIFT | Qt::Key_F1)}, nothing);
    accelerator({QKeySequence(Qt::Key_F1)}, nothing);
}

bool CMainFrame::PreCreateWindow(FrameCreateParams& cs) {
    auto profile = OpenProfile();
    profile->beginGroup(QStringLiteral("Horvantel"));
    const int left = profile->value(QStringLiteral("left"), 0).toInt();
    const int top = profile->value(QStringLiteral("top"), 0).toInt();
    const int right = profile->value(QStringLiteral("right"), 1010).toInt();
    const int bottom = profile->value(QStringLiteral("bottom"), 740).toInt();
    // A window that stood partly off the left or top edge comes back at the edge, larger by what
    // stood outside. The stored right and bottom are taken as the width and the height.
    cs.x = left < 0 ? 0 : left;
    cs.y = top < 0 ? 0 : top;
    cs.cx = right + (left < 0 ? -left : 0);
    cs.cy = bottom + (top < 0 ? -top : 0);
    return true;
}

CKEPIROView* CMainFrame::GetActiveView() const {
    return qobject_cast<CKEPIROView*>(centralWidget());
}

void CMainFrame::OnUpdateFrameTitle(const QString& documentName) {
    setWindowTitle(documentName + QStringLiteral(" - KEPIRO"));
}

void CMainFrame::SetRecentFiles(const QStringList& files) {
    qDeleteAll(m_recentActions);
    m_recentActions.clear();
    m_pRecentPlaceholder->setVisible(files.isEmpty());
    for (int i = 0; i < files.size(); ++i) {
        QString shown = files[i];
        shown.replace(u'&', QStringLiteral("&&"));
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown), m_pFileMenu);
        connect(action, &QAction::triggered, this, [this, i] { m_pApp->OnOpenRecentFile(i); });
        m_pFileMenu->insertAction(m_pRecentEnd, action);
        m_recentActions << action;
    }
}

void CMainFrame::OnCalculator() {
    LaunchCalculator();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        if (CKEPIROView* view = GetActiveView())
            view->OnDestroy();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // The drop returns to the source before the quiz opens with its setup dialog.
    QMetaObject::invokeMethod(
        this, [this, path] { m_pApp->OpenDocumentFile(path); }, Qt::QueuedConnection);
}
