#include "platform/DialogUnits.h"
#include "quiz/CKEPIRODoc.h"
#include "quiz/CModeSelectDlg.h"
#include "quiz/UpDownControl.h"
#include "support/ModalHelper.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

const QString kNotUnsigned = QStringLiteral("正の整数を入力してください。");
const QString kOutOfRange = QStringLiteral("0 から 50 までの整数を入力してください。");

// A document as the reader leaves it when it shows the dialog, and the dialog shown on it.
struct DocSetup {
    int nMode, nCount, nDrillCount;
};

class OpenDialog {
public:
    explicit OpenDialog(DocSetup setup) {
        doc.m_nMode = setup.nMode;
        doc.m_nCount = setup.nCount;
        doc.m_nDrillCount = setup.nDrillCount;
        dlg = std::make_unique<CModeSelectDlg>();
        dlg->show();
    }
    QString From() const { return dlg->m_editFrom->text(); }
    QString To() const { return dlg->m_editTo->text(); }

    CKEPIRODoc doc;
    std::unique_ptr<CModeSelectDlg> dlg;
};

// Replaces a field's text by typing, key by key, as a learner does.
void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
}

enum Field { From, To };
struct Typing {
    Field field;
    QString text;
};

void TypeAll(CModeSelectDlg& dlg, const std::vector<Typing>& typing) {
    for (const Typing& t : typing)
        Type(t.field == From ? dlg.m_editFrom : dlg.m_editTo, t.text);
}

