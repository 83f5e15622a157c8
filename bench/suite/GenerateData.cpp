// Makes a data folder for trying the program or the benchmarks by hand:
//   kelmo4-benchdata FOLDER small|large|huge|full|batch
// FOLDER is created when missing; point the environment window's data folder at it.
#include "app/uDatabase.h"
#include "app/Errors.h"
#include "common/BenchData.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QStringList kinds = {u"small"_s, u"large"_s, u"huge"_s, u"full"_s, u"batch"_s};
    if (args.size() != 3 || !kinds.contains(args[2])) {
        std::fprintf(stderr, "usage: kelmo4-benchdata FOLDER small|large|huge|full|batch\n");
        return 2;
    }
    try {
        QDir().mkpath(args[1]);
        BenchData::MakeFolder(args[1], args[2]);
    } catch (const EKelmoError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
        return 1;
    }
    TDatabase::Close();
    return 0;
}
