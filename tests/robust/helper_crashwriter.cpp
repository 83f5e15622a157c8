// Writes one kind of replacement over and over until it is killed, reporting on standard
// output the number of every version that has been committed. The crash-safety test kills
// it at random moments and checks that the tables hold exactly one whole version.
#include "app/Errors.h"
#include "measure/uKelmo4Head.h"
#include "measure/uKelmo4Line.h"
#include "registers/uHacchusya.h"
#include "roadplan/uFormationHeight.h"
#include "sheets/uDekigataTorimatome.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uSimei.h"
#include "registers/uUkeoisya.h"
#include "registers/uKosyu.h"
#include "registers/ukouku.h"
#include "sheets/fEditDekigataTorimatome.h"
#include "app/uSpread.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QStandardPaths>
#include <QStringList>

#include <cstdio>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int kLineCount = 1000;

QList<TKel4LineRow> LinesOfVersion(int version)
{
    QList<TKel4LineRow> rows;
    rows.reserve(kLineCount);
    for (int i = 1; i <= kLineCount; ++i) {
        TKel4LineRow row;
        row.LNO = i;
        row.Cells[0] = u"No."_s + QString::number(i);
        row.Cells[5] = u"10.000"_s;
        row.Cells[6] = QString::number(version);
        row.Cells[7] = u"v"_s + QString::number(version);
        rows.append(row);
    }
    return rows;
}

QStringList NamesOfVersion(int version, int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names.append(u"v%1-%2"_s.arg(version).arg(i));
    return names;
}

// The program creates every missing table as its windows are created; do the same.
void CreateTables()
{
    TKelmo4Head head;
    head.CreateTableIfMissing();
    TKelmo4Line().CreateTableIfMissing();
    head.Kikakuti->CreateTableIfMissing();
    head.Koji->CreateTableIfMissing();
    head.Kosyu->CreateTableIfMissing();
    head.Kouku->CreateTableIfMissing();
    head.Simei->CreateTableIfMissing();
    TUkeoisya().CreateTableIfMissing();
    THacchusya().CreateTableIfMissing();
    TFormationHeight().CreateTableIfMissing();
    TDekigataTorimatome().CreateTableIfMissing();
}

void Report(int version)
{
    std::printf("%d\n", version);
    std::fflush(stdout);
}

// The summary window's "登録" over a full grid: every row names the version it belongs to.
[[noreturn]] void RegisterGridForever(int first)
{
    TKoji koji;
    koji.Code = u"K1"_s;
    koji.Kojimei = u"舗装工事"_s;
    koji.Save();
    TfrmEditDekigataTorimatome window;
    window.Edit1->setText(u"K1:舗装工事"_s);
    TSpread *grid = window.vaSpread1;
    for (int version = first;; ++version) {
        for (int r = 1; r <= TfrmEditDekigataTorimatome::kRows; ++r) {
            grid->SetCellText(1, r, u"v%1-%2"_s.arg(version).arg(r));
            grid->SetCellText(2, r, u"高さ"_s);
            grid->SetCellText(3, r, u"1工区"_s);
            grid->SetCellText(4, r, u"±30"_s);
            grid->SetCellText(7, r, QString::number(r));
            grid->SetCellText(11, r, u"v"_s + QString::number(version));
        }
        window.SaveGrid();
        Report(version);
    }
}
} // namespace

int main(int argc, char **argv)
{
    const bool widgets = argc > 1 && qstrcmp(argv[1], "grid") == 0;
    if (widgets && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app = widgets ? std::make_unique<QApplication>(argc, argv)
                                                    : std::make_unique<QCoreApplication>(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const QString mode = app->arguments().value(1);
    // Each run continues the numbering, so a version is never written twice.
    const int first = qMax(1, app->arguments().value(2).toInt());
    CreateTables();
    if (mode == u"grid"_s)
        RegisterGridForever(first);
    if (mode == u"lines"_s) {
        TKelmo4Head head;
        TKelmo4Line line;
        head.Koji->Code = u"K1"_s;
        head.Kosyu->Kosyumei = u"路盤工"_s;
        head.Kouku->Koukumei = u"#"_s;
        head.SokuteiKoumoku = u"高さ"_s;
        head.Save();
        for (int version = first;; ++version) {
            line.ReplaceLines(head.ID, LinesOfVersion(version));
            Report(version);
        }
    }
    if (mode == u"once"_s) {
        // One rewrite, for the test of two programs sharing a folder.
        try {
            TKosyu kosyu;
            kosyu.RewriteList(NamesOfVersion(first, 10));
            Report(first);
            return 0;
        } catch (const EKelmoError &e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
    }
    if (mode == u"lines-once"_s) {
        // One replacement that reads the stored lines before it writes, for the same test.
        try {
            TKelmo4Line().ReplaceLines(1, LinesOfVersion(first));
            Report(first);
            return 0;
        } catch (const EKelmoError &e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
    }
    if (mode == u"roadplan"_s) {
        for (int version = first;; ++version) {
            TPlanCells plan;
            for (int row = 1; row <= PlanLayout::RowCount; ++row) {
                plan.SetCell(PlanLayout::StationColumn, row, u"v%1-%2"_s.arg(version).arg(row));
                plan.SetCell(PlanLayout::CentreHeightColumn, row, u"12.5"_s);
            }
            FormationPlan::SavePlan(u"K1"_s, plan);
            Report(version);
        }
    }
    if (mode == u"summary"_s) {
        // Fifty records of a registered work type and section, summarised again and again.
        TKosyu kosyu;
        kosyu.RewriteList({u"路盤工"_s});
        TKouku kouku;
        kouku.Koji->Code = u"K1"_s;
        kouku.RewriteList({u"1工区"_s});
        TKelmo4Head head;
        head.Koji->Code = u"K1"_s;
        head.Kosyu->Kosyumei = u"路盤工"_s;
        head.Kouku->Koukumei = u"1工区"_s;
        head.Yukou = u"1"_s;
        head.Heikin = u"1"_s;
        for (int i = 1; i <= 50; ++i) {
            head.ID = 0;
            head.SokuteiKoumoku = u"項目%1"_s.arg(i);
            head.Save();
        }
        TDekigataTorimatome summary;
        summary.Koji->Code = u"K1"_s;
        for (int version = first;; ++version) {
            summary.BuildFromMeasurements();
            Report(version);
        }
    }
    if (mode == u"kosyu"_s) {
        TKosyu kosyu;
        for (int version = first;; ++version) {
            kosyu.RewriteList(NamesOfVersion(version, 200));
            Report(version);
        }
    }
    if (mode == u"kouku"_s) {
        TKouku kouku;
        kouku.Koji->Code = u"K1"_s;
        for (int version = first;; ++version) {
            kouku.RewriteList(NamesOfVersion(version, 200));
            Report(version);
        }
    }
    std::fprintf(stderr, "unknown mode\n");
    return 2;
}
