#pragma once

#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs `action` on the next modal widget (dialog or message box) that becomes active and is not
// `ignore`, from the event loop. Gives up after `timeoutMs` and marks the test failed.
void WhenModal(std::function<void(QWidget*)> action, const QWidget* ignore = nullptr, int timeoutMs = 5000);

// While it lives, answers every message box that opens with OK and keeps its text.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    QStringList texts;
    QStringList captions;

private:
    QTimer m_timer;
};

// Spins the event loop until `condition` holds or `timeoutMs` passes; returns the condition.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000);
