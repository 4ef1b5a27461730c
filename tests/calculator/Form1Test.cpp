#include "Form1.h"

#include <QAction>
#include <QFontMetrics>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <cctype>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    // Presses a key on the form's window, the way the window system delivers it.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(form.windowHandle(), key, modifiers);
    }

    // One step: a button caption ("7", "+", "CL"), a numeric-keypad key ("k7", "k+", "Enter"), a
    // main-keyboard digit ("m5"), "Ret" (the main Enter), "BS" (Backspace) or "NumLock".
    void Press(const std::string& step) {
        const std::map<std::string, QPushButton*> buttons = {
            {"+", form.Command2}, {"-", form.Command3}, {"=", form.Command4},
            {"*", form.Command5}, {"/", form.Command6}, {"CL", form.Command7},
        };
        const std::map<std::string, Qt::Key> keys = {
            {"Enter", Qt::Key_Enter},     {"Ret", Qt::Key_Return}, {"BS", Qt::Key_Backspace},
            {"NumLock", Qt::Key_NumLock}, {"k+", Qt::Key_Plus},    {"k-", Qt::Key_Minus},
            {"k*", Qt::Key_Asterisk},     {"k/", Qt::Key_Slash},
        };
        if (step.size() == 1 && std::isdigit(step[0]))
            QTest::mouseClick(form.Command1[step[0] - '0'], Qt::LeftButton);
        else if (buttons.count(step))
            QTest::mouseClick(buttons.at(step), Qt::LeftButton);
        else if (step.size() == 2 && step[0] == 'k' && std::isdigit(step[1]))
            Key(Qt::Key(Qt::Key_0 + step[1] - '0'), Qt::KeypadModifier);
        else if (step.size() == 2 && step[0] == 'm' && std::isdigit(step[1]))
            Key(Qt::Key(Qt::Key_0 + step[1] - '0'));
        else if (step == "Enter" || step.starts_with("k"))
            Key(keys.at(step), Qt::KeypadModifier);
        else
            Key(keys.at(step));
    }

    std::string Display() const { return form.Label1->text().toStdString(); }

    Form1 form;
};

TEST_F(Form1Test, ShowsTheFormWithItsKeypadOnTheTwipGrid) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("簡易電卓"));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.centralWidget()->size(), QSize(173, 179));
    EXPECT_EQ(form.Label1->geometry(), QRect(24, 16, 121, 17));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("0"));
    // Nothing of the widest display is cut off, exponent included.
    EXPECT_LE(QFontMetrics(form.Label1->font()).horizontalAdvance(QStringLiteral("-1.79769313486232E+308")),
              form.Label1->width());

    const struct {
        QPushButton* button;
        const char* caption;
        int left, top;
    } keypad[] = {
        {form.Command1[7], "7", 16, 48},  {form.Command1[8], "8", 48, 48},  {form.Command1[9], "9", 80, 48},
        {form.Command6, "/", 112, 48},    {form.Command1[4], "4", 16, 80},  {form.Command1[5], "5", 48, 80},
        {form.Command1[6], "6", 80, 80},  {form.Command5, "*", 112, 80},    {form.Command1[1], "1", 16, 112},
        {form.Command1[2], "2", 48, 112}, {form.Command1[3], "3", 80, 112}, {form.Command2, "+", 112, 112},
        {form.Command1[0], "0", 16, 144}, {form.Command7, "CL", 48, 144},   {form.Command4, "=", 80, 144},
        {form.Command3, "-", 112, 144},
    };
    for (const auto& key : keypad) {
        EXPECT_EQ(key.button->text(), QString::fromLatin1(key.caption));
        EXPECT_EQ(key.button->geometry(), QRect(key.left, key.top, 25, 25)) << key.caption;
    }

    const QList<QAction*> menu = form.menuBar()->actions();
    ASSERT_EQ(menu.size(), 1);
    EXPECT_EQ(menu[0], form.d_close);
    EXPECT_EQ(menu[0]->text(), QStringLiteral("閉じる"));
}

