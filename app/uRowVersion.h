#pragma once

#include <QList>
#include <QString>

class TQuery;

// The change counter (column KOUSIN) that lets a save see whether another program changed
// a row since it was loaded. Every save writes the counter loaded + 1 (1 for a new row), so
// a counter that moved means someone else saved in between. A set of rows that is replaced
// as a whole (a project's plan) carries one counter on every row, read as their maximum.

// The column every versioned table declares (added later: older files lack it).
inline constexpr char16_t RowVersionField[] = u"KOUSIN";

// What the rows loaded held for one key, and whether it was loaded at all.
class TRowVersion
{
public:
    // Counter -1: no row was stored under Key.
    void Loaded(const QString &key, int counter);
    // After the save's outermost transaction committed: the row of Key holds Counter.
    void Saved(const QString &key, int counter) { Loaded(key, counter); }
    void Forget();

    // Inside the save's transaction, with the counter stored now (-1: no row): raises
    // EConflictError when the row of Key is no longer what was loaded. A key that was never
    // loaded (the user typed another code over the loaded one), or loaded from another data
    // folder than the one open now, is not compared: its row is overwritten as before.
    // Returns the counter the save writes.
    int Check(const QString &key, int now) const;

    bool IsLoaded() const { return m_loaded; }
    const QString &Key() const { return m_key; }
    int Counter() const { return m_counter; }

private:
    QString m_key;
    QString m_source; // the data folder it was loaded from
    int m_counter = -1;
    bool m_loaded = false;
};

// A save inside a larger transaction notes its new counter when its own part is done, but
// the larger transaction may still roll back: this puts the versions back unless Committed
// was called after the outermost commit.
class TVersionsUntilCommit
{
public:
    explicit TVersionsUntilCommit(std::initializer_list<TRowVersion *> versions);
    ~TVersionsUntilCommit();
    void Committed() { m_committed = true; }
    TVersionsUntilCommit(const TVersionsUntilCommit &) = delete;
    TVersionsUntilCommit &operator=(const TVersionsUntilCommit &) = delete;

private:
    QList<QPair<TRowVersion *, TRowVersion>> m_kept;
    bool m_committed = false;
};

// While a set is replaced as a whole, the counter its rows are written with; cleared
// however the replacement ends, so that a later save of one row reads the set again.
class TSetCounterScope
{
public:
    TSetCounterScope(int &target, int counter)
        : m_target(target)
    {
        m_target = counter;
    }
    ~TSetCounterScope() { m_target = 0; }
    TSetCounterScope(const TSetCounterScope &) = delete;
    TSetCounterScope &operator=(const TSetCounterScope &) = delete;

private:
    int &m_target;
};

// Raises EConflictError unless the counter loaded (-1: there was no row) is the one stored
// now (-1: there is none now).
void CheckRowVersion(int loaded, int now);
// The counter a save writes over the one stored now.
inline int NextRowVersion(int now)
{
    return now < 0 ? 1 : now + 1;
}

// A key of several columns as one text.
QString RowVersionKey(std::initializer_list<QString> parts);

// The counter of the query's current row for a load: NULL and a table without the column
// (a read-only older file) read as 0; -1 at the end.
int LoadedRowVersion(const TQuery &query);
// The same for the look-up inside a save, which has to write the column: a table without
// it is refused with a message saying what to do.
int StoredRowVersion(const TQuery &query);
// The highest counter of all rows of the query from its current one (-1 without rows); the
// query ends at its end. For a set read by a save (Stored) or a load.
int StoredSetVersion(TQuery &query);
int LoadedSetVersion(TQuery &query);
