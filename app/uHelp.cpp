#include "app/uHelp.h"

#include "app/AppPaths.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPointer>
#include <QUrl>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr const char *kHelpPage = "kelmo4HelpPage";

void SetPage(QWidget *window, const QString &page)
{
    if (window)
        window->setProperty(kHelpPage, page);
}

bool OpenPage(const QString &file)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

class THelpKeyFilter final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress
            || static_cast<QKeyEvent *>(event)->key() != Qt::Key_F1
            || static_cast<QKeyEvent *>(event)->modifiers() != Qt::NoModifier)
            return false;
        QWidget *widget = qobject_cast<QWidget *>(watched);
        if (!widget)
            return false;
        ShowHelpFor(widget->window());
        return true;
    }
};

} // namespace

void SetHelpContext(QWidget *window, int context)
{
    SetPage(window, u"context-%1.html"_s.arg(context));
}

void SetHelpTopic(QWidget *window, const QString &topic)
{
    SetPage(window, topic + u".html"_s);
}

QString HelpPageFile(const QWidget *window)
{
    const QString folder = AppPaths::HelpFolder();
    for (const QWidget *w = window; w; w = w->parentWidget()) {
        const QString page = w->property(kHelpPage).toString();
        if (page.isEmpty())
            continue;
        const QString file = folder + u'/' + page;
        if (QFileInfo::exists(file))
            return file;
    }
    return folder + u"/index.html"_s;
}

bool ShowHelpFor(const QWidget *window)
{
    return OpenPage(HelpPageFile(window));
}

bool ShowHelpIndex()
{
    return OpenPage(AppPaths::HelpFolder() + u"/index.html"_s);
}

void InstallHelpKey()
{
    static QPointer<THelpKeyFilter> filter;
    if (filter || !qApp)
        return;
    filter = new THelpKeyFilter(qApp);
    qApp->installEventFilter(filter);
}
