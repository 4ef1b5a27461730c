#pragma once

#include <QDialog>
#include <QString>

class QLabel;

// Results of a random-mode drill: one button per drill position, the time and the score.
// Ends with 1 ("復習"), 2 ("問題を開く" or Escape) or 16 ("終了").
class CResultButtonsDlg : public QDialog {
    Q_OBJECT
public:
    // Without a parent, the active window owns the dialog.
    explicit CResultButtonsDlg(QWidget* parent = nullptr);
    ~CResultButtonsDlg() override;

    int DoModal() { return exec(); }
    int exec() override;
    void reject() override;

    void OnQuit();
    void OnQuestionButton(int k);

    // Command identifier of the button of drill position 0; positions 0 to 49 use 1021 to 1070.
    static constexpr int kFirstQuestionId = 1021;
    static constexpr int kMaxQuestionButtons = 50;
    // Client pixels of the button of drill position k: ten to a row, 45 pixels square.
    static QRect QuestionButtonRect(int k);

    QString m_strTimeScore;

private:
    void OnInitDialog();
    void DoDataExchange(bool bSaveAndValidate);

    QLabel* m_pTimeScore;
};
