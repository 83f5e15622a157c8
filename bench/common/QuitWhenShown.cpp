#include "common/QuitWhenShown.h"

#include "common/Monotonic.h"
#include "common/PeakMemory.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

class TShownWatch final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_done && event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (qobject_cast<QMainWindow *>(widget->window()) && widget->window()->isVisible()) {
                m_done = true;
                // After this paint pass has ended.
                QTimer::singleShot(0, [] {
                    std::printf("%.6f %ld\n", MonotonicSeconds(), PeakKiB());
                    std::fflush(stdout);
                    QCoreApplication::exit(0);
                });
            }
        }
        return false;
    }

private:
    bool m_done = false;
};

} // namespace

void QuitWhenMainWindowShown()
{
    QCoreApplication *app = QCoreApplication::instance();
    app->installEventFilter(new TShownWatch(app));
}
