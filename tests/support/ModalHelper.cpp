#include "ModalHelper.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>

#include <gtest/gtest.h>

void WhenModal(std::function<void(QWidget*)> action, const QWidget* ignore, int timeoutMs) {
    auto* timer = new QTimer;
    auto deadline = QDeadlineTimer(timeoutMs);
    QObject::connect(timer, &QTimer::timeout, [timer, action, ignore, deadline] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != ignore && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        } else if (deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal window opened";
        }
    });
    timer->start(5);
}

MessageBoxRecorder::MessageBoxRecorder() {
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->isVisible()) {
            texts << box->text();
            captions << box->windowTitle();
            box->accept();
        }
    });
    m_timer.start(5);
}

MessageBoxRecorder::~MessageBoxRecorder() = default;

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}
