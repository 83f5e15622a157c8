#pragma once

// Projects, sections and measurement records for the summary table tests.
#include "app/uDatabase.h"
#include "measure/uKelmo4Head.h"
#include "measure/uKelmo4Line.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/ukouku.h"

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace TorimatomeFixture {
inline void AddProject(const QString &code, int yoshiki)
{
    TKoji koji;
    koji.Code = code;
    koji.Kojimei = u"工事"_s + code;
    koji.Yoshiki = yoshiki;
    koji.Save();
}

inline void SetSections(const QString &code, const QStringList &names)
{
    TKouku kouku;
    kouku.Koji->LoadByCode(code);
    kouku.RewriteList(names);
}

struct TRecordSample
{
    QString Kosyu;
    QString Kouku;
    QString Item;
    QString Upper;
    QString Lower;
    QString SaTanni;
    QStringList Diffs; // one line per difference, in the centre column
    int Yosiki = 0;    // form type: 0 高さ, 1 厚さ, 2 幅
};

inline int AddRecord(const QString &code, const TRecordSample &sample)
{
    TKelmo4Head head;
    head.Koji->LoadByCode(code);
    head.Kosyu->LoadByName(sample.Kosyu);
    head.Kouku->Koukumei = sample.Kouku;
    head.SokuteiKoumoku = sample.Item;
    head.SekkeiTanni = u"ｍ"_s;
    head.SaTanni = sample.SaTanni;
    head.Yukou = u"1"_s;
    head.Heikin = u"0.1"_s;
    head.Yosiki = sample.Yosiki;
    head.Kikakuti->Kubun = head.Koji->Yoshiki;
    head.Kikakuti->Kosyu->LoadByName(sample.Kosyu);
    head.Kikakuti->Koumokumei = sample.Item;
    head.Kikakuti->KikakutiU1 = sample.Upper;
    head.Kikakuti->KikakutiD1 = sample.Lower;
    head.Save();
    QList<TKel4LineRow> rows;
    for (int i = 0; i < sample.Diffs.size(); ++i) {
        TKel4LineRow row;
        row.LNO = i + 1;
        row.Cells[0] = u"No.%1"_s.arg(i);
        row.Cells[5] = u"10.000"_s;
        row.Cells[7] = sample.Diffs[i];
        rows.append(row);
    }
    TKelmo4Line().ReplaceLines(head.ID, rows);
    return head.ID;
}

// "LNO|work type|item|section|standard|unit|count|max|min|avg|remarks" per stored row.
inline QStringList StoredRows(const QString &code)
{
    TQuery q(u"select * from DekigataTorimatome4 where KojiCode=:A order by LNO"_s);
    q.SetParam(u"A"_s, code);
    q.Open();
    QStringList rows;
    for (; !q.Eof(); q.Next()) {
        QStringList cells{q.FieldText(u"LNO"_s)};
        for (const QString &f : {u"KOSYUMEI"_s, u"KOMOKU"_s, u"KOUKUMEI"_s, u"KIKAKUTI"_s, u"SATANNI"_s,
                                 u"KAISU"_s, u"MAXVALUE"_s, u"MINVALUE"_s, u"AVGVALUE"_s, u"BIKO"_s})
            cells.append(q.FieldText(f));
        rows.append(cells.join(u'|'));
    }
    return rows;
}

} // namespace TorimatomeFixture

namespace TorimatomeFixture {
inline void CreateTables()
{
    TKelmo4Head().CreateTableIfMissing();
    TKelmo4Line().CreateTableIfMissing();
    TKikakuti4().CreateTableIfMissing();
    TKoji().CreateTableIfMissing();
    TKouku().CreateTableIfMissing();
}

// A project "K1" of the given print style with sections A工区, B工区, work types 路盤, 舗装
// and three records.
inline void AddSampleProject(int yoshiki = 0)
{
    AddProject(u"K1"_s, yoshiki);
    TKosyu().RewriteList({u"路盤"_s, u"舗装"_s});
    SetSections(u"K1"_s, {u"A工区"_s, u"B工区"_s});
    AddRecord(u"K1"_s, {u"路盤"_s, u"B工区"_s, u"高さ"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"5"_s, u"-3"_s, u"10"_s}});
    AddRecord(u"K1"_s, {u"舗装"_s, u"A工区"_s, u"厚さ"_s, u"15"_s, u"-10"_s, u"㎜"_s, {u"2"_s}});
    AddRecord(u"K1"_s, {u"路盤"_s, u"A工区"_s, u"幅"_s, u"20"_s, u"-20"_s, u"㎝"_s, {u"1"_s, u"2"_s}});
}
} // namespace TorimatomeFixture
