// "初期化" of the summary table for the large project (200 records × 100 lines) and for the
// project ten times larger.
#include "suite/Suite.h"

#include "app/uCommon.h"
#include "measure/uUnits.h"
#include "registers/uKoji.h"
#include "sheets/uDekigataTorimatome.h"
#include "common/BenchClock.h"
#include "common/BenchData.h"
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

// 「初期化」 of one project, ours and the baseline, each on its own connection.
class TInitialize
{
public:
    TInitialize(const QString &folder, const QString &code)
        : m_folder(folder)
        , m_code(code.toUtf8())
        , m_raw(folder, {u"Kel4Line"_s, u"Kosyu4"_s, u"Kouku"_s, u"Koji1"_s, u"Kikakuti4"_s, u"DekigataTorimatome4"_s})
        , m_figures(m_raw, kFiguresSql)
        , m_remove(m_raw, "delete from DekigataTorimatome4 where KOJICODE=?")
        , m_insert(m_raw, "insert into DekigataTorimatome4 (KOJICODE,LNO,KOSYUMEI,KOMOKU,KOUKUMEI,KIJUN,"
                          "KIKAKUTI,SATANNI,KAISU,MAXVALUE,MINVALUE,AVGVALUE,BIKO) values (?,?,?,?,?,?,?,?,?,?,?,?,'')")
    {
        UseFolder(folder);
        m_summary.CreateTableIfMissing();
        m_summary.Koji->LoadByCode(code);
    }
    // The folder is made current and its connection warmed outside the time.
    double Ours()
    {
        if (SwitchFolder(m_folder))
            m_summary.BuildFromMeasurements();
        const double t0 = MonotonicSeconds();
        m_summary.BuildFromMeasurements();
        return MonotonicSeconds() - t0;
    }
    double Baseline()
    {
        const double t0 = MonotonicSeconds();
        m_raw.Exec("BEGIN");
        sqlite3_bind_text(*m_remove, 1, m_code.constData(), -1, SQLITE_STATIC);
        sqlite3_step(*m_remove);
        sqlite3_reset(*m_remove);
        sqlite3_bind_text(*m_figures, 1, m_code.constData(), -1, SQLITE_STATIC);
        int n = 0;
        while (sqlite3_step(*m_figures) == SQLITE_ROW) {
            ++n;
            const QString saTanni = Text(*m_figures, 4);
            const int count = sqlite3_column_int(*m_figures, 10);
            const double sum = sqlite3_column_double(*m_figures, 11);
            const int k = Dec(saTanni, Text(*m_figures, 5));
            const QString heikin = Text(*m_figures, 6);
            const int kAverage = TextToFloat(heikin) == 0 ? k : Dec(saTanni, heikin);
            sqlite3_bind_text(*m_insert, 1, m_code.constData(), -1, SQLITE_STATIC);
            sqlite3_bind_int(*m_insert, 2, n);
            Bind(*m_insert, 3, Text(*m_figures, 1));
            Bind(*m_insert, 4, Text(*m_figures, 3));
            Bind(*m_insert, 5, Text(*m_figures, 2));
            Bind(*m_insert, 6, Text(*m_figures, 9));
            Bind(*m_insert, 7, TDekigataTorimatome::LimitRangeText(Text(*m_figures, 7), Text(*m_figures, 8), saTanni));
            Bind(*m_insert, 8, saTanni);
            Bind(*m_insert, 9, QString::number(count));
            Bind(*m_insert, 10, QString::number(sqlite3_column_double(*m_figures, 12), 'f', k));
            Bind(*m_insert, 11, QString::number(sqlite3_column_double(*m_figures, 13), 'f', k));
            Bind(*m_insert, 12, QString::number(count > 0 ? sum / count : 0, 'f', kAverage));
            sqlite3_step(*m_insert);
            sqlite3_reset(*m_insert);
        }
        sqlite3_reset(*m_figures);
        m_raw.Exec("COMMIT");
        Rows = n;
        return MonotonicSeconds() - t0;
    }
    int Rows = 0;

private:
    QString m_folder;
    QByteArray m_code;
    TDekigataTorimatome m_summary;
    TRawSqlite m_raw;
    TRawStatement m_figures;
    TRawStatement m_remove;
    TRawStatement m_insert;
};

void BM_Initialize(benchmark::State &state)
{
    TInitialize init(SuiteData().Large, u"0002"_s);
    RunAgainstBaseline(state, [&] { init.Ours(); }, [&] { init.Baseline(); });
    state.counters["records"] = init.Rows;
    if (init.Rows != 200)
        state.SkipWithError("the large project should have 200 records");
}

// The project ten times larger against its baseline, and per record against the large
// project, in the same iteration.
void BM_Initialize2000(benchmark::State &state)
{
    TInitialize x10(HugeFolder(), BenchData::HugeProject().Code);
    TInitialize x1(SuiteData().Large, BenchData::LargeProject().Code);
    double ours = 0, base = 0, ours1 = 0;
    for (auto _ : state) {
        const double a = x10.Ours();
        ours += a;
        base += x10.Baseline();
        ours1 += x1.Ours();
        state.SetIterationTime(a);
    }
    const double n = double(state.iterations());
    const double perRecord10 = ours / n * 1e3 / BenchData::HugeProject().Records;
    const double perRecord1 = ours1 / n * 1e3 / BenchData::LargeProject().Records;
    state.counters["records"] = x10.Rows;
    state.counters["ours_ms"] = ours / n * 1e3;
    state.counters["baseline_ms"] = base / n * 1e3;
    state.counters["ratio"] = base > 0 ? ours / base : 0;
    state.counters["per_record_ms"] = perRecord10;
    state.counters["per_record_x1_ms"] = perRecord1;
    state.counters["growth"] = perRecord1 > 0 ? perRecord10 / perRecord1 : 0;
    if (x10.Rows != BenchData::HugeProject().Records)
        state.SkipWithError("the 2000-record project should have 2000 records");
}

} // namespace

BENCHMARK(BM_Initialize)->Name("Initialize200")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Initialize2000)->Name("Initialize2000")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