TEST_F(Form1Test, CloseMenuClosesTheWindow) {
    form.d_close->trigger();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(Form1Test, ClearKeepsTheAccumulatorButDropsThePendingOperation) {
    for (const char* step : {"5", "+", "3", "CL"})
        Press(step);
    EXPECT_EQ(form.acc, 5);
    EXPECT_EQ(form.pending_op, 0);
    EXPECT_EQ(form.entry_mode, 0);
}

// Keys go to the form first and then on to the focused control: in mode 1 a Space on a focused
// digit button empties the display and then clicks the button.
TEST_F(Form1Test, KeyStillReachesTheFocusedControl) {
    Press("4");
    Press("+");
    form.activateWindow();
    form.Command1[3]->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.Command1[3]->hasFocus(); }, 2000));
    QSignalSpy clicked(form.Command1[3], &QPushButton::clicked);
    Key(Qt::Key_Space);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(Display(), "3");
    EXPECT_EQ(form.entry_mode, 2);
}

struct Sequence {
    const char* name;
    const char* steps;
    const char* displays; // the display after each step; "_" is an empty display
};

void PrintTo(const Sequence& sequence, std::ostream* out) {
    *out << '"' << sequence.steps << '"';
}

class Form1Sequence : public Form1Test, public ::testing::WithParamInterface<Sequence> {};

TEST_P(Form1Sequence, ShowsTheExpectedDisplayAfterEachStep) {
    const std::vector<std::string> steps = Words(GetParam().steps);
    const std::vector<std::string> displays = Words(GetParam().displays);
    ASSERT_EQ(steps.size(), displays.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        Press(steps[i]);
        EXPECT_EQ(Display(), displays[i] == "_" ? "" : displays[i])
            << "after step " << i + 1 << " " << steps[i];
    }
}

const Sequence sequences[] = {
    {"ChainedAdditions", "1 2 + 3 = + 4 =", "1 12 12 3 15 15 4 19"},
    {"SecondPlusAddsTheDisplay", "5 + +", "5 5 10"},
    {"LeftToRight", "8 - 3 * 2 =", "8 8 3 5 2 10"},
    {"Division", "7 / 2 =", "7 7 2 3.5"},
    {"EqualsAfterOperatorOrTwiceDoesNothing", "6 + = = 1 = =", "6 6 6 6 1 7 7"},
    {"NegativeResultThenDigit", "3 - 8 = 2", "3 3 8 -5 2"},
    {"DigitsAfterClearReplaceTheZeroAndEqualsWaits", "5 + 3 CL 4 = + 1 =", "5 5 3 0 4 4 4 1 5"},
    {"SixteenthDigitGoesToExponentForm", "1 2 3 4 5 6 7 8 9 0 1 2 3 4 5 6 7 8 CL",
     "1 12 123 1234 12345 123456 1234567 12345678 123456789 1234567890 12345678901 123456789012 "
     "1234567890123 12345678901234 123456789012345 1.23456789012346E+15 1.23456789012346E+157 E 0"},
    {"KeypadOperatorsAndEnter", "k8 k- k3 k* k2 k/ k5 k+ k1 Enter", "8 8 3 5 2 10 5 2 1 3"},
    {"MainEnterIsEquals", "k9 k- k4 Ret", "9 9 4 5"},
    {"BackspaceClears", "k7 BS 5 + BS 3 =", "7 0 5 5 0 3 3"},
    {"MainKeyboardDigitsDoNothing", "4 m5 + NumLock k5 =", "4 4 4 _ 5 9"},
    {"DivisionByZeroShowsEUntilClear",
     "5 / 0 = 3 k3 + = k+ Enter CL 2 + 2 =", "5 5 0 E E E E E E E 0 2 2 2 4"},
    {"ZeroByZero", "/ 0 = BS", "0 0 E 0"},
    {"ResultOverflowShowsE", "1 0 * * * * * * * * * * k1 BS",
     "1 10 10 100 10000 100000000 1E+16 1E+32 1E+64 1E+128 1E+256 E E 0"},
    {"EmptyDisplayReadByEquals", "4 + m5 = 3 CL", "4 4 _ E E 0"},
    {"EmptyDisplayReadByKeypadOperator", "4 + k*", "4 4 E"},
    {"EmptyDisplayReadByEnterAfterEquals", "2 + 2 = Enter BS", "2 2 2 4 E 0"},
};

INSTANTIATE_TEST_SUITE_P(Calculator, Form1Sequence, ::testing::ValuesIn(sequences),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
