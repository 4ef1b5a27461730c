#pragma once

#include <QList>
#include <QMainWindow>
#include <QStringList>

class CKEPIROApp;
class CKEPIROView;
class QAction;
class QMenu;

// Where and how large the main window is created: the frame's creation parameters.
struct FrameCreateParams {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

// The main window: menu 128, accelerator table 128, the remembered placement, dropped files. Its
// central widget is the question screen.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(CKEPIROApp* app);
    ~CMainFrame() override;

    // Takes the placement from the profile's section "Horvantel".
    bool PreCreateWindow(FrameCreateParams& cs);

    CKEPIROView* GetActiveView() const;
    // "name - KEPIRO".
    void OnUpdateFrameTitle(const QString& documentName);
    // The recent files between the two separators of the File menu.
    void SetRecentFiles(const QStringList& files);

    void OnCalculator();

    QMenu* m_pFileMenu;
    QAction* m_pRecentPlaceholder;
    QList<QAction*> m_recentActions;
    QAction* m_pRecentEnd;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void LoadMenu();
    void LoadAccelerators();

    CKEPIROApp* m_pApp;
};
