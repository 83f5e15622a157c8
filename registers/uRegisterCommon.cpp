#include "registers/uRegisterCommon.h"

#include "app/Errors.h"
#include "app/uDatabase.h"

using namespace Qt::Literals::StringLiterals;

QVariant TextValue(const QString &text)
{
    // A null QString would be bound as NULL, which no "=" comparison finds.
    return QVariant(text.isNull() ? QString(u""_s) : text);
}

void CheckColumn(const TTableDef &def, const QString &field, const QString &value, const QString &label)
{
    try {
        def.CheckText(field, value);
    } catch (const EDatabaseError &e) {
        throw EDatabaseError(u"「%1」を保存できません。どのテーブルにも書き込んでいません。\n"_s.arg(label)
                             + e.Message());
    }
}
