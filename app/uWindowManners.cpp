#include "app/uWindowManners.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

using namespace Qt::Literals::StringLiterals;

TWindowManners::TWindowManners(QObject *parent)
    : QObject(parent)
{
}

void TWindowManners::Apply(QWidget *window) const
{
    QWindow *handle = window->windowHandle();
    if (!handle)
        return;
    // An empty title makes the window system fall back on the program's name; one blank
    // shows as nothing. Only the native window gets it: the caption stays empty.
    if (window->windowTitle().isEmpty() && handle->title().isEmpty())
        handle->setTitle(u" "_s);
    const Qt::WindowType type = window->windowType();
    if (type != Qt::Window && type != Qt::Dialog)
        return;
    if (!m_main || window == m_main || !m_main->windowHandle() || handle->transientParent())
        return;
    // Not a parent widget: the windows live side by side for the whole run and keep their
    // own fonts; only the window system learns who owns whom.
    handle->setTransientParent(m_main->windowHandle());
}

bool TWindowManners::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::WindowTitleChange) {
        if (watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->isWindow())
                Apply(widget);
        }
    }
    return QObject::eventFilter(watched, event);
}
