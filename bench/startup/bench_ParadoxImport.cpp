// Times the take-over of a data folder with a large line table (LINES=100000 by default).
#include "support/ParadoxFixture.h"
#include "support/TestEnv.h"

#include "app/uDatabase.h"
#include "measure/uKelmo4Head.h"
#include "measure/uKelmo4Line.h"
#include "startup/uParadoxImport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int lines = qEnvironmentVariableIsEmpty("LINES") ? 100000 : qEnvironmentVariableIntValue("LINES");
    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);

    QElapsedTimer timer;
    timer.start();
    const QList<ParadoxFixture::TColumn> line = ParadoxFixture::ColumnsOf(TKelmo4Line::TableDef());
    QList<ParadoxFixture::TRow> rows;
    rows.reserve(lines);
    for (int i = 0; i < lines; ++i)
        rows.append({1 + i / 1000, i % 1000 + 1, u"No.%1"_s.arg(i), u"中央"_s, u"12.345"_s, u"12.350"_s, u"5"_s,
                     u"12.345"_s, u"12.352"_s, u"7"_s, u"-1.5"_s, u"-1.6"_s, u"-0.1"_s, u"令和６年１２月"_s});
    ParadoxFixture::Write(data + u"Kel4Line.db"_s, line, rows);
    const QList<ParadoxFixture::TColumn> head = ParadoxFixture::ColumnsOf(TKelmo4Head::TableDef());
    ParadoxFixture::Write(data + u"Kel4Head.db"_s, head, ParadoxFixture::SampleRows(head, lines / 1000 + 1));
    QTextStream out(stdout);
    out << "fixture written in " << timer.elapsed() << " ms, Kel4Line.db "
        << QFileInfo(data + u"Kel4Line.db"_s).size() << " bytes\n";
    out.flush();

    timer.restart();
    const TParadoxImportResult result = TParadoxImport(data).Run(true);
    out << "imported " << result.TotalRows() << " rows in " << timer.elapsed() << " ms\n";
    return 0;
}
