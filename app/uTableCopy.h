#pragma once

#include "app/uDataSource.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

// Copies the tables of one data source into another (a folder's files into the office
// server, the server into a folder, a folder into a folder): each table is created on the
// target where it is missing and every row written in one transaction there, so the target
// holds all of the copy or none of it. The source is only read.
struct TTableCopyResult
{
    QList<QPair<QString, qlonglong>> Rows; // table, rows copied
    qlonglong Total() const;
};

// Rows copied so far; returns false to stop (nothing is then kept on the target).
using TTableCopyProgress = std::function<bool(const QString &table, qlonglong rows)>;

// Raises EDatabaseError, writing nothing, when the target is the source or one of the
// tables already holds a row on the target. Tables: the tables to copy (all by default).
TTableCopyResult CopyTables(const TDataSource &from, const TDataSource &to, const QStringList &tables = {},
                            const TTableCopyProgress &progress = {});
