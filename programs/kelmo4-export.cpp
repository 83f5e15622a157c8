#include "app/uApplication.h"
#include "startup/uExport.h"

#include <QApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char **argv)
{
    // No display needed: without one the pages are drawn offscreen.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kelmo4"));
    RegisterFontSubstitutions();
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    return RunExport(arguments, out, err);
}
