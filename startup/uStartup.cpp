#include "startup/uStartup.h"

#include "app/AppPaths.h"
#include "app/uApplication.h"
#include "charts/uChartPrint.h"

#include <QMainWindow>

using namespace Qt::Literals::StringLiterals;

int RunKelmo4(int argc, char **argv)
{
    TKelmoApplication app(argc, argv);
    AppPaths::EnterWorkingFolder();
    PlugChartPrintRoutines();
    QMainWindow window;
    window.setWindowTitle(u"ケルモ４"_s);
    window.show();
    return app.exec();
}
