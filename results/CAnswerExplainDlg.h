#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// Shows the question of one drill position with its correct answer and its explanation, and
// prints them on one page. It changes nothing.
class CAnswerExplainDlg : public QDialog {
    Q_OBJECT
public:
    // nPos: the 0-based drill position. Without a parent, the active window owns the dialog.
    explicit CAnswerExplainDlg(int nPos, QWidget* parent = nullptr);
    ~CAnswerExplainDlg() override;

    int DoModal() { return exec(); }
    int exec() override;

    // Escape and "印刷" both print; only "戻る" closes.
    void reject() override;
    void OnPrint();

    int m_nPos;
    QString m_strQuestionText;
    QString m_strAnswerText;
    QString m_strExplainText;

private:
    void OnInitDialog();
    void DoDataExchange(bool bSaveAndValidate);

    QLabel* m_pQuestion;
    QLabel* m_pAnswer;
    QPlainTextEdit* m_pExplain;
};
