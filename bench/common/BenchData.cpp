#include "common/BenchData.h"

#include "app/uDatabase.h"
#include "app/uDekigataDef.h"
#include "measure/uKelmo4Head.h"
#include "registers/uHacchusya.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"
#include "registers/uUkeoisya.h"
#include "registers/ukouku.h"

#include <QDir>
#include <QStringList>

#include <cstdint>

using namespace Qt::Literals::StringLiterals;

namespace BenchData {

namespace {

const QStringList &WorkTypes()
{
    static const QStringList names = {u"下層路盤工"_s, u"上層路盤工"_s, u"基層工"_s, u"表層工"_s, u"歩道舗装工"_s};
    return names;
}

struct TItem
{
    QString Name;
    int FormType; // 0 高さ, 1 厚さ, 2 幅
    QString Upper, Lower;
};

const QList<TItem> &Items()
{
    static const QList<TItem> items = {{u"基準高"_s, 0, u"50"_s, u"-50"_s},
                                       {u"厚さ"_s, 1, u"20"_s, u"-20"_s},
                                       {u"幅"_s, 2, QString(), u"-50"_s},
                                       {u"路肩高"_s, 0, u"30"_s, u"-30"_s}};
    return items;
}

// Small and repeatable: the same folder on every run.
class TRandom
{
public:
    explicit TRandom(std::uint32_t seed) : m_state(seed * 2654435761u + 1u) {}
    int Next(int from, int to) // inclusive
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return from + int(m_state % std::uint32_t(to - from + 1));
    }

private:
    std::uint32_t m_state;
};

void SaveProject(const TProjectShape &shape)
{
    TKoji koji;
    koji.Code = shape.Code;
    koji.Kojimei = shape.Name;
    koji.Yoshiki = shape.Yoshiki;
    koji.Hacchusya->Hacchusyamei = u"札幌開発建設部"_s;
    koji.Ukeoisya->Ukeoisyamei = u"苫前建設株式会社"_s;
    koji.Dairinin->Simei = u"佐藤一郎"_s;
    koji.Save();
}

int SaveRecord(const QString &code, int yoshiki, const QString &workType, const QString &section, const TItem &item,
               const QList<TKel4LineRow> &lines)
{
    TKelmo4Head head;
    head.Koji->LoadByCode(code);
    head.Kosyu->LoadByName(workType);
    head.Kouku->Koukumei = section;
    head.SokuteiKoumoku = item.Name;
    head.Simei->LoadByName(u"山田太郎"_s);
    head.Hiduke = QDateTime(QDate(2003, 5, 7), QTime());
    head.SokutenKyori = 20;
    head.SekkeiTanni = item.FormType == 1 ? u"㎜"_s : u"ｍ"_s;
    head.SaTanni = u"㎜"_s;
    head.Yukou = u"1"_s;
    head.Heikin = u"0.1"_s;
    head.Bunpu = u"5"_s;
    head.Yosiki = item.FormType;
    head.Kikakuti->Kubun = yoshiki;
    head.Kikakuti->Kosyu->LoadByName(workType);
    head.Kikakuti->Koumokumei = item.Name;
    head.Kikakuti->KikakutiU1 = item.Upper;
    head.Kikakuti->KikakutiD1 = item.Lower;
    head.Kikakuti->SokuteiKijun = u"延長20m毎"_s;
    head.Save();
    TKelmo4Line().ReplaceLines(head.ID, lines);
    return head.ID;
}

QString Fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

} // namespace

TProjectShape SmallProject() { return {u"0001"_s, u"町道　栄町線　舗装工事"_s, 0, 5, 30}; }
TProjectShape LargeProject() { return {u"0002"_s, u"一般国道２３０号　札幌市　南改良工事"_s, 0, 200, 100}; }
TProjectShape HugeProject() { return {u"0005"_s, u"一般国道２３０号　札幌市　西改良工事"_s, 0, 2000, 100}; }
TProjectShape BatchProject() { return {u"0003"_s, u"道道　石狩当別線　舗装工事"_s, 0, 50, 100}; }

