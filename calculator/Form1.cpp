#include "Form1.h"

#include "NumberText.h"

#include <QAction>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QWindow>
#include <cmath>

namespace {

// Positions and sizes are laid out in twips; 15 twips are one pixel.
constexpr int Px(int twips) {
    return twips / 15;
}

QRect TwipRect(int left, int top, int width, int height) {
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

// The key codes Form_KeyDown looks at; every other key is 0.
std::int16_t KeyCode(const QKeyEvent* event) {
    const int key = event->key();
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    if (key == Qt::Key_Backspace)
        return 8;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return 13;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return (keypad ? 96 : 48) + (key - Qt::Key_0);
    if (keypad) {
        switch (key) {
        case Qt::Key_Asterisk:
            return 106;
        case Qt::Key_Plus:
            return 107;
        case Qt::Key_Minus:
            return 109;
        case Qt::Key_Slash:
            return 111;
        }
    }
    return 0;
}

// Whether the longest texts the display can show fit `width` in `font`: 15 significant digits
// with a sign and a three-digit exponent, or after "-0.000", each digit the widest of the font.
bool FitsLongestDisplay(const QFont& font, int width) {
    const QFontMetrics metrics(font);
    QChar widest = u'0';
    for (QChar digit = u'1'; digit <= u'9'; digit = QChar(digit.unicode() + 1)) {
        if (metrics.horizontalAdvance(digit) > metrics.horizontalAdvance(widest))
            widest = digit;
    }
    for (QString text : {QStringLiteral("-0.00000000000000E+000"), QStringLiteral("-0.000000000000000000")}) {
        text.replace(u'0', widest);
        if (metrics.horizontalAdvance(text) > width)
            return false;
    }
    return true;
}

std::int16_t ShiftState(const QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

} // namespace

Form1::Form1(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("簡易電卓"));

    auto* client = new QWidget(this);
    client->setFixedSize(Px(2595), Px(2685));
    setCentralWidget(client);

    Label1 = new QLabel(QStringLiteral("0"), client);
    Label1->setGeometry(TwipRect(360, 240, 1815, 255));
    // The display's font is the form's font at the largest size where the longest display text
    // still fits, so that an exponent is never cut off.
    QFont displayFont = Label1->font();
    while (displayFont.pointSizeF() > 1 && !FitsLongestDisplay(displayFont, Label1->width()))
        displayFont.setPointSizeF(displayFont.pointSizeF() - 0.5);
    Label1->setFont(displayFont);

    auto button = [client](const QString& caption, int left, int top) {
        auto* b = new QPushButton(caption, client);
        b->setGeometry(TwipRect(left, top, 375, 375));
        return b;
    };
    const int lefts[] = {240, 720, 1200, 1680};
    const int tops[] = {720, 1200, 1680, 2160};
    for (int digit = 1; digit <= 9; ++digit)
        Command1[digit] = button(QString::number(digit), lefts[(digit - 1) % 3], tops[2 - (digit - 1) / 3]);
    Command1[0] = button(QStringLiteral("0"), lefts[0], tops[3]);
    Command6 = button(QStringLiteral("/"), lefts[3], tops[0]);
    Command5 = button(QStringLiteral("*"), lefts[3], tops[1]);
    Command2 = button(QStringLiteral("+"), lefts[3], tops[2]);
    Command7 = button(QStringLiteral("CL"), lefts[1], tops[3]);
    Command4 = button(QStringLiteral("="), lefts[2], tops[3]);
    Command3 = button(QStringLiteral("-"), lefts[3], tops[3]);

    for (std::int16_t digit = 0; digit <= 9; ++digit)
        connect(Command1[digit], &QPushButton::clicked, this, [this, digit] { Command1_Click(digit); });
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);

    d_close = menuBar()->addAction(QStringLiteral("閉じる"));
    connect(d_close, &QAction::triggered, this, &Form1::d_close_Click);

