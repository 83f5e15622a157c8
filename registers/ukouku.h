#pragma once

#include "app/uRowVersion.h"

#include <QObject>
#include <QString>
#include <QStringList>

class TKoji;
class TTableDef;

// One work section of one project (table Kouku). The project is the owned Koji's Code;
// choose it with Koji->LoadByCode before any operation.
class TKouku final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TKouku)

public:
    explicit TKouku(QObject *owner = nullptr);

    static const TTableDef &TableDef();

    // Also makes sure of the project tables.
    bool CreateTableIfMissing();
    // The project's section names in order; notes the list's counter in ListVersion.
    void GetList(QStringList &list) const;
    int NextID() const;
    // Inserts Koukumei for the project unless the project has it already; nothing without
    // a project. ID is taken as held (NextID when 0) and kept after the insert.
    void AddIfMissing();
    void DeleteForProject();

    // Replaces the project's sections by Names, numbered 1, 2, … in order; a repeated
    // name keeps its first place. All or nothing: on failure the old list is kept and the
    // error is raised. EConflictError, writing nothing, when another program changed the
    // project's list since GetList read it. Every row of the list carries one counter; a
    // section added alone raises it too.
    void RewriteList(const QStringList &names);

    TKoji *const Koji;
    int ID = 0;
    QString Koukumei;
    mutable TRowVersion ListVersion; // of the project's list, by project code

private:
    int m_listCounter = 0; // while RewriteList writes: the counter of its rows
};
