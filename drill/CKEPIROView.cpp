#include "drill/CKEPIROView.h"

#include "app/CKEPIROApp.h"
#include "app/CMainFrame.h"
#include "drill/DrillStart.h"
#include "platform/DialogUnits.h"
#include "platform/LineSource.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/Texts.h"
#include "quiz/CKEPIRODoc.h"
#include "results/CResultButtonsDlg.h"
#include "results/CResultPickDlg.h"
#include "sound/CWinDA.h"
#include "sound/PlayWave.h"

#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

CKEPIROView* CKEPIROView::s_pCurrent = nullptr;

namespace {

// Template 101 in dialog units: the form, its choice rows and its buttons.
constexpr int kFormWidth = 308;
constexpr int kFormHeight = 231;
constexpr int kFormFontPoints = 18;
constexpr int kButtonRowY[5] = {104, 129, 154, 178, 204};
constexpr int kLabelRowY[5] = {102, 127, 152, 176, 203};
constexpr int kTextRowY[5] = {96, 121, 146, 171, 196};

QLabel* SunkenText(QWidget* parent, const QRect& geometry) {
    auto* label = new QLabel(parent);
    label->setGeometry(geometry);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    // Quiz texts are shown as they are, never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setMargin(1);
    return label;
}

} // namespace

CKEPIROView::CKEPIROView(QWidget* parent) : QScrollArea(parent), m_pDocument(CKEPIRODoc::s_pCurrent) {
    CreateForm();
    s_pCurrent = this;
    m_pPlayer = CWinDA::GetInstance();
    m_pPlayer->AllocBuffers(44100);
    m_strProgramDir = ProgramFolder();
}

CKEPIROView::~CKEPIROView() {
    if (!m_bDestroyHandled)
        OnDestroy();
    if (s_pCurrent == this)
        s_pCurrent = nullptr;
}

void CKEPIROView::CreateForm() {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);

    const QFont font = DialogFont(kFormFontPoints);
    const DialogUnits du(font);
    m_pForm = new QWidget;
    m_pForm->setFont(font);
    m_pForm->setFixedSize(du.X(kFormWidth), du.Y(kFormHeight));

    m_pQuestionText = SunkenText(m_pForm, du.Rect(4, 2, 299, 90));
    auto* group = new QGroupBox(m_pForm);
    group->setGeometry(du.Rect(2, 92, 17, 125));

    QCheckBox** buttons[5] = {&m_btnChoice1, &m_btnChoice2, &m_btnChoice3, &m_btnChoice4, &m_btnChoice5};
    for (int k = 0; k < 5; ++k) {
        const QString digit = QString::number(k + 1);
        auto* label = new QLabel(digit, m_pForm);
        label->setGeometry(du.Rect(5, kLabelRowY[k], 8, 8));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);

        // The caption only carries the access key: the button is no wider than its box.
        QCheckBox* button = new QCheckBox(QStringLiteral("&") + digit, m_pForm);
        // The style's indicator needs its own size; it stays centred on the template's box.
        const QRect box = du.Rect(13, kButtonRowY[k], 5, 5);
        QRect area(QPoint(0, 0),
                   box.size().expandedTo(QSize(button->style()->pixelMetric(QStyle::PM_IndicatorWidth),
                                               button->style()->pixelMetric(QStyle::PM_IndicatorHeight))));
        area.moveCenter(box.center());
        button->setGeometry(area);
        *buttons[k] = button;
        connect(button, &QCheckBox::clicked, this, [this, k] { OnChoice(k); });

        m_pChoiceText[k] = SunkenText(m_pForm, du.Rect(20, kTextRowY[k], 283, 20));
        m_pChoiceText[k]->installEventFilter(this);
    }

    m_pAnswerButton = new QPushButton(QStringLiteral("解答(&0)"), m_pForm);
    m_pAnswerButton->setGeometry(du.Rect(5, 220, 28, 9));
    m_pDontKnowButton = new QPushButton(QStringLiteral("わかりません(&Q)"), m_pForm);
    m_pDontKnowButton->setGeometry(du.Rect(59, 220, 54, 9));
    m_pStopButton = new QPushButton(QStringLiteral("中断"), m_pForm);
    m_pStopButton->setGeometry(du.Rect(245, 220, 20, 9));
    for (QPushButton* button : {m_pAnswerButton, m_pDontKnowButton, m_pStopButton}) {
        button->setAutoDefault(false);
        // The template's buttons are exactly as tall as a line of the form's font.
        button->setStyleSheet(QStringLiteral("QPushButton { padding: 0px; }"));
    }
    connect(m_pAnswerButton, &QPushButton::clicked, this, &CKEPIROView::OnAnswer);
    connect(m_pDontKnowButton, &QPushButton::clicked, this, &CKEPIROView::OnDontKnow);
    connect(m_pStopButton, &QPushButton::clicked, this, &CKEPIROView::OnStop);

    // The form behaves like a dialog: its access keys work without Alt (there is no text field on
    // it that the plain keys could be meant for).
    const struct {
        int key;
        QAbstractButton* button;
    } accessKeys[] = {{Qt::Key_1, m_btnChoice1},     {Qt::Key_2, m_btnChoice2}, {Qt::Key_3, m_btnChoice3},
                      {Qt::Key_4, m_btnChoice4},     {Qt::Key_5, m_btnChoice5}, {Qt::Key_0, m_pAnswerButton},
                      {Qt::Key_Q, m_pDontKnowButton}};
    for (const auto& access : accessKeys) {
        auto* shortcut = new QShortcut(QKeySequence(access.key), this);
        shortcut->setContext(Qt::WindowShortcut);
        QAbstractButton* button = access.button;
        connect(shortcut, &QShortcut::activated, button, [button] {
            button->setFocus(Qt::ShortcutFocusReason);
            button->click();
        });
    }

    setWidget(m_pForm);
}