    // The border is fixed: the keypad is laid out for exactly this client area.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Key preview: the form's window sees every key press before the focused control gets it.
    // Keys reach the window once each, while a filter on the widgets would see a key again as
    // it travels up from a control that does not take it.
    winId();
    windowHandle()->installEventFilter(this);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        Form_KeyDown(KeyCode(key), ShiftState(key));
    }
    return QMainWindow::eventFilter(watched, event);
}

bool Form1::ShowsError() const {
    return Label1->text() == QLatin1String("E");
}

void Form1::ShowError() {
    Label1->setText(QStringLiteral("E"));
}

bool Form1::ReadDisplay(double& value) {
    const std::optional<double> number = NumberText::ToNumber(Label1->text().toStdString());
    if (!number) {
        ShowError();
        return false;
    }
    value = *number;
    return true;
}

bool Form1::ShowNumber(double value) {
    if (!std::isfinite(value)) {
        ShowError();
        return false;
    }
    Label1->setText(QString::fromStdString(NumberText::ToText(value)));
    return true;
}

bool Form1::sel() {
    if (pending_op == 0)
        return true;
    double x = 0;
    if (!ReadDisplay(x))
        return false;
    switch (pending_op) {
    case 1:
        return ShowNumber(acc + x);
    case 2:
        return ShowNumber(acc - x);
    case 3:
        return ShowNumber(acc * x);
    case 4:
        if (x == 0) {
            ShowError();
            return false;
        }
        return ShowNumber(acc / x);
    }
    return true;
}

// The display, a blank and the digit, read back with the lenient scan: "0" and 5 give 5, "12"
// and 5 give 125, and after the exponent form the digit joins the exponent.
void Form1::AppendDigit(int digit) {
    const std::string joined = Label1->text().toStdString() + NumberText::ToTextWithSignBlank(digit);
    const std::optional<double> number = NumberText::ScanNumber(joined);
    if (!number) {
        ShowError();
        return;
    }
    ShowNumber(*number);
}

void Form1::ApplyOperator(std::int16_t op) {
    if (ShowsError())
        return;
    if (!sel())
        return;
    if (!ReadDisplay(acc))
        return;
    pending_op = op;
    entry_mode = 1;
}

void Form1::Command1_Click(std::int16_t index) {
    if (ShowsError())
        return;
    if (entry_mode == 1) {
        Label1->setText(QString());
        entry_mode = 2;
    }
    AppendDigit(index);
}

void Form1::Command2_Click() {
    ApplyOperator(1);
}

void Form1::Command3_Click() {
    ApplyOperator(2);
}

void Form1::Command4_Click() {
    if (ShowsError() || entry_mode != 2)
        return;
    if (!sel())
        return;
    entry_mode = 1;
    pending_op = 0;
    ReadDisplay(acc);
}

void Form1::Command5_Click() {
    ApplyOperator(3);
}

void Form1::Command6_Click() {
    ApplyOperator(4);
}

void Form1::Command7_Click() {
    Label1->setText(QStringLiteral("0"));
    pending_op = 0;
    entry_mode = 0;
}

void Form1::d_close_Click() {
    close();
}

void Form1::Form_KeyDown(std::int16_t keycode, std::int16_t /*shift*/) {
    if (ShowsError()) {
        if (keycode == 8)
            Command7_Click();
        return;
    }
    if (entry_mode == 1) {
        Label1->setText(QString());
        entry_mode = 2;
    }
    switch (keycode) {
    case 8:
        Command7_Click();
        break;
    case 13:
        Command4_Click();
        break;
    case 106:
        Command5_Click();
        break;
    case 107:
        Command2_Click();
        break;
    case 109:
        Command3_Click();
        break;
    case 111:
        Command6_Click();
        break;
    default:
        if (keycode >= 96 && keycode <= 105)
            AppendDigit(keycode - 96);
        break;
    }
}
