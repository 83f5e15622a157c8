#include "startup/uRecordList.h"

#include "app/Errors.h"
#include "app/uDatabase.h"
#include "measure/uKelmo4Head.h"
#include "registers/uKoji.h"

#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

namespace {

// Tabs and line breaks inside a name would split the line for whoever reads the list.
QString ListField(const QString &text)
{
    QString field = text;
    for (QChar &c : field) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    }
    return field;
}

} // namespace

void WriteRecordList(const QString &KojiCode, QTextStream &out)
{
    TKelmo4Head().CreateTableIfMissing();
    const QString code = KojiCode.trimmed();
    if (!code.isEmpty()) {
        TKoji().CreateTableIfMissing();
        TQuery koji(u"select Code from Koji1 where Code=:CODE"_s);
        koji.SetParam(u"CODE"_s, code);
        koji.Open();
        if (koji.Eof())
            throw EKelmoError(u"工事コード「%1」の工事は登録されていません。"_s.arg(code));
    }
    TQuery q;
    q.Add(u"select ID, KojiCode, Kosyumei, Koukumei, SokuteiKoumoku from Kel4Head"_s);
    if (!code.isEmpty())
        q.Add(u"where KojiCode=:KOJICODE"_s);
    q.Add(u"order by ID"_s);
    if (!code.isEmpty())
        q.SetParam(u"KOJICODE"_s, code);
    q.Open();
    for (; !q.Eof(); q.Next()) {
        out << q.FieldInt(u"ID"_s) << u'\t' << ListField(q.FieldText(u"KojiCode"_s)) << u'\t'
            << ListField(q.FieldText(u"Kosyumei"_s)) << u'\t' << ListField(q.FieldText(u"Koukumei"_s)) << u'\t'
            << ListField(q.FieldText(u"SokuteiKoumoku"_s)) << u'\n';
    }
}
