#include "quiz/CModeSelectDlg.h"

#include "platform/DialogUnits.h"
#include "platform/MessageBox.h"
#include "quiz/CKEPIRODoc.h"
#include "quiz/UpDownControl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <limits>

namespace {

// A random drill asks at most this many questions.
constexpr int kMaxRandomEnd = 50;

// The document's values the dialog sets itself up from; a dialog without a document opens as
// for a first load.
struct DocValues {
    int nMode = 0;
    int nCount = 0;
    int nDrillCount = 50;
};

DocValues ReadDoc(const CKEPIRODoc* pDoc) {
    if (!pDoc)
        return {};
    // The list has two items; a mode it cannot select opens as random. A count line below 0 (a
    // file the reader is about to reject) sets a sequential range up as for 0 questions, so that
    // the end field never shows a negative number that OK would refuse: the dialog always closes
    // on its opening values.
    return {pDoc->m_nMode == 1 ? 1 : 0, std::max(pDoc->m_nCount, 0), pDoc->m_nDrillCount};
}

struct FieldSetup {
    int nFromLower, nFromUpper, nFrom;
    bool bFromReadOnly;
    int nToLower, nToUpper, nTo;
};

FieldSetup FieldsForMode(int nMode, const DocValues& doc) {
    if (nMode == 0)
        return {1, 1, 1, true, 1, kMaxRandomEnd, std::clamp(doc.nDrillCount, 1, kMaxRandomEnd)};
    // A file whose count line holds no question still gets a range the learner can confirm.
    const int nLast = std::max(doc.nCount, 1);
    return {1, nLast, 1, false, 1, nLast, nLast};
}

// A start above the end comes down to the end, then a start below 1 goes up to 1. An end field
// without a number leaves the first step out.
int StartRule(int nStart, const int* pEnd) {
    if (pEnd && nStart > *pEnd)
        nStart = *pEnd;
    return std::max(nStart, 1);
}

// An end below the start goes up to the start, then an end above the mode's limit comes down to
// it: 50 for a random drill, the question count for a sequential one.
int EndRule(int nEnd, const int* pStart, int nMode, int nCount) {
    if (pStart && nEnd < *pStart)
        nEnd = *pStart;
    return std::min(nEnd, nMode == 0 ? kMaxRandomEnd : std::max(nCount, 1));
}

int ClampToRange(int value, int lower, int upper) {
    return std::clamp(value, std::min(lower, upper), std::max(lower, upper));
}

// The field as an unsigned 32-bit number: optional blanks around decimal digits, nothing else.
bool ReadUnsigned(const QString& text, std::uint32_t& value) {
    QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    for (QChar c : trimmed)
        if (c < u'0' || c > u'9')
            return false;
    bool ok = false;
    qulonglong number = trimmed.toULongLong(&ok);
    if (!ok || number > std::numeric_limits<std::uint32_t>::max())
        return false;
    value = static_cast<std::uint32_t>(number);
    return true;
}

const QString kTitle = QStringLiteral("出題するパターンを選択してください");
const QString kNotUnsigned = QStringLiteral("正の整数を入力してください。");
const QString kOutOfRange = QStringLiteral("%1 から %2 までの整数を入力してください。");

} // namespace

