#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// The up-down control of a dialog template: an up and a down arrow beside a buddy edit field.
// Each step reads the number in the buddy, moves it by one within the range and writes it back
// into the buddy as a decimal number; the Up and Down keys in the buddy do the same. The buddy
// stays a plain edit field that takes any text, so the dialog's own rules and its validation at
// OK see exactly what the learner typed.
class UpDownControl : public QWidget {
public:
    explicit UpDownControl(QWidget* parent);

    void SetBuddy(QLineEdit* buddy);
    // A range whose lower end is above its upper end is kept; the up arrow then counts down.
    void SetRange(int lower, int upper);
    // Writes pos, brought into the range, into the buddy.
    void SetPos(int pos);
    // The buddy's number, or the last position written when the buddy holds no number.
    int GetPos() const;
    // One step of the up arrow (+1) or the down arrow (-1).
    void Step(int direction);

    QToolButton* m_buttonUp;
    QToolButton* m_buttonDown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int Clamp(int pos) const;

    QLineEdit* m_pBuddy = nullptr;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nPos = 0;
};

// The number an edit field holds: optional blanks, an optional minus sign, decimal digits,
// optional blanks. False for anything else, an empty field included.
bool ReadFieldNumber(const QString& text, int& value);
