#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class UpDownControl;

// Results of a range-mode drill: the learner picks a drill position by its number and sees
// whether it was answered right. Ends with 1 ("復習"), 2 ("問題を開く" or Escape) or 16 ("終了").
class CResultPickDlg : public QDialog {
    Q_OBJECT
public:
    // Without a parent, the active window owns the dialog.
    explicit CResultPickDlg(QWidget* parent = nullptr);
    ~CResultPickDlg() override;

    int DoModal() { return exec(); }
    int exec() override;
    void reject() override;

    void OnChangeQuestionNumber();
    void OnShowAnswer();
    void OnQuit();

    int m_bSkipChange = 1;
    QLabel* m_stResult;
    UpDownControl* m_spinNumber;
    int m_nQuestionNo = 0;
    QString m_strTimeScore;

private:
    void OnInitDialog();
    void DoDataExchange(bool bSaveAndValidate);
    void ShowMark(int nPos);

    QLineEdit* m_pNumber;
    QLabel* m_pTimeScore;
    QPushButton* m_pShowAnswer;
};
