#include "results/CResultPickDlg.h"

#include "platform/DialogUnits.h"
#include "quiz/CKEPIRODoc.h"
#include "quiz/UpDownControl.h"
#include "results/CAnswerExplainDlg.h"
#include "results/DrillResult.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <ctime>

namespace {

// Drill positions with an answer to show: none when the drill was stopped before its first answer.
int AnsweredPositions(const CKEPIRODoc* doc) {
    if (!doc)
        return 0;
    return std::clamp(doc->m_nDrillCount, 0, static_cast<int>(doc->m_pCorrect.size()));
}

QPushButton* PushButton(QWidget* parent, int id, const QString& text, const QRect& rect) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::number(id));
    button->setGeometry(rect);
    return button;
}

QLabel* Static(QWidget* parent, const QString& text, const QRect& rect) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(rect);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

CResultPickDlg::CResultPickDlg(QWidget* parent)
    : QDialog(parent ? parent : QApplication::activeWindow(),
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(QStringLiteral("ﾀﾞｲｱﾛｸﾞ"));
    setFont(DialogFont(18));
    DialogUnits du(font());
    setFixedSize(du.X(111), du.Y(55));

    m_pNumber = new QLineEdit(this);
    m_pNumber->setObjectName(QStringLiteral("1039"));
    m_pNumber->setGeometry(du.Rect(55, 7, 30, 12));
    m_pNumber->setReadOnly(true);
    m_spinNumber = new UpDownControl(this);
    m_spinNumber->setObjectName(QStringLiteral("1038"));
    m_spinNumber->setGeometry(du.Rect(95, 5, 10, 14));
    m_spinNumber->SetBuddy(m_pNumber);
    auto* open = PushButton(this, 2, QStringLiteral("問題を開く"), du.Rect(53, 33, 38, 10));
    Static(this, QStringLiteral("題"), du.Rect(45, 9, 8, 8));
    Static(this, QStringLiteral("問"), du.Rect(87, 9, 8, 8));
    m_stResult = Static(this, QString(), du.Rect(5, 7, 35, 12));
    m_stResult->setObjectName(QStringLiteral("1041"));
    m_stResult->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_pShowAnswer = PushButton(this, 1040, QStringLiteral("正解と解説"), du.Rect(5, 22, 38, 10));
    auto* review = PushButton(this, 1, QStringLiteral("復習"), du.Rect(53, 22, 38, 10));
    // Enter in the number field is the dialog's OK, "復習".
    review->setDefault(true);
    m_pTimeScore = Static(this, QString(), du.Rect(5, 42, 40, 10));
    m_pTimeScore->setObjectName(QStringLiteral("1049"));
    auto* quit = PushButton(this, 3, QStringLiteral("終了"), du.Rect(53, 44, 38, 10));

    connect(m_pNumber, &QLineEdit::textChanged, this, &CResultPickDlg::OnChangeQuestionNumber);
    connect(m_pShowAnswer, &QPushButton::clicked, this, &CResultPickDlg::OnShowAnswer);
    connect(open, &QPushButton::clicked, this, &CResultPickDlg::reject);
    connect(review, &QPushButton::clicked, this, &QDialog::accept);
    connect(quit, &QPushButton::clicked, this, &CResultPickDlg::OnQuit);
}

CResultPickDlg::~CResultPickDlg() = default;

int CResultPickDlg::exec() {
    OnInitDialog();
    return QDialog::exec();
}

void CResultPickDlg::OnInitDialog() {
    DoDataExchange(false);
    CKEPIRODoc* doc = CKEPIRODoc::s_pCurrent;
    if (!doc)
        return;
    int n = AnsweredPositions(doc);

    m_spinNumber->SetRange(1, n);
    m_spinNumber->SetPos(1);
    if (n > 0) {
        ShowMark(0);
    } else {
        // Nothing was answered: no mark, nothing to open, nothing to pick.
        m_stResult->clear();
        m_pShowAnswer->setEnabled(false);
        m_spinNumber->setEnabled(false);
        m_pNumber->setEnabled(false);
    }

    doc->SaveAnswerRecord();
    setWindowTitle(QStringLiteral("見たい問題を選択してください"));

    int score = 0;
    m_strTimeScore = DrillTimeScore(*doc, std::time(nullptr), &score);
    m_pTimeScore->setText(m_strTimeScore);
    PlayFanfareIfPerfect(*doc, score);
}

void CResultPickDlg::DoDataExchange(bool bSaveAndValidate) {
    if (bSaveAndValidate) {
        m_nQuestionNo = m_pNumber->text().toInt();
        m_strTimeScore = m_pTimeScore->text();
    } else {
        m_pNumber->setText(QString::number(m_nQuestionNo));
        m_pTimeScore->setText(m_strTimeScore);
    }
}

void CResultPickDlg::ShowMark(int nPos) {
    const CKEPIRODoc* doc = CKEPIRODoc::s_pCurrent;
    if (!doc || nPos < 0 || nPos >= AnsweredPositions(doc))
        return;
    int correct = doc->m_pCorrect[nPos];
    if (correct == 1)
        m_stResult->setText(QStringLiteral("正解"));
    else if (correct == 0)
        m_stResult->setText(QStringLiteral("不正解"));
}

void CResultPickDlg::OnChangeQuestionNumber() {
    // The first change is the number field receiving its initial value.
    if (m_bSkipChange) {
        m_bSkipChange = 0;
        return;
    }
    ShowMark(m_spinNumber->GetPos() - 1);
}

void CResultPickDlg::OnShowAnswer() {
    int k = m_spinNumber->GetPos();
    if (k < 1 || k > AnsweredPositions(CKEPIRODoc::s_pCurrent))
        return;
    CAnswerExplainDlg dlg(k - 1, this);
    dlg.DoModal();
}

void CResultPickDlg::reject() {
    done(2);
}

void CResultPickDlg::OnQuit() {
    done(16);
}
