#pragma once

#include <QWidget>

// The form of the question screen. (Skeleton: the drill adds the controls and handlers.)
class CKEPIROView : public QWidget {
    Q_OBJECT
public:
    explicit CKEPIROView(QWidget* parent = nullptr);
    ~CKEPIROView() override;

    // The program's current view, set by the constructor.
    static CKEPIROView* s_pCurrent;

    void QuitProgram();
};