CModeSelectDlg::CModeSelectDlg(QWidget* pParent)
    : QDialog(pParent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    QFont font = DialogFont(12);
    setFont(font);
    DialogUnits du(font);

    // Template order, which is also the tab order.
    m_checkBeep = new QCheckBox(this);
    m_checkBeep->setGeometry(du.Rect(12, 54, 8, 8));
    m_staticBeep = new QLabel(QStringLiteral("－正解時のビープ音"), this);
    m_staticBeep->setGeometry(du.Rect(19, 54, 63, 8));
    m_staticBeep->installEventFilter(this);
    m_buttonOK = new QPushButton(QStringLiteral("OK"), this);
    m_buttonOK->setGeometry(du.Rect(110, 135, 50, 14));
    m_buttonOK->setDefault(true);
    m_comboMode = new QComboBox(this);
    // The template's 40 units of height include the dropped-down list; the closed list takes the
    // height the style gives it.
    m_comboMode->setGeometry(du.X(10), du.Y(16), du.X(160) - du.X(10), m_comboMode->sizeHint().height());
    auto* staticCount = new QLabel(QStringLiteral("解く問題数"), this);
    staticCount->setGeometry(du.Rect(10, 36, 33, 8));
    m_editFrom = new QLineEdit(this);
    m_editFrom->setGeometry(du.Rect(45, 34, 30, 12));
    m_spinFrom = new UpDownControl(this);
    m_spinFrom->setGeometry(du.Rect(75, 32, 10, 15));
    m_spinFrom->SetBuddy(m_editFrom);
    auto* staticTilde = new QLabel(QStringLiteral("～"), this);
    staticTilde->setGeometry(du.Rect(90, 36, 8, 8));
    m_editTo = new QLineEdit(this);
    m_editTo->setGeometry(du.Rect(100, 34, 30, 12));
    m_spinTo = new UpDownControl(this);
    m_spinTo->setGeometry(du.Rect(130, 32, 10, 15));
    m_spinTo->SetBuddy(m_editTo);
    auto* staticMode = new QLabel(QStringLiteral("モード選択"), this);
    staticMode->setGeometry(du.Rect(10, 5, 33, 8));
    setFixedSize(du.X(164), du.Y(155));

    connect(m_comboMode, &QComboBox::currentIndexChanged, this, &CModeSelectDlg::OnSelchangeMode);
    connect(m_editFrom, &QLineEdit::textChanged, this, &CModeSelectDlg::OnChangeFrom);
    connect(m_editTo, &QLineEdit::textChanged, this, &CModeSelectDlg::OnChangeTo);
    connect(m_buttonOK, &QPushButton::clicked, this, &CModeSelectDlg::OnOK);

    DoDataExchange(false);
}

CModeSelectDlg::~CModeSelectDlg() = default;

CModeSelectDlg::Answers CModeSelectDlg::OpeningAnswers(const CKEPIRODoc& doc) {
    DocValues values = ReadDoc(&doc);
    FieldSetup fields = FieldsForMode(values.nMode, values);
    // The fields as the dialog writes them at opening, each write passing through its rule.
    int nFrom = ClampToRange(fields.nFrom, fields.nFromLower, fields.nFromUpper);
    int nTo = ClampToRange(fields.nTo, fields.nToLower, fields.nToUpper);
    nTo = EndRule(nTo, &nFrom, values.nMode, values.nCount);
    return {values.nMode, static_cast<std::uint32_t>(nFrom), static_cast<std::uint32_t>(nTo), 0};
}

bool CModeSelectDlg::DoDataExchange(bool bSaveAndValidate) {
    if (bSaveAndValidate) {
        if (!ControlsToData())
            return false;
    } else {
        DataToControls();
    }
    DocValues doc = ReadDoc(CKEPIRODoc::s_pCurrent);
    {
        // Filling the list is not the learner's selection.
        QSignalBlocker block(m_comboMode);
        m_comboMode->clear();
        m_comboMode->addItem(QStringLiteral("ランダム"));
        m_comboMode->addItem(QStringLiteral("連続"));
        m_comboMode->setCurrentIndex(doc.nMode);
    }
    SetUpFields(m_comboMode->currentIndex());
    setWindowTitle(kTitle);
    return true;
}

void CModeSelectDlg::WriteField(QLineEdit* edit, std::uint32_t value, std::int32_t& bSkipChange) {
    edit->setText(QString::number(value));
    // The write above used up the skip flag, unless the field already held that text and so did
    // not change; either way the learner's first change must meet the rule.
    bSkipChange = 0;
}

