#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Renames that belong together (an import putting its new table files in place of the old
// ones). They are written to a journal file in the data folder before the first one is made,
// so a program killed half-way leaves enough behind for the next start to finish them (or,
// when a file they need has gone, to undo them): the folder never stays half swapped.
class TFileMoves
{
public:
    explicit TFileMoves(QString dataFolder);

    // Planned in order; a later move may use a name that an earlier one freed.
    void Move(const QString &from, const QString &to);
    // A file made for these moves (a copy to be moved in): removed when they are undone.
    void Created(const QString &file);
    // A folder made for these moves: removed when they are undone and it is empty again.
    void CreatedFolder(const QString &folder);
    // A folder of copies that the moves empty: removed with what is left once they are
    // finished or undone.
    void Scratch(const QString &folder);

    // Journals the moves, makes them and removes the journal. On a failure the moves already
    // made are undone and EFileError is raised naming the file.
    void Run();

private:
    QString m_folder;
    QStringList m_lines;
};

// The journal file of a data folder (with "/").
QString FileMovesJournal(const QString &dataFolder);

// Finishes the moves of a journal left in the data folder by a program that was killed,
// or undoes them when they cannot be finished. Does nothing when there is no journal.
// Raises EFileError when a file cannot be moved either way.
void FinishInterruptedMoves(const QString &dataFolder);