void PrepareFolder()
{
    TKelmo4Head head;
    head.CreateTableIfMissing();
    TKelmo4Line().CreateTableIfMissing();
    TKosyu kosyu;
    kosyu.RewriteList(WorkTypes());
    TSimei person;
    person.Simei = u"山田太郎"_s;
    person.Furigana = u"ﾔﾏﾀﾞﾀﾛｳ"_s;
    person.Save();
    // Units as the defaults window leaves them: ｍ/㎜ for height and width, ㎜ for thickness.
    const QStringList height = {u"ｍ"_s, u"㎜"_s, u"0.1"_s, u"5"_s, u"1"_s, u"20"_s};
    const QStringList thickness = {u"㎜"_s, u"㎜"_s, u"0.1"_s, u"5"_s, u"1"_s, u"20"_s};
    for (int k = 1; k <= 6; ++k) {
        DekigataDef().SetUnits(k, 1, height[k - 1]);
        DekigataDef().SetUnits(k, 2, thickness[k - 1]);
        DekigataDef().SetUnits(k, 3, height[k - 1]);
    }
}

QList<TKel4LineRow> MakeLines(int count, int formType, int seed)
{
    TRandom random{std::uint32_t(seed)};
    QList<TKel4LineRow> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        TKel4LineRow row;
        row.LNO = i + 1;
        row.Cells[0] = u"No."_s + QString::number(i * 20);
        auto place = [&](int g, double design, int decimals, double factor, int spread) {
            const int diff = random.Next(-spread, spread);
            row.Cells[size_t(2 + 3 * g)] = Fixed(design, decimals);
            row.Cells[size_t(3 + 3 * g)] = Fixed(design + diff / factor, decimals);
            row.Cells[size_t(4 + 3 * g)] = QString::number(diff);
        };
        if (formType == 0) {
            // A road rising 0.5 % with 2 % crossfall over 3.5 m to each side.
            const double centre = 12.345 + i * 0.1;
            row.Cells[1] = u"CL"_s;
            place(0, centre - 0.07, 3, 1000, 40);
            place(1, centre, 3, 1000, 40);
            place(2, centre - 0.07, 3, 1000, 40);
        } else if (formType == 1) {
            place(1, 150, 0, 1, 15);
        } else {
            place(1, 3.5, 3, 1000, 45);
        }
        if (i % 25 == 0)
            row.Cells[11] = u"2003/05/%1"_s.arg(7 + i / 25 % 20, 2, 10, QLatin1Char('0'));
        else if (i % 40 == 13)
            row.Cells[11] = u"再測定"_s;
        rows.append(std::move(row));
    }
    return rows;
}

QList<int> MakeProject(const TProjectShape &shape)
{
    SaveProject(shape);
    QList<int> ids;
    const int perSection = int(WorkTypes().size() * Items().size());
    const int sections = (shape.Records + perSection - 1) / perSection;
    QStringList sectionNames;
    for (int s = 1; s <= sections; ++s)
        sectionNames.append(u"第%1工区"_s.arg(s));
    {
        TKouku kouku;
        kouku.Koji->LoadByCode(shape.Code);
        kouku.RewriteList(sectionNames);
    }
    for (int n = 0; n < shape.Records; ++n) {
        const QString &section = sectionNames[n / perSection];
        const QString &workType = WorkTypes()[n % perSection / int(Items().size())];
        const TItem &item = Items()[n % int(Items().size())];
        ids.append(SaveRecord(shape.Code, shape.Yoshiki, workType, section, item,
                              MakeLines(shape.LinesPerRecord, item.FormType, n + 1)));
    }
    return ids;
}

int MakeFullRecord(const QString &code)
{
    const TProjectShape shape{code, u"一般国道２３０号　札幌市　北改良工事"_s, 0, 1, 1000};
    SaveProject(shape);
    return SaveRecord(code, shape.Yoshiki, WorkTypes()[3], u"#"_s, Items()[0], MakeLines(1000, 0, 7));
}

void MakeFolder(const QString &folder, const QString &kind)
{
    OverrideAliasPath(u"tomaruk"_s, folder);
    PrepareFolder();
    if (kind == u"small"_s)
        MakeProject(SmallProject());
    else if (kind == u"large"_s)
        MakeProject(LargeProject());
    else if (kind == u"huge"_s)
        MakeProject(HugeProject());
    else if (kind == u"batch"_s)
        MakeProject(BatchProject());
    else
        MakeFullRecord(u"0004"_s);
}

} // namespace BenchData
