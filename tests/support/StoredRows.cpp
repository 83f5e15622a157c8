#include "support/StoredRows.h"

#include "app/uDatabase.h"

using namespace Qt::Literals::StringLiterals;

QStringList AllStoredRows()
{
    QStringList rows;
    for (const QString &table : KnownTableNames()) {
        const TTableDef *def = FindTableDef(table);
        if (!def || !TableExists(table))
            continue;
        TQuery q(u"select * from "_s + table);
        q.Open();
        for (; !q.Eof(); q.Next()) {
            QStringList values;
            for (const TFieldDef &f : def->Fields())
                values.append(q.FieldValue(f.Name).isNull() ? u"<NULL>"_s : q.FieldText(f.Name));
            rows.append(table + u": "_s + values.join(u'|'));
        }
    }
    rows.sort();
    return rows;
}
