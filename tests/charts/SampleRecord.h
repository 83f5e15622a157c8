#pragma once

// Records for the chart tests, made through the record classes into the current data folder.

#include "app/uDekigataDef.h"
#include "measure/uKelmo4Head.h"
#include "measure/uKelmo4Line.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"
#include "registers/uUkeoisya.h"
#include "registers/ukouku.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace SampleRecord {

using namespace Qt::Literals::StringLiterals;

inline void CreateTables()
{
    TKelmo4Head head;
    head.CreateTableIfMissing();
    TKelmo4Line().CreateTableIfMissing();
    TKikakuti4().CreateTableIfMissing();
    TKouku().CreateTableIfMissing();
    TKosyu kosyu;
    kosyu.CreateTableIfMissing();
}

inline void AddProject(const QString &code, const QString &name, int yoshiki,
                       const QString &contractor = u"北海道舗装株式会社"_s)
{
    TKoji koji;
    koji.CreateTableIfMissing();
    koji.Code = code;
    koji.Kojimei = name;
    koji.Yoshiki = yoshiki;
    koji.Ukeoisya->Ukeoisyamei = contractor;
    koji.Save();
}

// A header as the main window fills it, not yet saved.
inline void Fill(TKelmo4Head &head, const QString &code, const QString &kosyu, const QString &kouku,
                 const QString &item, const QString &u1 = u"20"_s, const QString &d1 = u"-20"_s,
                 const QString &u2 = QString(), const QString &d2 = QString())
{
    head.Koji->LoadByCode(code);
    head.Kosyu->LoadByName(kosyu);
    head.Kouku->Koukumei = kouku;
    head.SokuteiKoumoku = item;
    head.Simei->LoadByName(u"山田太郎"_s);
    head.Hiduke = QDateTime(QDate(2024, 3, 5), QTime(9, 0));
    head.SokutenKyori = 20;
    head.SekkeiTanni = u"ｍ"_s;
    head.SaTanni = u"㎜"_s;
    head.Yukou = u"1"_s;
    head.Heikin = u"0.1"_s;
    head.Bunpu = u"1"_s;
    head.Yosiki = 0;
    head.Kikakuti->Kubun = head.Koji->Yoshiki;
    head.Kikakuti->Kosyu->LoadByName(kosyu);
    head.Kikakuti->Koumokumei = item;
    head.Kikakuti->KikakutiU1 = u1;
    head.Kikakuti->KikakutiD1 = d1;
    head.Kikakuti->KikakutiU2 = u2;
    head.Kikakuti->KikakutiD2 = d2;
}

// A line with the three differences (design and measured left empty).
inline TKel4LineRow Line(int lno, const QString &station, const QString &l2, const QString &c2, const QString &r2,
                         const QString &biko = QString(), const QString &iti = QString())
{
    TKel4LineRow row;
    row.LNO = lno;
    row.Cells[0] = station;
    row.Cells[1] = iti;
    row.Cells[4] = l2;
    row.Cells[7] = c2;
    row.Cells[10] = r2;
    row.Cells[11] = biko;
    return row;
}

// Count lines whose differences follow a fixed pattern between -4 and 4.
inline QList<TKel4LineRow> PatternLines(int count)
{
    static const int l[] = {-2, 1, 3, 0, -1, 2, 4, -3, 1, 0, 2, -1, 3};
    QList<TKel4LineRow> rows;
    for (int i = 0; i < count; ++i) {
        const int a = l[i % 13];
        const int b = l[(i + 5) % 13];
        const int c = l[(i + 9) % 13];
        rows.append(Line(i + 1, u"No."_s + QString::number(i), QString::number(a), QString::number(b),
                         QString::number(c), i % 5 == 0 ? u"2024/3/"_s + QString::number(5 + i / 5) : QString()));
    }
    return rows;
}

inline void Save(TKelmo4Head &head, const QList<TKel4LineRow> &rows)
{
    head.Save();
    TKelmo4Line().ReplaceLines(head.ID, rows);
}

// Distinct line colours, so that lines of different meaning can be told apart on a page.
inline void UseDistinctColors()
{
    const quint32 colors[] = {0x0000C000, 0x00FF0000, 0x00000080, 0x000000FF, 0x00008000,
                              0x00FF00FF, 0x00C0E0C0, 0x00808000, 0x00008080};
    for (int i = 0; i < 9; ++i)
        DekigataDef().SetColors(42 + i, colors[i]);
    for (int k = -20; k <= 20; ++k)
        DekigataDef().SetColors(k + 21, 0x00F0A000 + quint32((k + 20) * 4));
}

} // namespace SampleRecord
