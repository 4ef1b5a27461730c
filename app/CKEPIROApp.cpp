#include "app/CKEPIROApp.h"

#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/ProgramIcon.h"
#include "app/ShellAssociation.h"
#include "drill/CKEPIROView.h"
#include "quiz/CKEPIRODoc.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

CKEPIROApp* CKEPIROApp::s_pApp = nullptr;

CKEPIROApp::CKEPIROApp() { s_pApp = this; }

CKEPIROApp::~CKEPIROApp() {
    if (s_pApp == this)
        s_pApp = nullptr;
    // The view goes before the document it shows.
    m_frame.reset();
    m_document.reset();
}

int CKEPIROApp::Run(int argc, char** argv) {
    QApplication app(argc, argv);
    // Qt's own dialogs (file selection) speak the program's language.
    QTranslator translator;
    if (translator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);
    QApplication::setWindowIcon(ProgramIcon());
    if (!InitInstance(QApplication::arguments()))
        return 1;
    const int code = QApplication::exec();
    m_frame.reset();
    return code;
}

bool CKEPIROApp::InitInstance(const QStringList& arguments) {
    m_recentFiles.ReadList();
    m_document = std::make_unique<CKEPIRODoc>();
    m_pDocument = m_document.get();
    RegisterShellFileTypes(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(),
                           m_bUpdateShellDatabases);

    QString fileName;
    for (int i = 1; i < arguments.size(); ++i) {
        if (!arguments[i].startsWith(u'-')) {
            fileName = arguments[i];
            break;
        }
    }
    CreateMainFrame();
    if (fileName.isEmpty())
        OnFileNew();
    else if (!OpenDocumentFile(fileName))
        return false;

    m_pMainWnd->show();
    return true;
}

void CKEPIROApp::CreateMainFrame() {
    m_frame = std::make_unique<CMainFrame>(this);
    m_pMainWnd = m_frame.get();
    FrameCreateParams cs;
    m_pMainWnd->PreCreateWindow(cs);
    m_pMainWnd->move(cs.x, cs.y);
    m_pMainWnd->resize(cs.cx, cs.cy);
    m_pView = new CKEPIROView(m_pMainWnd);
    m_pView->m_pDocument = m_pDocument;
    m_pMainWnd->setCentralWidget(m_pView);
    m_pMainWnd->SetRecentFiles(m_recentFiles.Files());
}

bool CKEPIROApp::OpenDocumentFile(const QString& path) {
    // The document reports a file it cannot read and then keeps what it held.
    if (!m_pDocument->OnOpenDocument(QFileInfo(path).absoluteFilePath()))
        return false;
    AddToRecentFileList(m_pDocument->GetPathName());
    m_pMainWnd->OnUpdateFrameTitle(m_pDocument->GetTitle());
    m_pView->OnInitialUpdate();
    return true;
}

void CKEPIROApp::OnFileNew() {
    m_pDocument->OnNewDocument();
    m_pMainWnd->OnUpdateFrameTitle(m_pDocument->GetTitle());
    m_pView->OnInitialUpdate();
}

void CKEPIROApp::OnFileOpen() {
    const QString path = QFileDialog::getOpenFileName(
        m_pMainWnd, QString(), QString(), QStringLiteral("KEPIRO ﾌｧｲﾙ (*.kwz);;すべてのﾌｧｲﾙ (*)"));
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

void CKEPIROApp::OnOpenRecentFile(int index) {
    if (index < 0 || index >= m_recentFiles.Files().size())
        return;
    const QString path = m_recentFiles.Files()[index];
    // An entry whose file no longer opens leaves the list.
    if (!OpenDocumentFile(path)) {
        m_recentFiles.Remove(index);
        m_recentFiles.WriteList();
        m_pMainWnd->SetRecentFiles(m_recentFiles.Files());
    }
}

void CKEPIROApp::OnAppAbout() {
    CAboutDlg dlg(m_pMainWnd);
    dlg.DoModal();
}

void CKEPIROApp::AddToRecentFileList(const QString& path) {
    m_recentFiles.Add(path);
    m_recentFiles.WriteList();
    m_pMainWnd->SetRecentFiles(m_recentFiles.Files());
}
