#pragma once

#include "app/uRowVersion.h"

#include <QObject>
#include <QString>
#include <QStringList>

class THacchusya;
class TQuery;
class TSimei;
class TTableDef;
class TUkeoisya;

// One construction project of table Koji1, keyed by its code. Client, contractor and site
// agent are held as records of their registers and stored in the project row by name.
class TKoji final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TKoji)

public:
    // Creates the three register records and makes sure their tables exist.
    explicit TKoji(QObject *owner = nullptr);

    static const TTableDef &TableDef();

    // Also makes sure of the client, contractor and person tables.
    bool CreateTableIfMissing();
    // Code and name empty, the three records empty; Yoshiki stays.
    void Clear();
    // Looks the trimmed code up; not found: Clear, then Code := Code as given.
    void LoadByCode(const QString &code);
    void ReadFromQuery(const TQuery &query);
    // Saves client, contractor and site agent into their registers, then the project row
    // under the trimmed code. Nothing for a blank code. Every text is checked against its
    // column first, so a refused text leaves every table as it was. All in one transaction;
    // EConflictError when another program changed the loaded project row (or one of the
    // three register rows) since.
    void Save();
    // Items "CODE:KOJIMEI", codes descending; blank codes left out.
    void GetList(QStringList &list) const;
    // Rows whose code equals Code as held (not trimmed).
    void Delete();

    QString Code;
    QString Kojimei;
    THacchusya *const Hacchusya;
    TUkeoisya *const Ukeoisya;
    TSimei *const Dairinin;
    int Yoshiki = 0; // print style: 0 開発局, 1 土木現業所, 2 支庁
    TRowVersion Version; // of the project row last loaded or saved, by trimmed code

private:
    void CheckTexts() const;
    // Inside Save's transaction: the project row and the three registers; the counter written.
    int WriteRow(const QString &code);
};
