#include "quiz/UpDownControl.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

UpDownControl::UpDownControl(QWidget* parent) : QWidget(parent) {
    m_buttonUp = new QToolButton(this);
    m_buttonDown = new QToolButton(this);
    for (QToolButton* button : {m_buttonUp, m_buttonDown}) {
        // The arrows are not a tab stop: the keyboard reaches them through the buddy's arrow keys.
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
    }
    m_buttonUp->setArrowType(Qt::UpArrow);
    m_buttonDown->setArrowType(Qt::DownArrow);
    connect(m_buttonUp, &QToolButton::clicked, this, [this] { Step(1); });
    connect(m_buttonDown, &QToolButton::clicked, this, [this] { Step(-1); });
}

void UpDownControl::SetBuddy(QLineEdit* buddy) {
    if (m_pBuddy)
        m_pBuddy->removeEventFilter(this);
    m_pBuddy = buddy;
    if (m_pBuddy)
        m_pBuddy->installEventFilter(this);
}

void UpDownControl::SetRange(int lower, int upper) {
    m_nLower = lower;
    m_nUpper = upper;
}

int UpDownControl::Clamp(int pos) const {
    return std::clamp(pos, std::min(m_nLower, m_nUpper), std::max(m_nLower, m_nUpper));
}

void UpDownControl::SetPos(int pos) {
    m_nPos = Clamp(pos);
    if (m_pBuddy)
        m_pBuddy->setText(QString::number(m_nPos));
}

int UpDownControl::GetPos() const {
    int value = 0;
    if (m_pBuddy && ReadFieldNumber(m_pBuddy->text(), value))
        return value;
    return m_nPos;
}

void UpDownControl::Step(int direction) {
    int step = m_nLower <= m_nUpper ? direction : -direction;
    SetPos(Clamp(GetPos()) + step);
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pBuddy && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            Step(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDownControl::resizeEvent(QResizeEvent*) {
    int upper = height() / 2;
    m_buttonUp->setGeometry(0, 0, width(), upper);
    m_buttonDown->setGeometry(0, upper, width(), height() - upper);
}

bool ReadFieldNumber(const QString& text, int& value) {
    QString trimmed = text.trimmed();
    int start = trimmed.startsWith(u'-') ? 1 : 0;
    if (trimmed.size() == start)
        return false;
    for (qsizetype i = start; i < trimmed.size(); ++i)
        if (trimmed[i] < u'0' || trimmed[i] > u'9')
            return false;
    bool ok = false;
    value = trimmed.toInt(&ok);
    return ok;
}
