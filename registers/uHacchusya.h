#pragma once

#include "app/uRowVersion.h"

#include <QObject>
#include <QString>
#include <QStringList>

class TQuery;
class TTableDef;

// One client (発注者) of table Hacchusya, keyed by the name.
class THacchusya final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(THacchusya)

public:
    explicit THacchusya(QObject *owner = nullptr);

    static const TTableDef &TableDef();

    bool CreateTableIfMissing();
    void Clear();
    // Names in order.
    void GetList(QStringList &list) const;
    // The name as given; not found: Clear, then Hacchusyamei := Name.
    void LoadByName(const QString &name);
    void ReadFromQuery(const TQuery &query);
    // Inserts or updates the row of the name as held; a blank name is never saved. Raises
    // EConflictError, writing nothing, when another program changed the loaded row since;
    // a row that already holds these values is left as it is.
    void Save();
    void Delete();

    QString Hacchusyamei;
    QString SyokuSimei;
    TRowVersion Version; // of the row last loaded or saved
};
