#include "support/ModalAnswer.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <memory>

QObject &ModalWaiters()
{
    static QObject waiters;
    return waiters;
}

void WhenModal(const char *className, std::function<void(QWidget *)> action)
{
    auto *timer = new QTimer(&ModalWaiters());
    timer->setInterval(10);
    auto remaining = std::make_shared<int>(500);
    QObject::connect(timer, &QTimer::timeout, [timer, className, action, remaining] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->inherits(className) && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        } else if (--*remaining <= 0) {
            timer->stop();
            timer->deleteLater();
            if (modal)
                modal->close();
        }
    });
    timer->start();
}
