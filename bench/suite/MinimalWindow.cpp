// The baseline of the start-up benchmark: the least a Qt program does to show a main
// window with a title, a menu and a status bar.
#include "common/QuitWhenShown.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QuitWhenMainWindowShown();
    QMainWindow window;
    window.setWindowTitle(u"ケルモ４"_s);
    window.menuBar()->addMenu(u"ファイル"_s);
    window.statusBar()->showMessage(u"準備完了"_s);
    window.resize(1024, 740);
    window.show();
    return app.exec();
}
