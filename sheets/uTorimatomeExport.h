#pragma once

#include "exchange/uExchangeTable.h"

#include <QList>
#include <QString>
#include <QStringList>

// The summary table for spreadsheets, in the columns of its print: 工種名, 測定項目, 工区,
// 規格値 and its unit, 測定回数, 最大, 最小, 平均, 備考 (the 測定基準 is not printed).
namespace TorimatomeExport {

// One row from the eleven texts of the summary grid's columns.
QStringList RowOf(const QStringList &gridTexts);
TExchangeTable Table(const QString &kojiCode, const QString &kojiName, const QList<QStringList> &rows);
// The project's stored rows in LNO order into Path (.xlsx, else CSV); refused like the
// print's export when the project or its table is missing.
void WriteStored(const QString &kojiCode, const QString &path, TCsvEncoding encoding);

} // namespace TorimatomeExport
