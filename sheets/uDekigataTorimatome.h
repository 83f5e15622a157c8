#pragma once

#include "app/uRowVersion.h"

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class TKoji;
class TQuery;
class TTableDef;

// The IDs of the project's records the summary table has rows for, in its row order: records
// of registered work types and sections, ordered by section, work type, item.
QList<int> TorimatomeRecordIds(const QString &kojiCode);

// One row of a project's as-built summary table (table DekigataTorimatome4). The project
// of every operation is Koji->Code; LNo is the grid row the row belongs to. All values are
// display texts, stored as the user left them.
class TDekigataTorimatome final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TDekigataTorimatome)

public:
    explicit TDekigataTorimatome(QObject *owner = nullptr);

    static const TTableDef &TableDef();

    // True when the table was there already.
    bool CreateTableIfMissing();
    void ReadFromQuery(const TQuery &query);
    // Inserts or updates the row (Koji->Code, LNo). A text too long for its column is
    // refused with a message naming it. The project's rows carry one counter: inside
    // ReplaceRows the new one, alone the highest stored + 1.
    void Save();
    void DeleteRows();
    // Replaces the project's rows by those WriteRows saves (Save for each), in one
    // transaction. EConflictError, writing nothing, when another program changed the rows
    // since Version was noted (the window notes it when it reads them).
    void ReplaceRows(const std::function<void()> &writeRows);

    // Called with (position, maximum) before each record is read, position from 1.
    using TProgress = std::function<void(int position, int maximum)>;

    // Replaces the project's rows by one row per measurement record of a registered work
    // type and section, ordered by section, work type, item. One transaction: when any
    // record fails (a standard value that is not a number, a text too long) the project's
    // rows stay exactly as they were and the error is raised. Not compared with Version:
    // the table is rebuilt from the records on purpose, whatever was typed into it; the new
    // counter makes a save of the table read before refuse.
    void BuildFromMeasurements(const TProgress &progress = {});

    // The standard-value text of a record: millimetre limits shown in Unit. "±" when both
    // sides have the same size, "lower ～ upper" otherwise; a side that is not blank must be
    // a plain number, else EConvertError "'%s' は浮動小数点数ではありません".
    static QString LimitRangeText(const QString &upper, const QString &lower, const QString &unit);

    TKoji *const Koji;
    int LNo = 0;
    QString Kosyumei;
    QString Komoku;
    QString Koukumei;
    QString Kijun;
    QString Kikakuti;
    QString SaTanni;
    QString Kaisu;
    QString MaxValue;
    QString MinValue;
    QString AvgValue;
    QString Biko;
    TRowVersion Version; // of the project's rows as last read or saved, by project code

private:
    int m_rowsCounter = 0; // while the rows are replaced: the counter they carry
    // The row's fields as the parameters of the insert or update (a TQuery or a prepared one).
    template <typename TStatement>
    void BindRow(TStatement &statement) const;
};
