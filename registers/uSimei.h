#pragma once

#include "app/uRowVersion.h"

#include <QObject>
#include <QString>
#include <QStringList>

class TQuery;
class TTableDef;

// One person (site agent, measurer) of table Simei, keyed by the name.
class TSimei final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSimei)

public:
    // Makes sure the table exists.
    explicit TSimei(QObject *owner = nullptr);

    static const TTableDef &TableDef();

    bool CreateTableIfMissing();
    void Clear();
    // Names ordered by their reading.
    void GetList(QStringList &list) const;
    // The name as given; not found: Clear, then Simei := Name.
    void LoadByName(const QString &name);
    void ReadFromQuery(const TQuery &query);
    // Trims Simei and Furigana in place; a blank name is never saved; an empty reading
    // becomes the name. Raises EConflictError, writing nothing, when another program
    // changed the loaded row since; a row that already holds these values is left as it is.
    void Save();
    // The person with this reading and name; others sharing the reading stay.
    void Delete();

    QString Furigana;
    QString Simei;
    TRowVersion Version; // of the row last loaded or saved
};