TEST(ModeSelectDlg, OpensFromTheDocumentAndOkHandsBackTheOpeningValues) {
    struct Case {
        const char* name;
        DocSetup setup;
        int nIndex;
        const char* from;
        bool bFromReadOnly;
        const char* to;
    } cases[] = {
        {"first load of a 30-question quiz", {0, 30, 50}, 0, "1", true, "50"},
        {"after a sequential drill", {1, 30, 50}, 1, "1", false, "30"},
        {"after a drill stopped after 7 answers", {0, 30, 7}, 0, "1", true, "7"},
        {"after a drill stopped at the first question", {0, 30, 0}, 0, "1", true, "1"},
        {"drill size above 50", {0, 80, 70}, 0, "1", true, "50"},
        {"sequential on a file whose count is 0", {1, 0, 50}, 1, "1", false, "1"},
        {"sequential on a file whose count is negative", {1, -4, 50}, 1, "1", false, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CKEPIRODoc doc;
        doc.m_nMode = c.setup.nMode;
        doc.m_nCount = c.setup.nCount;
        doc.m_nDrillCount = c.setup.nDrillCount;
        CModeSelectDlg dlg;
        bool checked = false;
        // Run modally, as the reader does, and press Enter on what the dialog opens with.
        WhenModal([&](QWidget* modal) {
            checked = true;
            EXPECT_EQ(modal, &dlg);
            EXPECT_EQ(dlg.windowTitle(), QStringLiteral("出題するパターンを選択してください"));
            EXPECT_FALSE(dlg.windowFlags() & Qt::WindowCloseButtonHint);
            EXPECT_FALSE(dlg.windowFlags() & Qt::WindowSystemMenuHint);
            ASSERT_EQ(dlg.m_comboMode->count(), 2);
            EXPECT_EQ(dlg.m_comboMode->itemText(0), QStringLiteral("ランダム"));
            EXPECT_EQ(dlg.m_comboMode->itemText(1), QStringLiteral("連続"));
            EXPECT_EQ(dlg.m_comboMode->currentIndex(), c.nIndex);
            EXPECT_EQ(dlg.m_editFrom->text(), c.from);
            EXPECT_EQ(dlg.m_editFrom->isReadOnly(), c.bFromReadOnly);
            EXPECT_EQ(dlg.m_editTo->text(), c.to);
            EXPECT_FALSE(dlg.m_checkBeep->isChecked());
            QTest::keyClick(modal, Qt::Key_Return);
            if (dlg.isVisible())
                dlg.done(QDialog::Rejected);
        });
        EXPECT_EQ(dlg.exec(), QDialog::Accepted);
        EXPECT_TRUE(checked);
        CModeSelectDlg::Answers opening = CModeSelectDlg::OpeningAnswers(doc);
        EXPECT_EQ(dlg.m_nMode, c.nIndex);
        EXPECT_EQ(dlg.m_nFrom, 1u);
        EXPECT_EQ(dlg.m_nTo, QString(c.to).toUInt());
        EXPECT_EQ(dlg.m_bBeep, 0);
        EXPECT_EQ(opening.m_nMode, dlg.m_nMode);
        EXPECT_EQ(opening.m_nFrom, dlg.m_nFrom);
        EXPECT_EQ(opening.m_nTo, dlg.m_nTo);
        EXPECT_EQ(opening.m_bBeep, dlg.m_bBeep);
    }
}

TEST(ModeSelectDlg, ChangingTheModeSetsTheFieldsUpAfresh) {
    OpenDialog d({0, 30, 12});
    QTest::keyClick(d.dlg->m_comboMode, Qt::Key_Down);
    ASSERT_EQ(d.dlg->m_comboMode->currentIndex(), 1);
    EXPECT_EQ(d.From(), "1");
    EXPECT_FALSE(d.dlg->m_editFrom->isReadOnly());
    EXPECT_EQ(d.To(), "30");

    TypeAll(*d.dlg, {{To, "20"}, {From, "5"}});
    ASSERT_EQ(d.From(), "5");
    QTest::keyClick(d.dlg->m_comboMode, Qt::Key_Up);
    ASSERT_EQ(d.dlg->m_comboMode->currentIndex(), 0);
    EXPECT_EQ(d.From(), "1");
    EXPECT_TRUE(d.dlg->m_editFrom->isReadOnly());
    EXPECT_EQ(d.To(), "12") << "the document's drill size comes back";

    QTest::keyClick(d.dlg->m_comboMode, Qt::Key_Down);
    EXPECT_EQ(d.From(), "1") << "earlier entries are replaced";
    EXPECT_EQ(d.To(), "30");
}

TEST(ModeSelectDlg, TypedStartAndEndFollowTheirRules) {
    struct Case {
        const char* name;
        DocSetup setup;
        std::vector<Typing> typing;
        const char* from;
        const char* to;
    } cases[] = {
        {"random end above 50", {0, 30, 50}, {{To, "70"}}, "1", "50"},
        {"sequential end above the count", {1, 30, 50}, {{To, "40"}}, "1", "30"},
        {"start above the end comes down to it", {1, 30, 50}, {{To, "20"}, {From, "25"}}, "20", "20"},
        {"end below the start goes up to it", {1, 30, 50}, {{From, "10"}, {To, "5"}}, "10", "10"},
        {"start 0 becomes 1", {1, 30, 50}, {{From, "0"}}, "1", "30"},
        {"negative end goes up to the start", {1, 30, 50}, {{From, "3"}, {To, "-4"}}, "3", "3"},
        {"start in random mode is read-only", {0, 30, 50}, {{From, "7"}}, "1", "50"},
        {"a field being retyped may be empty", {1, 30, 50}, {{From, ""}}, "", "30"},
        {"the end within its limits stays as typed", {1, 30, 50}, {{To, "17"}, {From, "4"}}, "4", "17"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenDialog d(c.setup);
        TypeAll(*d.dlg, c.typing);
        EXPECT_EQ(d.From(), c.from);
        EXPECT_EQ(d.To(), c.to);
    }
}

TEST(ModeSelectDlg, ArrowsAndArrowKeysStepWithinTheRangeAndTheRules) {
    enum Step { KeyUp, KeyDown, ButtonUp, ButtonDown };
    struct Case {
        const char* name;
        DocSetup setup;
        std::vector<Typing> typing;
        Field field;
        std::vector<Step> steps;
        const char* from;
        const char* to;
    } cases[] = {
        {"up key raises the start", {1, 30, 50}, {}, From, {KeyUp, KeyUp}, "3", "30"},
        {"up button raises the start", {1, 30, 50}, {}, From, {ButtonUp}, "2", "30"},
        {"the start does not pass the end", {1, 30, 50}, {{To, "3"}}, From, {KeyUp, KeyUp, KeyUp}, "3", "3"},
        {"the end stops at the count", {1, 30, 50}, {}, To, {KeyUp, ButtonUp}, "1", "30"},
        {"down key lowers the end", {1, 30, 50}, {}, To, {KeyDown, ButtonDown}, "1", "28"},
        {"the random end stops at 50", {0, 30, 49}, {}, To, {KeyUp, KeyUp}, "1", "50"},
        {"the random start stays 1", {0, 30, 50}, {}, From, {KeyUp, ButtonUp}, "1", "50"},
        {"the end does not go below 1", {1, 30, 50}, {{To, "1"}}, To, {KeyDown, ButtonDown}, "1", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenDialog d(c.setup);
        TypeAll(*d.dlg, c.typing);
        QLineEdit* edit = c.field == From ? d.dlg->m_editFrom : d.dlg->m_editTo;
        UpDownControl* spin = c.field == From ? d.dlg->m_spinFrom : d.dlg->m_spinTo;
        for (Step step : c.steps) {
            if (step == KeyUp || step == KeyDown)
                QTest::keyClick(edit, step == KeyUp ? Qt::Key_Up : Qt::Key_Down);
            else
                QTest::mouseClick(step == ButtonUp ? spin->m_buttonUp : spin->m_buttonDown, Qt::LeftButton);
        }
        EXPECT_EQ(d.From(), c.from);
        EXPECT_EQ(d.To(), c.to);
    }
}

TEST(ModeSelectDlg, OkRefusesAFieldThatIsNoNumberOrAStartAbove50) {
    struct Case {
        const char* name;
        DocSetup setup;
        std::vector<Typing> typing;
        QString message; // empty: accepted
        Field focus;
        unsigned from, to;
    } cases[] = {
        {"start 60 of an 80-question quiz", {1, 80, 50}, {{From, "60"}}, kOutOfRange, From, 0, 0},
        {"start 50 of an 80-question quiz", {1, 80, 50}, {{From, "50"}}, QString(), From, 50, 80},
        {"start with a letter", {1, 30, 50}, {{From, "1x"}}, kNotUnsigned, From, 0, 0},
        {"empty start", {1, 30, 50}, {{From, ""}}, kNotUnsigned, From, 0, 0},
        {"empty end", {1, 30, 50}, {{To, ""}}, kNotUnsigned, To, 0, 0},
        {"end with a sign only", {0, 30, 50}, {{To, "-"}}, kNotUnsigned, To, 0, 0},
        {"a sequential range", {1, 30, 50}, {{From, "3"}, {To, "5"}}, QString(), From, 3, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenDialog d(c.setup);
        TypeAll(*d.dlg, c.typing);
        MessageBoxRecorder messages;
        QTest::keyClick(d.dlg->m_editTo, Qt::Key_Return);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join('|').toStdString();
            EXPECT_FALSE(d.dlg->isVisible());
            EXPECT_EQ(d.dlg->result(), QDialog::Accepted);
            EXPECT_EQ(d.dlg->m_nMode, c.setup.nMode);
            EXPECT_EQ(d.dlg->m_nFrom, c.from);
            EXPECT_EQ(d.dlg->m_nTo, c.to);
        } else {
            EXPECT_EQ(messages.texts, QStringList{c.message});
            EXPECT_EQ(messages.captions, QStringList{"KEPIRO"});
            EXPECT_TRUE(d.dlg->isVisible()) << "a refused OK keeps the dialog open";
            EXPECT_EQ(d.dlg->focusWidget(), c.focus == From ? d.dlg->m_editFrom : d.dlg->m_editTo);
        }
    }
}

TEST(ModeSelectDlg, RulesStillHoldAfterARefusedOk) {
    OpenDialog d({1, 80, 50});
    MessageBoxRecorder messages;
    Type(d.dlg->m_editFrom, "60");
    QTest::keyClick(d.dlg->m_editFrom, Qt::Key_Return);
    ASSERT_EQ(messages.texts, QStringList{kOutOfRange});
    ASSERT_TRUE(d.dlg->isVisible());
    // The learner's next entries are checked like any other: the end cannot fall below the start.
    Type(d.dlg->m_editTo, "5");
    EXPECT_EQ(d.To(), "60");
    Type(d.dlg->m_editFrom, "70");
    EXPECT_EQ(d.From(), "60");
}

TEST(ModeSelectDlg, OnlyOkClosesTheDialog) {
    OpenDialog d({0, 30, 50});
    QTest::keyClick(d.dlg.get(), Qt::Key_Escape);
    QTest::keyClick(d.dlg->m_editTo, Qt::Key_Escape);
    EXPECT_TRUE(d.dlg->isVisible()) << "Esc is swallowed";
    d.dlg->close();
    EXPECT_TRUE(d.dlg->isVisible()) << "a close request is refused";
    QTest::mouseClick(d.dlg->m_buttonOK, Qt::LeftButton);
    EXPECT_FALSE(d.dlg->isVisible());
    EXPECT_EQ(d.dlg->result(), QDialog::Accepted);
}

TEST(ModeSelectDlg, ClickingTheLabelTogglesTheBeepBox) {
    OpenDialog d({0, 30, 50});
    QTest::mouseClick(d.dlg->m_staticBeep, Qt::LeftButton);
    EXPECT_TRUE(d.dlg->m_checkBeep->isChecked());
    QTest::mouseClick(d.dlg->m_staticBeep, Qt::LeftButton);
    EXPECT_FALSE(d.dlg->m_checkBeep->isChecked());
    QTest::mouseClick(d.dlg->m_staticBeep, Qt::LeftButton);
    QTest::keyClick(d.dlg.get(), Qt::Key_Return);
    EXPECT_EQ(d.dlg->m_bBeep, 1);
}

TEST(ModeSelectDlg, ControlsSitWhereTheTemplatePutsThem) {
    OpenDialog d({0, 30, 50});
    DialogUnits du(DialogFont(12));
    EXPECT_EQ(d.dlg->size(), QSize(du.X(164), du.Y(155)));
    auto label = [&](const char* text) {
        for (QLabel* l : d.dlg->findChildren<QLabel*>())
            if (l->text() == QString::fromUtf8(text))
                return static_cast<QWidget*>(l);
        return static_cast<QWidget*>(nullptr);
    };
    struct Place {
        QWidget* widget;
        int x, y, width, height;
    } places[] = {
        {d.dlg->m_checkBeep, 12, 54, 8, 8},    {d.dlg->m_staticBeep, 19, 54, 63, 8},
        {d.dlg->m_buttonOK, 110, 135, 50, 14}, {label("解く問題数"), 10, 36, 33, 8},
        {d.dlg->m_editFrom, 45, 34, 30, 12},   {d.dlg->m_spinFrom, 75, 32, 10, 15},
        {label("～"), 90, 36, 8, 8},           {d.dlg->m_editTo, 100, 34, 30, 12},
        {d.dlg->m_spinTo, 130, 32, 10, 15},    {label("モード選択"), 10, 5, 33, 8},
    };
    for (const Place& p : places) {
        ASSERT_NE(p.widget, nullptr);
        EXPECT_EQ(p.widget->geometry(), du.Rect(p.x, p.y, p.width, p.height)) << p.x << "," << p.y;
    }
    EXPECT_EQ(d.dlg->m_comboMode->pos(), QPoint(du.X(10), du.Y(16)));
    EXPECT_EQ(d.dlg->m_comboMode->width(), du.X(160) - du.X(10));
    // Tab order is template order.
    QList<QWidget*> order{d.dlg->m_checkBeep, d.dlg->m_buttonOK, d.dlg->m_comboMode, d.dlg->m_editFrom,
                          d.dlg->m_editTo};
    for (int i = 0; i + 1 < order.size(); ++i) {
        QWidget* next = order[i]->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        EXPECT_EQ(next, order[i + 1]) << i;
    }
}

} // namespace
