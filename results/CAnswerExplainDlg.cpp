#include "results/CAnswerExplainDlg.h"

#include "platform/DialogUnits.h"
#include "platform/Texts.h"
#include "quiz/CKEPIRODoc.h"
#include "results/PrintLayout.h"

#include <QAbstractPrintDialog>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace {

// The question shown at a drill position, through the drill's order; null when there is none.
const QuizQuestion* QuestionAt(int nPos) {
    const CKEPIRODoc* doc = CKEPIRODoc::s_pCurrent;
    if (!doc || nPos < 0 || nPos >= static_cast<int>(doc->m_pOrder.size()))
        return nullptr;
    int index = doc->m_pOrder[nPos];
    if (index < 0 || index >= static_cast<int>(doc->m_pQuestions.size()))
        return nullptr;
    return &doc->m_pQuestions[index];
}

QLabel* SunkenStatic(QWidget* parent, const QRect& rect) {
    auto* label = new QLabel(parent);
    label->setGeometry(rect);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

CAnswerExplainDlg::CAnswerExplainDlg(int nPos, QWidget* parent)
    : QDialog(parent ? parent : QApplication::activeWindow(),
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_nPos(nPos) {
    setWindowTitle(QStringLiteral("ﾀﾞｲｱﾛｸﾞ"));
    setFont(DialogFont(18));
    DialogUnits du(font());
    setFixedSize(du.X(311), du.Y(185));

    auto* back = new QPushButton(QStringLiteral("戻る"), this);
    back->setObjectName(QStringLiteral("1"));
    back->setGeometry(du.Rect(267, 170, 19, 14));
    m_pQuestion = SunkenStatic(this, du.Rect(5, 2, 298, 90));
    m_pQuestion->setObjectName(QStringLiteral("1005"));
    m_pAnswer = SunkenStatic(this, du.Rect(20, 97, 283, 20));
    m_pAnswer->setObjectName(QStringLiteral("1036"));
    auto* answerLabel = new QLabel(QStringLiteral("正解"), this);
    answerLabel->setObjectName(QStringLiteral("1034"));
    answerLabel->setGeometry(du.Rect(2, 102, 16, 8));
    m_pExplain = new QPlainTextEdit(this);
    m_pExplain->setObjectName(QStringLiteral("1035"));
    m_pExplain->setGeometry(du.Rect(0, 120, 308, 48));
    m_pExplain->setReadOnly(true);
    m_pExplain->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_pExplain->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pExplain->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* print = new QPushButton(QStringLiteral("印刷"), this);
    print->setObjectName(QStringLiteral("2"));
    print->setGeometry(du.Rect(209, 170, 19, 14));

    connect(back, &QPushButton::clicked, this, &QDialog::accept);
    connect(print, &QPushButton::clicked, this, &CAnswerExplainDlg::OnPrint);
}

CAnswerExplainDlg::~CAnswerExplainDlg() = default;

int CAnswerExplainDlg::exec() {
    OnInitDialog();
    return QDialog::exec();
}

void CAnswerExplainDlg::OnInitDialog() {
    if (const QuizQuestion* q = QuestionAt(m_nPos)) {
        m_strQuestionText = FromCp932(q->m_strText);
        m_strAnswerText = FromCp932(q->m_strChoice[0]);
        // The second correct answer of a two-answer question goes below the first.
        if (q->m_nAnswers == 2)
            m_strAnswerText += QLatin1Char('\n') + FromCp932(q->m_strChoice[1]);
        m_strExplainText = FromCp932(q->m_strExplanation);
        m_strExplainText.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    }
    DoDataExchange(false);
    setWindowTitle(QStringLiteral("解答と解説"));
}

void CAnswerExplainDlg::DoDataExchange(bool bSaveAndValidate) {
    if (bSaveAndValidate)
        return; // every control is read-only
    m_pQuestion->setText(m_strQuestionText);
    m_pAnswer->setText(m_strAnswerText);
    QString explain = m_strExplainText;
    m_pExplain->setPlainText(explain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void CAnswerExplainDlg::reject() {
    OnPrint();
}

void CAnswerExplainDlg::OnPrint() {
    const QuizQuestion* q = QuestionAt(m_nPos);
    if (!q)
        return;
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted)
        return;
    PrintAnswerPage(printer, *q);
}
