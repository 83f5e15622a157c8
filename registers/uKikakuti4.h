#pragma once

#include "app/uRowVersion.h"

#include <QObject>
#include <QString>
#include <QStringList>

class TKosyu;
class TPrevX;
class TQuery;
class TTableDef;

// One standard value of table Kikakuti4: the allowed upper and lower deviations (official
// and own-company pair, texts in millimetres as typed) under the key class + work type +
// measurement item.
class TKikakuti4 final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TKikakuti4)

public:
    explicit TKikakuti4(QObject *owner = nullptr);

    static const TTableDef &TableDef();

    // Also makes sure of the work type table, which the look-ups and the list join.
    bool CreateTableIfMissing();
    void ClearLimits();
    // By Kubun, Kosyu->Kosyumei and Koumokumei. Not found: only the four limits are
    // emptied; ID, GokakuHantei and Joken keep their values.
    void LoadByKey();
    // Every column but SOKUTEIKIJUN.
    void ReadFromQuery(const TQuery &query);
    int NextID() const;
    // Keeps one row per key: a new key gets NextID whatever ID held; a registered key is
    // updated and keeps its row's ID (NextID when that is 0 or shared with another key),
    // so no two standards share an ID. In one transaction; EConflictError, writing nothing,
    // when another program changed (or stored) the row of the loaded key since.
    void Save();
    // Every row with this ID.
    void Delete();
    // The item names registered for Kubun, in order.
    void GetItemList(QStringList &list) const;
    // Items "work type:item" for Kubun, in work type order, then item; standards of a
    // work type that is not registered are left out.
    void GetList(QStringList &list) const;
    // The whole register as a ruled list, 25 standards a page, onto a document open on
    // Prev; the caller sets the drawing origin. Reuses this record for every row.
    void PrintList(TPrevX *Prev);

    int ID = 0;
    int Kubun = 0; // the project's print style; -1 saved with no class chosen
    TKosyu *const Kosyu;
    QString Koumokumei;
    QString KikakutiU1;
    QString KikakutiD1;
    QString KikakutiU2;
    QString KikakutiD2;
    bool GokakuHantei = false;
    QString Joken;
    QString SokuteiKijun;
    TRowVersion Version; // of the row last loaded or saved, by key

private:
    bool IDTakenByOtherKey() const;
    QString Key() const;
};