QSize CKEPIROView::FormSize() const {
    return m_pForm->size();
}

QCheckBox* CKEPIROView::ChoiceButton(int position) const {
    QCheckBox* const buttons[5] = {m_btnChoice1, m_btnChoice2, m_btnChoice3, m_btnChoice4, m_btnChoice5};
    return buttons[position];
}

std::string* CKEPIROView::ChoiceText(int position) {
    std::string* const texts[5] = {&m_strChoiceText1, &m_strChoiceText2, &m_strChoiceText3, &m_strChoiceText4,
                                   &m_strChoiceText5};
    return texts[position];
}

void CKEPIROView::UpdateData(bool bSaveAndValidate) {
    if (bSaveAndValidate)
        return;
    m_pQuestionText->setText(FromCp932(m_strQuestion));
    for (int k = 0; k < 5; ++k)
        m_pChoiceText[k]->setText(FromCp932(*ChoiceText(k)));
}

bool CKEPIROView::eventFilter(QObject* watched, QEvent* event) {
    // A choice text reports a click when the button is released over it.
    if (event->type() == QEvent::MouseButtonPress) {
        for (QLabel* text : m_pChoiceText)
            if (watched == text)
                return true;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        for (int k = 0; k < 5; ++k) {
            if (watched == m_pChoiceText[k] && mouse->button() == Qt::LeftButton &&
                m_pChoiceText[k]->rect().contains(mouse->position().toPoint())) {
                OnChoice(k);
                return true;
            }
        }
    }
    return QScrollArea::eventFilter(watched, event);
}

int CKEPIROView::DrillPositions() const {
    const CKEPIRODoc* doc = m_pDocument;
    const std::size_t room = std::min({doc->m_pOrder.size(), doc->m_pAnswerPos.size(), doc->m_pCorrect.size(),
                                       doc->m_pChoiceOrder.size() / 5});
    return static_cast<int>(std::clamp<std::int64_t>(doc->m_nDrillCount, 0, static_cast<std::int64_t>(room)));
}

