#pragma once

#include <QString>

#include <memory>

// One kind of stored data, read and saved through the program's own classes the way its
// window does, for tests where two programs save the same data. Keys: the project codes
// K1 and K2 (project, summary table, road plan, work sections) or the items A and B
// (records of K1, standard values).
class TConcurrentSaver
{
public:
    virtual ~TConcurrentSaver() = default;
    // record, koji, kikakuti, summary, roadplan, kouku; null for another name.
    static std::unique_ptr<TConcurrentSaver> Make(const QString &kind);

    virtual void Load(const QString &key) = 0;
    // Puts Value into the data loaded (in memory), for Save.
    virtual void Change(const QString &value) = 0;
    virtual void Save() = 0;
    virtual void Delete() = 0;
    // What the stored data of Key holds now, read afresh ("" when there is none).
    virtual QString Stored(const QString &key) = 0;
};

// Every table, and for both keys of every kind a stored row holding "start".
void StoreConcurrentStartData();
