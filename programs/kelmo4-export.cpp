#include "app/uApplication.h"
#include "startup/uExport.h"

#include <QApplication>
#include <QTextStream>
#include <cstdio>

namespace {

// Qt's own remarks (no runtime folder, platform plug-in notes) are no business of a user
// of the command line; our messages go to the streams directly. Set KELMO4_QT_MESSAGES to
// see them when looking for a fault.
void QuietQtMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg || qEnvironmentVariableIsSet("KELMO4_QT_MESSAGES"))
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(QuietQtMessages);
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