void CKEPIROView::OnInitialUpdate() {
    UpdateData(false);
    if (QWidget* frame = window(); frame != this) {
        // The frame takes the size that shows the form exactly. It shrinks to it, and it also grows
        // to it as far as the screen allows: the form's dialog units come out larger in our fonts
        // than the default placement was made for, and a form view would otherwise hide its buttons.
        if (frame->layout())
            frame->layout()->activate();
        QSize target = frame->size() + (FormSize() - size());
        if (QScreen* screen = frame->screen()) {
            const QSize room = screen->availableGeometry().size();
            target = target.boundedTo(frame->size().expandedTo(room));
        }
        if (target != frame->size())
            frame->resize(target);
    }

    CKEPIRODoc* doc = m_pDocument;
    if (!doc || doc->m_bLoaded != 1)
        return;
    doc->LoadAnswerRecord();
    SeedDrillRandom();
    PrepareDrillPositions(*doc, [] { return std::rand(); });
    m_nCurrent = 0;
    ShowQuestion(0);
}

void CKEPIROView::ShowQuestion(int position) {
    CKEPIRODoc* doc = m_pDocument;
    if (!doc || position < 0 || position >= DrillPositions())
        return;
    const int q = doc->m_pOrder[position];
    if (q < 0 || q >= static_cast<int>(doc->m_pQuestions.size()))
        return;
    const QuizQuestion& question = doc->m_pQuestions[q];

    m_strQuestion = ToCp932(QStringLiteral("第%1問\n").arg(position + 1)) + question.m_strText;
    for (int k = 0; k < 5; ++k) {
        const int slot = doc->m_pChoiceOrder[5 * static_cast<std::size_t>(position) + k];
        *ChoiceText(k) = slot >= 0 && slot < 5 ? question.m_strChoice[slot] : std::string();
    }
    m_nNeeded = question.m_nAnswers;

    for (int k = 0; k < 5; ++k) {
        const bool selected = k == 0 || (k == 1 && m_nNeeded == 2);
        ChoiceButton(k)->setChecked(selected);
        m_bSelected[k] = selected ? 1 : 0;
    }
    UpdateData(false);
}

void CKEPIROView::OnChoice(int position) {
    ChoiceButton(position)->setChecked(false);
    int checked = 0;
    for (int k = 0; k < 5; ++k)
        checked += ChoiceButton(k)->isChecked() ? 1 : 0;
    if (checked >= m_nNeeded) {
        for (int k = 0; k < 5; ++k) {
            m_bSelected[k] = 0;
            ChoiceButton(k)->setChecked(false);
        }
    }
    ChoiceButton(position)->setChecked(true);
    m_bSelected[position] = 1;
}

void CKEPIROView::OnAnswer() {
    CKEPIRODoc* doc = m_pDocument;
    if (!doc || doc->m_bLoaded != 1 || doc->m_bFinished)
        return;
    const int j = m_nCurrent;
    // Past the last position the per-drill arrays have no entry to record into.
    if (j < 0 || j >= DrillPositions())
        return;
    const std::int32_t word = doc->m_pAnswerPos[j];
    auto selected = [this](int screenPosition) {
        return screenPosition < 5 && m_bSelected[screenPosition] == 1;
    };

    bool correct;
    if (m_nNeeded == 1) {
        correct = selected(word & 15);
    } else if (m_nNeeded == 2) {
        correct = selected(word & 15) && selected((word >> 4) & 15);
    } else {
        // A question with another count of correct choices cannot be judged: it shows again.
        NextQuestion();
        return;
    }

    if (correct) {
        doc->m_pCorrect[j] = 1;
        if (doc->m_bBeep)
            PlayWave(m_strProgramDir + QStringLiteral("OneOK.wav"));
        const int q = doc->m_pOrder[j];
        if (q >= 0 && q < static_cast<int>(doc->m_pStats.size()))
            ++doc->m_pStats[q].m_nCorrect;
    } else {
        doc->m_pCorrect[j] = 0;
    }
    ++m_nCurrent;
    NextQuestion();
}

