#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>

class QAction;
class QLabel;
class QPushButton;

// The calculator's only window. The display text is the working register: every operation reads
// its operand from Label1 and writes its result back as text. A failed operation (division by
// zero, a number beyond the range of a double, an empty display read as a number) shows "E";
// then only "CL" or Backspace does anything, and they clear as usual.
class Form1 : public QMainWindow {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

    void Command1_Click(std::int16_t index); // digit buttons, the index is the digit
    void Command2_Click();                   // +
    void Command3_Click();                   // -
    void Command4_Click();                   // =
    void Command5_Click();                   // *
    void Command6_Click();                   // /
    void Command7_Click();                   // CL
    void d_close_Click();
    void Form_KeyDown(std::int16_t keycode, std::int16_t shift);

    QLabel* Label1;
    std::array<QPushButton*, 10> Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command6;
    QPushButton* Command7;
    QAction* d_close;

    std::int16_t pending_op = 0; // 0 none, 1 add, 2 subtract, 3 multiply, 4 divide
    double acc = 0;              // left operand of pending_op
    std::int16_t entry_mode = 0; // 0 initial or cleared, 1 operator or "=" just applied, 2 typing

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool sel();
    void ApplyOperator(std::int16_t op);
    void AppendDigit(int digit);
    bool ReadDisplay(double& value);
    bool ShowNumber(double value);
    void ShowError();
    bool ShowsError() const;
};
