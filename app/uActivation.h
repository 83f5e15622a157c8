#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Runs a window's activation routine the way the user sees activation: when the window is
// shown, and when it becomes active again coming back from another non-modal window of the
// program. Coming back from a modal dialog (a colour or folder dialog it opened, a message,
// a preview) is not an activation, so what the user was editing stays.
class TActivationWatch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TActivationWatch)

public:
    TActivationWatch(QWidget *window, std::function<void()> activate);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    std::function<void()> m_activate;
    bool m_leftForModeless = false;
};
