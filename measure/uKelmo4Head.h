#pragma once

#include "app/uRowVersion.h"
#include "measure/uKelmo4Line.h"
#include "measure/uRecordFigures.h"
#include "measure/uUnits.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

class TKikakuti4;
class TKoji;
class TKosyu;
class TKouku;
class TQuery;
class TSimei;
class TTableDef;

// One measurement header of table Kel4Head, with the register records it refers to. The
// key of a record is project code + work type + work section + measurement item; a record
// without section stores the section "#".
class TKelmo4Head final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TKelmo4Head)

public:
    // Creates the five register records; Hiduke now, everything else empty.
    explicit TKelmo4Head(QObject *owner = nullptr);

    static const TTableDef &TableDef();

    // Also makes sure of the register tables; the result is Kel4Head's.
    bool CreateTableIfMissing();
    // An unknown ID leaves the object as it was.
    void LoadByID(int id);
    // By project, work type, section and, when it is not empty, item; the first match. Not
    // found: notes that no record of the key was stored, so a save is refused when another
    // program stores one first.
    bool FindByKey();
    void ReadFromQuery(const TQuery &query);
    // Saves the limits into the standard register, registers the section, then inserts or
    // updates the header of the key. All or nothing: a refused text or a failure leaves
    // every table as it was. Lines are not written here. EConflictError, writing nothing,
    // when another program changed or deleted the loaded record (or stored the key's record
    // after it was looked up) since; the lines are covered by the header's counter. The
    // standard value is saved as the record holds it, without that check: records of other
    // sections share it.
    void Save();
    int NextID() const;
    // The header and all its lines, in one transaction.
    void Delete();
    // Items "ID:work type;section:item" of the current project.
    void ListForProject(QStringList &list) const;
    void ListMeasureItems(QStringList &list) const;
    // Dates of the current project's headers, yyyy/MM/dd, ordered.
    void ListDates(QStringList &list) const;
    int LineCount() const;

    // Figures over the stored lines, in the header's units.
    double DiffSum() const;
    int DiffCount() const;
    QString GetAverageDiffText() const;
    QString GetMaxDiffText() const;
    QString GetMinDiffText() const;
    QString GetMaxDesignText() const;
    QString GetMinDesignText() const;
    QString GetDateRangeText() const;

    QList<TKel4LineRow> Lines() const;
    TRecordUnits Units() const;

    int ID = 0;
    TKoji *const Koji;
    TKosyu *const Kosyu;
    TKouku *const Kouku;
    TSimei *const Simei;
    TKikakuti4 *const Kikakuti;
    QString SokuteiKoumoku;
    QDateTime Hiduke; // invalid: no date
    int SokutenKyori = 0;
    QString SekkeiTanni;
    QString SaTanni;
    QString Yukou;
    QString Heikin;
    QString Bunpu;
    int Yosiki = 0; // 0 高さ, 1 厚さ, 2 幅
    bool Sagari = false;
    TRowVersion Version; // of the header row last loaded or saved, by key

private:
    void CheckTexts() const;
    QString Key() const;
};

// Section name stored for a record without work section.
inline constexpr char16_t NoSectionName[] = u"#";