void CModeSelectDlg::DataToControls() {
    WriteField(m_editFrom, m_nFrom, m_bSkipFromChange);
    WriteField(m_editTo, m_nTo, m_bSkipToChange);
    m_checkBeep->setChecked(m_bBeep != 0);
}

bool CModeSelectDlg::ControlsToData() {
    auto refuse = [](QLineEdit* edit, const QString& text) {
        ShowMessage(text);
        edit->setFocus();
        edit->selectAll();
        return false;
    };
    std::uint32_t nFrom = 0;
    std::uint32_t nTo = 0;
    if (!ReadUnsigned(m_editFrom->text(), nFrom))
        return refuse(m_editFrom, kNotUnsigned);
    if (nFrom > kMaxFrom)
        return refuse(m_editFrom, kOutOfRange.arg(0).arg(kMaxFrom));
    if (!ReadUnsigned(m_editTo->text(), nTo))
        return refuse(m_editTo, kNotUnsigned);
    m_nFrom = nFrom;
    m_nTo = nTo;
    m_bBeep = m_checkBeep->isChecked() ? 1 : 0;
    return true;
}

void CModeSelectDlg::SetUpFields(int nMode) {
    FieldSetup fields = FieldsForMode(nMode, ReadDoc(CKEPIRODoc::s_pCurrent));
    m_spinFrom->SetRange(fields.nFromLower, fields.nFromUpper);
    m_spinFrom->SetPos(fields.nFrom);
    m_editFrom->setReadOnly(fields.bFromReadOnly);
    m_spinTo->SetRange(fields.nToLower, fields.nToUpper);
    m_spinTo->SetPos(fields.nTo);
}

void CModeSelectDlg::OnSelchangeMode() {
    SetUpFields(m_comboMode->currentIndex());
}

void CModeSelectDlg::OnChangeFrom() {
    if (m_bSkipFromChange) {
        m_bSkipFromChange = 0;
        return;
    }
    // A field without a number is left as it is while the learner types; OK refuses it.
    int nStart = 0;
    if (!ReadFieldNumber(m_editFrom->text(), nStart))
        return;
    int nEnd = 0;
    bool bHasEnd = ReadFieldNumber(m_editTo->text(), nEnd);
    int nRuled = StartRule(nStart, bHasEnd ? &nEnd : nullptr);
    if (nRuled != nStart)
        m_editFrom->setText(QString::number(nRuled));
}

void CModeSelectDlg::OnChangeTo() {
    if (m_bSkipToChange) {
        m_bSkipToChange = 0;
        return;
    }
    int nEnd = 0;
    if (!ReadFieldNumber(m_editTo->text(), nEnd))
        return;
    int nStart = 0;
    bool bHasStart = ReadFieldNumber(m_editFrom->text(), nStart);
    int nRuled = EndRule(nEnd, bHasStart ? &nStart : nullptr, m_comboMode->currentIndex(),
                         ReadDoc(CKEPIRODoc::s_pCurrent).nCount);
    if (nRuled != nEnd)
        m_editTo->setText(QString::number(nRuled));
}

void CModeSelectDlg::OnClickedBeepLabel() {
    m_checkBeep->toggle();
}

void CModeSelectDlg::OnOK() {
    m_nMode = m_comboMode->currentIndex();
    // The exchange at OK rewrites both fields; those writes are not the learner's changes.
    m_bSkipFromChange = 1;
    m_bSkipToChange = 1;
    if (!DoDataExchange(true)) {
        // Refused: nothing was rewritten, so the learner's next changes meet the rules again.
        m_bSkipFromChange = 0;
        m_bSkipToChange = 0;
        return;
    }
    accept();
}

void CModeSelectDlg::reject() {}

void CModeSelectDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CModeSelectDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_staticBeep && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && m_staticBeep->rect().contains(mouse->position().toPoint()))
            OnClickedBeepLabel();
    }
    return QDialog::eventFilter(watched, event);
}
