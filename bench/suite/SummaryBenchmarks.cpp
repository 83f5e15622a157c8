// "初期化" of the summary table for the large project (200 records × 100 lines).
#include "suite/Suite.h"

#include "app/uCommon.h"
#include "measure/uUnits.h"
#include "registers/uKoji.h"
#include "sheets/uDekigataTorimatome.h"
#include "common/BenchClock.h"
#include "common/RawSqlite.h"

#include <benchmark/benchmark.h>

#include <QString>

using namespace Qt::Literals::StringLiterals;

namespace {

// Figures of a difference column: NULL when empty, else its number.
#define KELMO4_DIFF(c) "case when l." c "<>'' then cast(l." c " as real) end"

// One pass over the project's headers and lines: count, sum, extremes per record, in the
// order of the summary table.
const char *const kFiguresSql =
    "select h.ID, h.KOSYUMEI, h.KOUKUMEI, h.SOKUTEIKOUMOKU, h.SATANNI, h.YUKOU, h.HEIKIN,"
    " h.JOGENKIKAKU, h.KAGENKIKAKU, k4.SOKUTEIKIJUN,"
    " sum((l.L2<>'')+(l.C2<>'')+(l.R2<>'')),"
    " total(coalesce(" KELMO4_DIFF("L2") ",0)+coalesce(" KELMO4_DIFF("C2") ",0)+coalesce(" KELMO4_DIFF("R2") ",0)),"
    " max(max(coalesce(" KELMO4_DIFF("L2") ",-1e12),coalesce(" KELMO4_DIFF("C2") ",-1e12),coalesce(" KELMO4_DIFF("R2") ",-1e12))),"
    " min(min(coalesce(" KELMO4_DIFF("L2") ",1e12),coalesce(" KELMO4_DIFF("C2") ",1e12),coalesce(" KELMO4_DIFF("R2") ",1e12)))"
    " from Kel4Head h"
    " inner join Kosyu4 s on s.KOSYUMEI=h.KOSYUMEI"
    " inner join Kouku u on u.KOJICODE=h.KOJICODE and u.KOUKUMEI=h.KOUKUMEI"
    " left join Koji1 j on j.CODE=h.KOJICODE"
    " left join Kikakuti4 k4 on k4.KUBUN=j.YOSHIKI and k4.KOSYUMEI=h.KOSYUMEI and k4.KOUMOKUMEI=h.SOKUTEIKOUMOKU"
    " left join Kel4Line l on l.KID=h.ID"
    " where h.KOJICODE=?"
    " group by h.ID"
    " order by u.ID, s.ID, h.SOKUTEIKOUMOKU";

QString Text(sqlite3_stmt *stmt, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)),
                             sqlite3_column_bytes(stmt, column));
}

void Bind(sqlite3_stmt *stmt, int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void BM_Initialize(benchmark::State &state)
{
    UseFolder(SuiteData().Large);
    TDekigataTorimatome summary;
    summary.CreateTableIfMissing();
    summary.Koji->LoadByCode(u"0002"_s);

    TRawSqlite raw(SuiteData().Large,
                   {u"Kel4Line"_s, u"Kosyu4"_s, u"Kouku"_s, u"Koji1"_s, u"Kikakuti4"_s, u"DekigataTorimatome4"_s});
    TRawStatement figures(raw, kFiguresSql);
    TRawStatement remove(raw, "delete from DekigataTorimatome4 where KOJICODE=?");
    TRawStatement insert(raw, "insert into DekigataTorimatome4 (KOJICODE,LNO,KOSYUMEI,KOMOKU,KOUKUMEI,KIJUN,"
                              "KIKAKUTI,SATANNI,KAISU,MAXVALUE,MINVALUE,AVGVALUE,BIKO) values (?,?,?,?,?,?,?,?,?,?,?,?,'')");
    int rows = 0;
    RunAgainstBaseline(
        state, [&] { summary.BuildFromMeasurements(); },
        [&] {
            raw.Exec("BEGIN");
            sqlite3_bind_text(*remove, 1, "0002", -1, SQLITE_STATIC);
            sqlite3_step(*remove);
            sqlite3_reset(*remove);
            sqlite3_bind_text(*figures, 1, "0002", -1, SQLITE_STATIC);
            int n = 0;
            while (sqlite3_step(*figures) == SQLITE_ROW) {
                ++n;
                const QString saTanni = Text(*figures, 4);
                const int count = sqlite3_column_int(*figures, 10);
                const double sum = sqlite3_column_double(*figures, 11);
                const int k = Dec(saTanni, Text(*figures, 5));
                const QString heikin = Text(*figures, 6);
                const int kAverage = TextToFloat(heikin) == 0 ? k : Dec(saTanni, heikin);
                sqlite3_bind_text(*insert, 1, "0002", -1, SQLITE_STATIC);
                sqlite3_bind_int(*insert, 2, n);
                Bind(*insert, 3, Text(*figures, 1));
                Bind(*insert, 4, Text(*figures, 3));
                Bind(*insert, 5, Text(*figures, 2));
                Bind(*insert, 6, Text(*figures, 9));
                Bind(*insert, 7, TDekigataTorimatome::LimitRangeText(Text(*figures, 7), Text(*figures, 8), saTanni));
                Bind(*insert, 8, saTanni);
                Bind(*insert, 9, QString::number(count));
                Bind(*insert, 10, QString::number(sqlite3_column_double(*figures, 12), 'f', k));
                Bind(*insert, 11, QString::number(sqlite3_column_double(*figures, 13), 'f', k));
                Bind(*insert, 12, QString::number(count > 0 ? sum / count : 0, 'f', kAverage));
                sqlite3_step(*insert);
                sqlite3_reset(*insert);
            }
            sqlite3_reset(*figures);
            raw.Exec("COMMIT");
            rows = n;
        });
    state.counters["records"] = rows;
    if (rows != 200)
        state.SkipWithError("the large project should have 200 records");
}

} // namespace

BENCHMARK(BM_Initialize)->Name("Initialize200")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