void CKEPIROView::OnDontKnow() {
    CKEPIRODoc* doc = m_pDocument;
    if (!doc || doc->m_bLoaded != 1 || doc->m_bFinished)
        return;
    // Past the last position (another quiz failed to open) there is no entry to record into.
    if (m_nCurrent < 0 || m_nCurrent >= DrillPositions())
        return;
    // The question's asked count was raised when the drill was prepared.
    doc->m_pCorrect[m_nCurrent] = 0;
    ++m_nCurrent;
    NextQuestion();
}

void CKEPIROView::OnStop() {
    CKEPIRODoc* doc = m_pDocument;
    if (!doc || doc->m_bLoaded != 1 || doc->m_bFinished)
        return;
    // The drill shrinks to the positions answered so far, possibly none.
    doc->m_nDrillCount = m_nCurrent;
    NextQuestion();
}

std::string CKEPIROView::ClosingSummary() {
    const QString stars = QString(40, QChar(u'☆')) + u'\n';
    const QString text = stars + QStringLiteral("\n\n") + QString(25, QChar(u'\u3000')) +
                         QStringLiteral("間違いはありません\n") + QStringLiteral("\n\n") +
                         QString(26, QChar(u'\u3000')) + QStringLiteral("がんばりました\n") +
                         QStringLiteral("\n\n\n") + stars;
    return ToCp932(text);
}

void CKEPIROView::NextQuestion() {
    CKEPIRODoc* doc = m_pDocument;
    if (!doc || doc->m_bLoaded != 1 || doc->m_bFinished)
        return;
    const int positions = DrillPositions();
    if (m_nCurrent < positions) {
        ShowQuestion(m_nCurrent);
        return;
    }

    int code;
    if (doc->m_nMode == 0) {
        CResultButtonsDlg dlg;
        code = dlg.DoModal();
    } else {
        CResultPickDlg dlg;
        code = dlg.DoModal();
    }

    // Stops a sound still playing and prepares the player for the next drill.
    if (m_pPlayer) {
        m_pPlayer->FreeBuffers();
        m_pPlayer->AllocBuffers(44100);
    }

    if (code == 1) {
        int wrong = 0;
        for (int i = 0; i < positions; ++i)
            wrong += doc->m_pCorrect[i] != 1 ? 1 : 0;
        if (wrong > 0) {
            StartReview();
        } else {
            // The choice texts and the buttons keep what they showed; the drill buttons are dead
            // from now on.
            doc->m_bFinished = 1;
            m_strQuestion = ClosingSummary();
            UpdateData(false);
        }
    } else if (code == 16) {
        QuitProgram();
    } else {
        OpenAnotherQuiz();
    }

    // The next drill's seconds count from the end of this handling.
    doc->m_tStart = std::time(nullptr);
}

void CKEPIROView::StartReview() {
    CKEPIRODoc* doc = m_pDocument;
    if (!doc)
        return;
    m_nCurrent = 0;
    std::fill(std::begin(m_bSelected), std::end(m_bSelected), 0);

    const int positions = DrillPositions();
    int wrong = 0;
    for (int i = 0; i < positions; ++i) {
        doc->m_pPrevOrder[i] = doc->m_pOrder[i];
        wrong += doc->m_pCorrect[i] != 1 ? 1 : 0;
    }
    doc->m_nDrillCount = wrong;

    const int questions =
        static_cast<int>(std::min<std::size_t>({static_cast<std::size_t>(std::max(doc->m_nCount, 0)),
                                                doc->m_pQuestions.size(), doc->m_pStats.size()}));
    const DrawRandom draw = [] { return std::rand(); };
    int c = 0;
    for (int j = 0; j < wrong; ++j) {
        doc->m_pAnswerPos[j] = kAnswerPosBase;
        while (doc->m_pCorrect[c] == 1)
            ++c;
        const int q = doc->m_pPrevOrder[c];
        ++c;
        doc->m_pOrder[j] = q;
        std::int32_t* choiceOrder = &doc->m_pChoiceOrder[5 * static_cast<std::size_t>(j)];
        if (q < 0 || q >= questions) {
            // A position outside the quiz showed nothing and shows nothing again.
            for (int k = 0; k < 5; ++k)
                choiceOrder[k] = k;
            continue;
        }
        ++doc->m_pStats[q].m_nAsked;
        doc->m_pAnswerPos[j] = ArrangeChoices(doc->m_pQuestions[q], choiceOrder, draw);
    }
    ShowQuestion(0);
}

