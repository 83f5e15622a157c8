// The second program of the concurrency test: loads one kind of data through the program's
// own classes, changes it and saves it (or deletes it), then reports on standard output.
//   helper_saver <kind> <key> <value>     load, change, save
//   helper_saver <kind> <key> --delete    load, delete
#include "app/Errors.h"
#include "support/ConcurrentSaves.h"

#include <QApplication>
#include <QStandardPaths>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv); // the summary table is saved through its window
    QStandardPaths::setTestModeEnabled(true);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: helper_saver <kind> <key> <value>|--delete\n");
        return 2;
    }
    const std::unique_ptr<TConcurrentSaver> saver = TConcurrentSaver::Make(args.at(1));
    if (!saver) {
        std::fprintf(stderr, "unknown kind\n");
        return 2;
    }
    try {
        saver->Load(args.at(2));
        if (args.at(3) == u"--delete"_s) {
            saver->Delete();
        } else {
            saver->Change(args.at(3));
            saver->Save();
        }
        std::printf("saved\n");
        return 0;
    } catch (const EKelmoError &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
