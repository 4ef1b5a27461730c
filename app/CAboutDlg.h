#pragma once

#include <QDialog>

// The About box: the program icon, the version line and OK. OK and Escape close it.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    int DoModal() { return exec(); }
};
