// The main window with the full record (1000 lines, three places): "登録", showing the
// record, and one typed value in the full grid.
#include "suite/Suite.h"

#include "app/uSpread.h"
#include "measure/fEditDekigata.h"
#include "measure/uKelmo4Head.h"
#include "common/BenchClock.h"
#include "common/BenchData.h"
#include "common/RawPq.h"
#include "common/RawSqlite.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// The lines the baselines write, the same texts as the full record's.
constexpr int kBaselineKid = 900000;
constexpr int kRemarkColumn = 12;

// On the tables the alias names now.
std::unique_ptr<TfrmEditDekigata> WindowWithFullRecordHere()
{
    auto window = std::make_unique<TfrmEditDekigata>();
    window->Head()->LoadByID(SuiteData().FullRecordId);
    window->HeaderToForm();
    window->LoadLinesToGrid();
    window->ShowGridTotals();
    return window;
}

std::unique_ptr<TfrmEditDekigata> WindowWithFullRecord()
{
    UseFolder(SuiteData().Full);
    return WindowWithFullRecordHere();
}

void BindText(sqlite3_stmt *stmt, int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void BM_Register(benchmark::State &state)
{
    auto window = WindowWithFullRecord();
    const QList<TKel4LineRow> rows = BenchData::MakeLines(1000, 0, 7);
    TRawSqlite raw(SuiteData().Full, {u"Kel4Line"_s});
    TRawStatement remove(raw, "delete from Kel4Line where KID=?");
    TRawStatement insert(raw, "insert into Kel4Line (KID,LNO,SOKUTEN,ITI,L0,L1,L2,C0,C1,C2,R0,R1,R2,BIKO) "
                              "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    TSpreadModel *model = window->vaSpread1->Model();
    int round = 0;
    RunAgainstBaseline(
        state,
        [&] {
            // Every line differs from the stored one, as after typing a new record, so that
            // "登録" writes all 1000 lines as the baseline does.
            ++round;
            const QString remark = u"確認%1"_s.arg(round % 2);
            model->BeginUpdate();
            for (int row = 1; row <= 1000; ++row)
                model->SetText(kRemarkColumn, row, remark);
            model->EndUpdate();
        },
        [&] { window->Register(); },
        [&] {
            raw.Exec("BEGIN");
            sqlite3_bind_int(*remove, 1, kBaselineKid);
            sqlite3_step(*remove);
            sqlite3_reset(*remove);
            for (const TKel4LineRow &row : rows) {
                sqlite3_bind_int(*insert, 1, kBaselineKid);
                sqlite3_bind_int(*insert, 2, row.LNO);
                for (int i = 0; i < TKel4LineRow::CellCount; ++i)
                    BindText(*insert, i + 3, row.Cells[size_t(i)]);
                if (sqlite3_step(*insert) != SQLITE_DONE)
                    std::fprintf(stderr, "baseline insert: %s\n", sqlite3_errmsg(raw.Handle()));
                sqlite3_reset(*insert);
            }
            raw.Exec("COMMIT");
        });
    // The baseline's rows go again, so they do not weigh on the other benchmarks.
    raw.Exec("delete from Kel4Line where KID=900000");
}

// The same 「登録」 with the full record's folder copied to the local server, against the
// same statements on libpq in one transaction.
void BM_RegisterServer(benchmark::State &state)
{
    QString error;
    const TDataSource server = ServerCopy(SuiteData().Full, &error);
    if (!server.IsServer()) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    UseServer(server);
    try {
        auto window = WindowWithFullRecordHere();
        const QList<TKel4LineRow> rows = BenchData::MakeLines(1000, 0, 7);
        TRawPq raw(server);
        TPqStatement remove(raw, "delete from kel4line where kid=$1");
        TPqStatement insert(raw, "insert into kel4line (kid,lno,sokuten,iti,l0,l1,l2,c0,c1,c2,r0,r1,r2,biko) "
                                 "values ($1,$2,$3,$4,$5,$6,$7,$8,$9,$10,$11,$12,$13,$14)");
        const QByteArray kid = QByteArray::number(kBaselineKid);
        TSpreadModel *model = window->vaSpread1->Model();
        int round = 0;
        QString remark;
        const auto typeRemarks = [&] {
            ++round;
            remark = u"確認%1"_s.arg(round % 2);
            model->BeginUpdate();
            for (int row = 1; row <= 1000; ++row)
                model->SetText(kRemarkColumn, row, remark);
            model->EndUpdate();
        };
        const auto baseline = [&] {
            raw.Exec("BEGIN");
            remove.Run({kid.constData()});
            QList<QByteArray> values(2 + TKel4LineRow::CellCount);
            values[0] = kid;
            for (const TKel4LineRow &row : rows) {
                values[1] = QByteArray::number(row.LNO);
                for (int i = 0; i < TKel4LineRow::CellCount; ++i)
                    values[i + 2] = row.Cells[size_t(i)].toUtf8();
                insert.Run(values);
            }
            raw.Exec("COMMIT");
        };
        // A new connection prepares each statement on the server at its first use (two
        // round trips): one round outside the time, for ours and the baseline alike.
        typeRemarks();
        window->Register();
        baseline();
        RunAgainstBaseline(state, typeRemarks, [&] { window->Register(); }, baseline);
        // Both must have stored what they were given: ours the last remark on every line.
        const QByteArray id = QByteArray::number(SuiteData().FullRecordId);
        const QByteArray last = remark.toUtf8();
        TPqStatement count(raw, "select count(*), count(*) filter (where biko=$2) from kel4line where kid=$1");
        const TPqResult ours = count.Run({id.constData(), last.constData()});
        const TPqResult base = count.Run({kid.constData(), last.constData()});
        raw.Exec("delete from kel4line where kid=900000");
        if (std::atoi(ours.Value(0, 0)) != 1000 || std::atoi(ours.Value(0, 1)) != 1000)
            state.SkipWithError("the server does not hold the 1000 registered lines with the typed remark");
        else if (std::atoi(base.Value(0, 0)) != 1000)
            state.SkipWithError("the baseline did not store its 1000 lines");
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
    EndServer();
}

void BM_ShowRecord(benchmark::State &state)
{
    auto window = WindowWithFullRecord();
    TRawSqlite raw(SuiteData().Full, {u"Kel4Line"_s});
    TRawStatement select(raw, "select * from Kel4Line where KID=? order by LNO");
    qint64 bytes = 0;
    TSpreadModel *model = window->vaSpread1->Model();
    RunAgainstBaseline(
        state,
        // The grid comes from another record (here: an empty one), so every cell is written.
        [&] { model->ClearTexts(window->vaSpread1->AllCells()); },
        [&] {
            window->Head()->FindByKey();
            window->LoadLinesToGrid();
            window->ShowGridTotals();
        },
        [&] {
            sqlite3_bind_int(*select, 1, SuiteData().FullRecordId);
            while (sqlite3_step(*select) == SQLITE_ROW) {
                for (int c = 0; c < 14; ++c) {
                    sqlite3_column_text(*select, c);
                    bytes += sqlite3_column_bytes(*select, c);
                }
            }
            sqlite3_reset(*select);
        });
    benchmark::DoNotOptimize(bytes);
    if (window->vaSpread1->Model()->Text(1, 1000).isEmpty())
        state.SkipWithError("the grid was not filled");
}

void BM_GridEdit(benchmark::State &state)
{
    auto window = WindowWithFullRecord();
    TSpreadModel *model = window->vaSpread1->Model();
    char buffer[64];
    double sink = 0;
    int edit = 0;
    RunAgainstBaseline(
        state,
        [&] {
            // A typed centre measured value: the user's path through the grid's model.
            const int row = 1 + (edit * 37) % 1000;
            const QString value = QString::number(12.345 + (row - 1) * 0.1 + (edit % 9 - 4) * 0.001, 'f', 3);
            model->setData(model->index(row - 1, 6), value, Qt::EditRole);
            ++edit;
        },
        [&] {
            for (int i = 0; i < 6000; ++i) {
                const int n = std::snprintf(buffer, sizeof buffer, "%.3f", 12.345 + i * 0.001);
                sink += n + buffer[0];
            }
        });
    benchmark::DoNotOptimize(sink);
    // The last typed value must have gone through the computation: design and measured
    // differ by whole millimetres.
    const int last = edit - 1;
    if (last >= 0 && model->Text(8, 1 + (last * 37) % 1000) != QString::number(last % 9 - 4))
        state.SkipWithError("the typed value computed no difference");
}

} // namespace

BENCHMARK(BM_Register)->Name("Register1000")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RegisterServer)->Name("Register1000Server")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ShowRecord)->Name("ShowRecord1000")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_GridEdit)->Name("GridEdit")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(100);
