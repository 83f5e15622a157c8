// "初期化" of the summary table for the large project (200 records × 100 lines) and for the
// project ten times larger.
#include "suite/Suite.h"

#include "app/uCommon.h"
#include "measure/uUnits.h"
#include "registers/uKoji.h"
#include "sheets/uDekigataTorimatome.h"
#include "common/BenchClock.h"
#include "common/BenchData.h"
#include "common/RawPq.h"
#include "common/RawSqlite.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <cstdio>
#include <cstdlib>

using namespace Qt::Literals::StringLiterals;

namespace {

// Figures of a difference column: NULL when empty, else its number.
#define KELMO4_DIFF(c) "case when l." c "<>'' then cast(l." c " as real) end"

// kEmptyRule: the program reads each standard (TKikakuti4::LoadByKey) but not its
// SOKUTEIKIJUN, so its summary rows keep KIJUN empty; the baselines read the column with the
// standard and write the same empty text.
// A place not used by a line holds NULL, which must count as no value, not void the sum.
// One pass over the project's headers and lines: count, sum, extremes per record, in the
// order of the summary table.
const char *const kFiguresSql =
    "select h.ID, h.KOSYUMEI, h.KOUKUMEI, h.SOKUTEIKOUMOKU, h.SATANNI, h.YUKOU, h.HEIKIN,"
    " h.JOGENKIKAKU, h.KAGENKIKAKU, k4.SOKUTEIKIJUN,"
    " sum((coalesce(l.L2,'')<>'')+(coalesce(l.C2,'')<>'')+(coalesce(l.R2,'')<>'')),"
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
        , m_tableMade(MakeTable(folder))
        , m_raw(folder, {u"Kel4Line"_s, u"Kosyu4"_s, u"Kouku"_s, u"Koji1"_s, u"Kikakuti4"_s, u"DekigataTorimatome4"_s})
        , m_figures(m_raw, kFiguresSql)
        , m_remove(m_raw, "delete from DekigataTorimatome4 where KOJICODE=?")
        , m_insert(m_raw, "insert into DekigataTorimatome4 (KOJICODE,LNO,KOSYUMEI,KOMOKU,KOUKUMEI,KIJUN,"
                          "KIKAKUTI,SATANNI,KAISU,MAXVALUE,MINVALUE,AVGVALUE,BIKO) values (?,?,?,?,?,?,?,?,?,?,?,?,'')")
    {
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
            Bind(*m_insert, 6, QString()); // see kEmptyRule
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
    // The summary rows of the project as the folder holds them, one text per row.
    QStringList Stored()
    {
        TRawStatement stored(m_raw, "select LNO,KOSYUMEI,KOMOKU,KOUKUMEI,KIJUN,KIKAKUTI,SATANNI,KAISU,MAXVALUE,"
                                    "MINVALUE,AVGVALUE from DekigataTorimatome4 where KOJICODE=? order by LNO");
        sqlite3_bind_text(*stored, 1, m_code.constData(), -1, SQLITE_STATIC);
        QStringList rows;
        while (sqlite3_step(*stored) == SQLITE_ROW) {
            QStringList cells;
            for (int c = 0; c < 11; ++c)
                cells.append(Text(*stored, c));
            rows.append(cells.join(u'|'));
        }
        return rows;
    }
    int Rows = 0;

private:
    // The summary table exists before the baseline prepares its statements on it (a
    // folder where no 「初期化」 ran yet has none).
    bool MakeTable(const QString &folder)
    {
        UseFolder(folder);
        return m_summary.CreateTableIfMissing();
    }

    QString m_folder;
    QByteArray m_code;
    TDekigataTorimatome m_summary;
    bool m_tableMade;
    TRawSqlite m_raw;
    TRawStatement m_figures;
    TRawStatement m_remove;
    TRawStatement m_insert;
};

// The figures read in the server's terms: one row per header as above (the columns of the
// grouped headers named, since the server's tables have no key), GREATEST/LEAST for
// SQLite's max/min of several values.
#define KELMO4_PG_DIFF(c) "case when l." c "<>'' then cast(l." c " as double precision) end"
const char *const kServerFiguresSql =
    "select h.id, h.kosyumei, h.koukumei, h.sokuteikoumoku, h.satanni, h.yukou, h.heikin,"
    " h.jogenkikaku, h.kagenkikaku, k4.sokuteikijun,"
    " coalesce(sum((coalesce(l.l2,'')<>'')::int+(coalesce(l.c2,'')<>'')::int+(coalesce(l.r2,'')<>'')::int),0),"
    " coalesce(sum(coalesce(" KELMO4_PG_DIFF("l2") ",0)+coalesce(" KELMO4_PG_DIFF("c2") ",0)+coalesce(" KELMO4_PG_DIFF("r2") ",0)),0),"
    " max(greatest(coalesce(" KELMO4_PG_DIFF("l2") ",-1e12),coalesce(" KELMO4_PG_DIFF("c2") ",-1e12),coalesce(" KELMO4_PG_DIFF("r2") ",-1e12))),"
    " min(least(coalesce(" KELMO4_PG_DIFF("l2") ",1e12),coalesce(" KELMO4_PG_DIFF("c2") ",1e12),coalesce(" KELMO4_PG_DIFF("r2") ",1e12)))"
    " from kel4head h"
    " inner join kosyu4 s on s.kosyumei=h.kosyumei"
    " inner join kouku u on u.kojicode=h.kojicode and u.koukumei=h.koukumei"
    " left join koji1 j on j.code=h.kojicode"
    " left join kikakuti4 k4 on k4.kubun=j.yoshiki and k4.kosyumei=h.kosyumei and k4.koumokumei=h.sokuteikoumoku"
    " left join kel4line l on l.kid=h.id"
    " where h.kojicode=$1"
    " group by h.id, h.kosyumei, h.koukumei, h.sokuteikoumoku, h.satanni, h.yukou, h.heikin,"
    " h.jogenkikaku, h.kagenkikaku, k4.sokuteikijun, u.id, s.id"
    " order by u.id, s.id, h.sokuteikoumoku";

// 「初期化」 of one project on the server, ours and the libpq baseline, each on its own
// connection.
class TInitializeServer
{
public:
    TInitializeServer(const TDataSource &server, const QString &code)
        : m_code(code.toUtf8())
        , m_raw(server)
        , m_figures(m_raw, kServerFiguresSql)
        , m_remove(m_raw, "delete from dekigatatorimatome4 where kojicode=$1")
        , m_insert(m_raw, "insert into dekigatatorimatome4 (kojicode,lno,kosyumei,komoku,koukumei,kijun,"
                          "kikakuti,satanni,kaisu,maxvalue,minvalue,avgvalue,biko) "
                          "values ($1,$2,$3,$4,$5,$6,$7,$8,$9,$10,$11,$12,'')")
        , m_stored(m_raw, "select lno,kosyumei,komoku,koukumei,kijun,kikakuti,satanni,kaisu,maxvalue,minvalue,"
                          "avgvalue from dekigatatorimatome4 where kojicode=$1 order by lno")
    {
        m_summary.CreateTableIfMissing();
        m_summary.Koji->LoadByCode(code);
        // The statements are prepared on the connection outside the time.
        m_summary.BuildFromMeasurements();
    }
    double Ours()
    {
        const double t0 = MonotonicSeconds();
        m_summary.BuildFromMeasurements();
        return MonotonicSeconds() - t0;
    }
    double Baseline()
    {
        const double t0 = MonotonicSeconds();
        m_raw.Exec("BEGIN");
        m_remove.Run({m_code.constData()});
        const TPqResult f = m_figures.Run({m_code.constData()});
        const int n = f.Rows();
        QList<QByteArray> values(12);
        values[0] = m_code;
        for (int r = 0; r < n; ++r) {
            const auto text = [&](int c) { return QString::fromUtf8(f.Value(r, c), f.Length(r, c)); };
            const QString saTanni = text(4);
            const int count = std::atoi(f.Value(r, 10));
            const double sum = std::strtod(f.Value(r, 11), nullptr);
            const int k = Dec(saTanni, text(5));
            const QString heikin = text(6);
            const int kAverage = TextToFloat(heikin) == 0 ? k : Dec(saTanni, heikin);
            values[1] = QByteArray::number(r + 1);
            values[2] = text(1).toUtf8();
            values[3] = text(3).toUtf8();
            values[4] = text(2).toUtf8();
            values[5] = QByteArray(""); // see kEmptyRule
            values[6] = TDekigataTorimatome::LimitRangeText(text(7), text(8), saTanni).toUtf8();
            values[7] = saTanni.toUtf8();
            values[8] = QByteArray::number(count);
            values[9] = QString::number(std::strtod(f.Value(r, 12), nullptr), 'f', k).toUtf8();
            values[10] = QString::number(std::strtod(f.Value(r, 13), nullptr), 'f', k).toUtf8();
            values[11] = QString::number(count > 0 ? sum / count : 0, 'f', kAverage).toUtf8();
            m_insert.Run(values);
        }
        m_raw.Exec("COMMIT");
        Rows = n;
        return MonotonicSeconds() - t0;
    }
    // The summary rows of the project as the server holds them, one text per row.
    QStringList Stored()
    {
        const TPqResult r = m_stored.Run({m_code.constData()});
        QStringList rows;
        for (int i = 0; i < r.Rows(); ++i) {
            QStringList cells;
            for (int c = 0; c < 11; ++c)
                cells.append(QString::fromUtf8(r.Value(i, c), r.Length(i, c)));
            rows.append(cells.join(u'|'));
        }
        return rows;
    }
    int Rows = 0;

private:
    QByteArray m_code;
    TDekigataTorimatome m_summary;
    TRawPq m_raw;
    TPqStatement m_figures;
    TPqStatement m_remove;
    TPqStatement m_insert;
    TPqStatement m_stored;
};

// Ours and the baseline must write the same summary, else one of the times is of other
// work. Run after the timing.
template <typename TInit>
void CheckSameSummary(benchmark::State &state, TInit &init)
{
    init.Ours();
    const QStringList ours = init.Stored();
    init.Baseline();
    const QStringList base = init.Stored();
    if (init.Rows != 200 || ours.size() != 200) {
        state.SkipWithError("the large project should have 200 records");
        return;
    }
    int differ = 0;
    for (qsizetype i = 0; i < ours.size(); ++i) {
        if (ours[i] != base[i] && ++differ <= 3)
            std::fprintf(stderr, "summary row %lld: ours %s, baseline %s\n", static_cast<long long>(i + 1),
                         qPrintable(ours[i]), qPrintable(base[i]));
    }
    if (differ > 0) {
        std::fprintf(stderr, "%d of %lld summary rows differ\n", differ, static_cast<long long>(ours.size()));
        state.SkipWithError("ours and the baseline wrote different summary rows");
    }
}

void BM_InitializeServer(benchmark::State &state)
{
    QString error;
    const TDataSource server = ServerCopy(SuiteData().Large, &error);
    if (!server.IsServer()) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    UseServer(server);
    try {
        TInitializeServer init(server, u"0002"_s);
        RunAgainstBaseline(state, [&] { init.Ours(); }, [&] { init.Baseline(); });
        state.counters["records"] = init.Rows;
        CheckSameSummary(state, init);
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
    EndServer();
}

void BM_Initialize(benchmark::State &state)
{
    TInitialize init(SuiteData().Large, u"0002"_s);
    RunAgainstBaseline(state, [&] { init.Ours(); }, [&] { init.Baseline(); });
    state.counters["records"] = init.Rows;
    CheckSameSummary(state, init);
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
BENCHMARK(BM_InitializeServer)->Name("Initialize200Server")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Initialize2000)->Name("Initialize2000")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