void CKEPIROView::OpenAnotherQuiz() {
    CKEPIRODoc* doc = m_pDocument;
    QFileDialog dialog(this, QString(), QStringLiteral("/"), QStringLiteral("KEPIROファイル(*.kwz)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The name typed need not exist; opening it then fails with the file error message.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("kwz"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        RunSameQuizAgain();
        return;
    }
    const QString path = dialog.selectedFiles().constFirst();

    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file) {
        // The ended drill stays on screen; "中断" ends it again.
        ShowMessage(QStringLiteral("%1 を開けませんでした。").arg(path));
        return;
    }
    {
        FileLineSource lines(file);
        doc->LoadQuestionSet(lines);
    }
    std::fclose(file);
    // The record file lies beside the quiz just opened, and the quiz joins the File menu's list
    // as one opened from the menu does.
    doc->SetPathName(path);
    if (auto* frame = qobject_cast<CMainFrame*>(window()))
        frame->OnUpdateFrameTitle(doc->GetTitle());
    if (CKEPIROApp::s_pApp)
        CKEPIROApp::s_pApp->AddToRecentFileList(doc->GetPathName());
    OnInitialUpdate();
}

void CKEPIROView::RunSameQuizAgain() {
    CKEPIRODoc* doc = m_pDocument;
    ShowMessage(QStringLiteral("問題を変えないで、実行します。"));
    // The questions and the statistics stay; only the per-drill arrays go.
    doc->ReleaseDrillArrays();
    doc->AskDrillSettings();
    // A failed allocation has reported itself and closes the program down.
    if (!doc->AllocateDrillArrays())
        return;
    OnInitialUpdate();
}

void CKEPIROView::PlayWave(QString path) {
    if (!m_pPlayer) {
        ShowMessage(QStringLiteral("CWinDA class is not implemented."));
        return;
    }
    UpdateData(true);
    ::PlayWave(*m_pPlayer, path);
}

void CKEPIROView::QuitProgram() {
    if (m_pPlayer) {
        m_pPlayer->FreeBuffers();
        m_pPlayer = nullptr;
    }
    SaveWindowPlacement();
    QMetaObject::invokeMethod(window(), &QWidget::close, Qt::QueuedConnection);
}

void CKEPIROView::OnDestroy() {
    m_bDestroyHandled = true;
    if (m_pPlayer) {
        m_pPlayer->FreeBuffers();
        m_pPlayer = nullptr;
    }
    SaveWindowPlacement();
}

void CKEPIROView::SaveWindowPlacement() {
    SaveWindowPlacement(QRect(mapToGlobal(QPoint(0, 0)), size()));
}

void CKEPIROView::SaveWindowPlacement(const QRect& viewOnScreen) {
    // Window coordinates as the frame's creation takes them back: right and bottom are exclusive.
    const int left = viewOnScreen.x();
    const int top = viewOnScreen.y();
    const int right = viewOnScreen.x() + viewOnScreen.width();
    const int bottom = viewOnScreen.y() + viewOnScreen.height();
    auto profile = OpenProfile();
    profile->beginGroup(QStringLiteral("Horvantel"));
    profile->setValue(QStringLiteral("left"), left - 5);
    profile->setValue(QStringLiteral("top"), top - 42);
    profile->setValue(QStringLiteral("right"), right - 1);
    profile->setValue(QStringLiteral("bottom"), bottom - 5);
    profile->endGroup();
}
