#include "results/CResultButtonsDlg.h"

#include "platform/DialogUnits.h"
#include "quiz/CKEPIRODoc.h"
#include "results/CAnswerExplainDlg.h"
#include "results/DrillResult.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <ctime>

CResultButtonsDlg::CResultButtonsDlg(QWidget* parent)
    : QDialog(parent ? parent : QApplication::activeWindow(),
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setFont(DialogFont(9));
    DialogUnits du(font());
    // The question buttons are placed in pixels; the client area keeps room for all ten columns
    // and five rows of them whatever the dialog font's size.
    QRect last = QuestionButtonRect(kMaxQuestionButtons - 1);
    setFixedSize(std::max(du.X(291), last.right() + 1 + 5), std::max(du.Y(189), last.bottom() + 1 + 5));

    auto* open = new QPushButton(QStringLiteral("問題を開く"), this);
    open->setObjectName(QStringLiteral("2"));
    open->setGeometry(du.Rect(234, 170, 50, 14));
    auto* review = new QPushButton(QStringLiteral("復習"), this);
    review->setObjectName(QStringLiteral("1"));
    review->setGeometry(du.Rect(163, 170, 50, 14));
    m_pTimeScore = new QLabel(this);
    m_pTimeScore->setObjectName(QStringLiteral("1050"));
    m_pTimeScore->setGeometry(du.Rect(23, 173, 48, 11));
    m_pTimeScore->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* quit = new QPushButton(QStringLiteral("終了"), this);
    quit->setObjectName(QStringLiteral("3"));
    quit->setGeometry(du.Rect(92, 170, 50, 14));

    connect(open, &QPushButton::clicked, this, &CResultButtonsDlg::reject);
    connect(review, &QPushButton::clicked, this, &QDialog::accept);
    connect(quit, &QPushButton::clicked, this, &CResultButtonsDlg::OnQuit);
}

CResultButtonsDlg::~CResultButtonsDlg() = default;

QRect CResultButtonsDlg::QuestionButtonRect(int k) {
    int row = k / 10;
    int column = k % 10;
    return QRect(QPoint(5 + 50 * column, 5 + 50 * row), QPoint(50 + 50 * column - 1, 50 + 50 * row - 1));
}

int CResultButtonsDlg::exec() {
    OnInitDialog();
    return QDialog::exec();
}

void CResultButtonsDlg::OnInitDialog() {
    CKEPIRODoc* doc = CKEPIRODoc::s_pCurrent;
    if (!doc)
        return;
    int n = std::min({doc->m_nDrillCount, static_cast<int>(doc->m_pCorrect.size()), kMaxQuestionButtons});
    for (int k = 0; k < n; ++k) {
        QString caption = QString::asprintf("%2d:", k + 1) +
                          (doc->m_pCorrect[k] == 1 ? QStringLiteral("○") : QStringLiteral("×"));
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QString::number(kFirstQuestionId + k));
        button->setGeometry(QuestionButtonRect(k));
        button->show();
        connect(button, &QPushButton::clicked, this, [this, k] { OnQuestionButton(k); });
    }

    doc->SaveAnswerRecord();
    setWindowTitle(QStringLiteral("見たい問題のボタンを押してください"));

    int score = 0;
    m_strTimeScore = DrillTimeScore(*doc, std::time(nullptr), &score);
    DoDataExchange(false);
    PlayFanfareIfPerfect(*doc, score);
}

void CResultButtonsDlg::DoDataExchange(bool bSaveAndValidate) {
    if (bSaveAndValidate)
        m_strTimeScore = m_pTimeScore->text();
    else
        m_pTimeScore->setText(m_strTimeScore);
}

void CResultButtonsDlg::reject() {
    done(2);
}

void CResultButtonsDlg::OnQuit() {
    done(16);
}

void CResultButtonsDlg::OnQuestionButton(int k) {
    CAnswerExplainDlg dlg(k, this);
    dlg.DoModal();
}
