#include "sheets/uTorimatomeExport.h"

#include "app/uDatabase.h"
#include "registers/uKoji.h"
#include "sheets/uDekigataTorimatome.h"
#include "sheets/uTorimatomePrint.h"

using namespace Qt::Literals::StringLiterals;

namespace TorimatomeExport {

QStringList RowOf(const QStringList &gridTexts)
{
    const auto text = [&gridTexts](int column) { return gridTexts.value(column - 1).trimmed(); };
    // A record without section keeps "#"; forms leave it out.
    const QString section = text(3) == u"#"_s ? QString() : text(3);
    return {text(1), text(2), section, text(5), text(6), text(7), text(8), text(9), text(10), text(11)};
}

TExchangeTable Table(const QString &kojiCode, const QString &kojiName, const QList<QStringList> &rows)
{
    TExchangeTable table;
    table.Title = u"出来形管理総括表"_s;
    table.Header = {{u"工事コード"_s, kojiCode}, {u"工事名"_s, kojiName}};
    table.Headings = {u"工種名"_s, u"測定項目"_s, u"工区"_s,  u"規格値"_s, u"単位"_s,
                      u"測定回数"_s, u"最大"_s,    u"最小"_s, u"平均"_s,   u"備考"_s};
    for (const QStringList &row : rows)
        table.Rows << RowOf(row);
    return table;
}

void WriteStored(const QString &kojiCode, const QString &path, TCsvEncoding encoding)
{
    CheckTorimatomeForExport(kojiCode);
    TKoji koji;
    koji.LoadByCode(kojiCode);
    TDekigataTorimatome record;
    TQuery q(u"select * from DekigataTorimatome4 where KojiCode=:A order by LNO"_s);
    q.SetParam(u"A"_s, kojiCode);
    q.Open();
    QList<QStringList> rows;
    for (; !q.Eof(); q.Next()) {
        record.ReadFromQuery(q);
        rows << QStringList{record.Kosyumei, record.Komoku,   record.Koukumei, record.Kijun,
                            record.Kikakuti, record.SaTanni,  record.Kaisu,    record.MaxValue,
                            record.MinValue, record.AvgValue, record.Biko};
    }
    Table(koji.Code, koji.Kojimei, rows).Write(path, encoding);
}

} // namespace TorimatomeExport
