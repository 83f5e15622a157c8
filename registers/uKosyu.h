#pragma once

#include "app/uRowVersion.h"

#include <QObject>
#include <QString>
#include <QStringList>

class TQuery;
class TTableDef;

// One work type of the shared, ordered work type list (table Kosyu4). Other tables refer
// to a work type by its name; ID is only its place in the list.
class TKosyu final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TKosyu)

public:
    explicit TKosyu(QObject *owner = nullptr);

    static const TTableDef &TableDef();

    // True when the table was there already.
    bool CreateTableIfMissing();
    void Clear(); // the name only; ID stays
    // Bare names in list order; notes the list's counter in ListVersion.
    void GetList(QStringList &list) const;
    // Looks the trimmed name up; not found: Kosyumei := Name as given, ID stays.
    void LoadByName(const QString &name);
    void ReadFromQuery(const TQuery &query);
    int NextID() const;
    // Inserts or updates the row of the trimmed name; a blank name is never saved.
    void Save();
    void DeleteAll();

    // Replaces the stored list by Names, numbered 1, 2, … in order. A blank name is dropped
    // and a repeated one stays at its first place; their numbers stay unused. All or
    // nothing: on failure the old list is kept and the error is raised. EConflictError,
    // writing nothing, when another program changed the list since GetList read it. Every
    // row carries the list's one counter; a name saved alone raises it too.
    void RewriteList(const QStringList &names);

    QString Kosyumei;
    int ID = 0;
    mutable TRowVersion ListVersion; // of the whole list

private:
    int m_listCounter = 0; // while RewriteList writes: the counter of its rows
};
