#pragma once

#include <QString>
#include <QVariant>

class TTableDef;

// Small rules shared by the register records.

// A text bound as a text even when it is empty, so that '' in a where clause finds it.
QVariant TextValue(const QString &text);

// Raises EDatabaseError, the label first, when Value does not fit the column. Used before a
// save that writes several tables, so that none of them is written when one would refuse.
void CheckColumn(const TTableDef &def, const QString &field, const QString &value, const QString &label);
