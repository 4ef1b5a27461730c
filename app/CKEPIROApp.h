#pragma once

#include "app/RecentFileList.h"

#include <QString>
#include <QStringList>
#include <memory>

class CKEPIRODoc;
class CKEPIROView;
class CMainFrame;

// The quiz program: one document, one main frame, one question screen for the whole run.
class CKEPIROApp {
public:
    CKEPIROApp();
    ~CKEPIROApp();
    CKEPIROApp(const CKEPIROApp&) = delete;
    CKEPIROApp& operator=(const CKEPIROApp&) = delete;

    // Runs the program with its command line: makes the widget application, starts up and runs
    // the event loop. Returns the process exit code (1 when start-up fails).
    int Run(int argc, char** argv);

    // Start-up inside a running widget application. `arguments` is the command line, program name
    // first; its first argument that is not a switch names a quiz file to open.
    bool InitInstance(const QStringList& arguments);

    // The framework's document commands.
    bool OpenDocumentFile(const QString& path);
    void OnFileNew();
    void OnFileOpen();
    // The quiz file is only ever read: saving it does nothing.
    void OnFileSave() {}
    void OnOpenRecentFile(int index);
    void OnAppAbout();
    // Puts a quiz file at the top of the File menu's list and stores the list.
    void AddToRecentFileList(const QString& path);

    // The running program, set by the constructor.
    static CKEPIROApp* s_pApp;

    CKEPIRODoc* m_pDocument = nullptr;
    CMainFrame* m_pMainWnd = nullptr;
    CKEPIROView* m_pView = nullptr;
    RecentFileList m_recentFiles;
    // Start-up refreshes the desktop's caches after writing the file type; tests turn it off.
    bool m_bUpdateShellDatabases = true;

private:
    void CreateMainFrame();

    std::unique_ptr<CKEPIRODoc> m_document;
    std::unique_ptr<CMainFrame> m_frame;
};
