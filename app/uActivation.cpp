#include "app/uActivation.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

TActivationWatch::TActivationWatch(QWidget *window, std::function<void()> activate)
    : QObject(window)
    , m_window(window)
    , m_activate(std::move(activate))
{
    window->installEventFilter(this);
}

bool TActivationWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return false;
    if (event->type() == QEvent::Show && !event->spontaneous()) {
        m_leftForModeless = false;
        m_activate();
    } else if (event->type() == QEvent::ActivationChange) {
        if (m_window->isActiveWindow()) {
            if (std::exchange(m_leftForModeless, false))
                m_activate();
        } else {
            const QWidget *now = QApplication::activeWindow();
            m_leftForModeless = now && now != m_window && !now->isModal()
                && !(now->windowType() == Qt::Popup || now->windowType() == Qt::ToolTip);
        }
    }
    return false;
}
