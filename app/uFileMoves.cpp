#include "app/uFileMoves.h"

#include "app/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char kJournalName[] = ".kelmo4-file-moves";
constexpr char kHeader[] = "kelmo4-file-moves 1";

QString WithSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString Native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QByteArray Encoded(const QString &path)
{
    return QUrl::toPercentEncoding(path, "/");
}

QString Decoded(const QByteArray &field)
{
    return QUrl::fromPercentEncoding(field);
}

// Makes the folder's entries (the names just renamed, created or removed) durable.
void SyncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

QString ParentFolder(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

bool Exists(const QString &path)
{
    return QFileInfo(path).exists() || QFileInfo(path).isSymLink();
}

// A plain rename that never replaces a file and never falls back to copying, so each move
// is all or nothing. Returns the errno text on failure.
QString Rename(const QString &from, const QString &to)
{
    const QByteArray f = QFile::encodeName(from);
    const QByteArray t = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0)
        return QString();
    if (errno == EINVAL || errno == ENOSYS) {
        // A file system without the no-replace flag: check first, then rename.
        if (Exists(to))
            return QString::fromLocal8Bit(std::strerror(EEXIST));
        if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), 0) == 0)
            return QString();
    }
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Writes Bytes as the file Path, durably, replacing it in one rename.
bool WriteDurably(const QString &path, const QByteArray &bytes)
{
    const QString temporary = path + u".new"_s;
    const QByteArray name = QFile::encodeName(temporary);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n <= 0) {
            ::close(fd);
            ::unlink(name.constData());
            return false;
        }
        written += n;
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        ::unlink(name.constData());
        return false;
    }
    if (!Rename(temporary, path).isEmpty()) {
        ::unlink(name.constData());
        return false;
    }
    SyncFolder(ParentFolder(path));
    return true;
}

struct TMove
{
    QString From, To;
};

struct TJournal
{
    QList<TMove> Moves;
    QStringList Created, Folders, Scratch;
    bool Undo = false; // the program that wrote it had begun to undo the moves
};

TJournal Parse(const QByteArray &bytes, bool *ok)
{
    TJournal journal;
    const QList<QByteArray> lines = bytes.split('\n');
    *ok = !lines.isEmpty() && lines.first() == kHeader;
    bool ended = false;
    for (qsizetype i = 1; *ok && i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split('\t');
        const QByteArray &kind = fields.first();
        if (kind.isEmpty())
            continue;
        if (kind == "move" && fields.size() == 3)
            journal.Moves.append({Decoded(fields[1]), Decoded(fields[2])});
        else if (kind == "created" && fields.size() == 2)
            journal.Created.append(Decoded(fields[1]));
        else if (kind == "folder" && fields.size() == 2)
            journal.Folders.append(Decoded(fields[1]));
        else if (kind == "scratch" && fields.size() == 2)
            journal.Scratch.append(Decoded(fields[1]));
        else if (kind == "end")
            ended = true;
        else if (kind == "undo")
            journal.Undo = true;
        else
            *ok = false;
    }
    *ok = *ok && ended;
    return journal;
}

// True when every move that is not yet made can be made, walking them in order: a move whose
// target exists is made (targets are free until their move), one whose source is gone cannot.
bool CanFinish(const QList<TMove> &moves)
{
    QHash<QString, bool> exists;
    const auto there = [&](const QString &path) {
        const auto found = exists.constFind(path);
        return found != exists.constEnd() ? found.value() : Exists(path);
    };
    for (const TMove &m : moves) {
        if (there(m.To))
            continue;
        if (!there(m.From))
            return false;
        exists.insert(m.From, false);
        exists.insert(m.To, true);
    }
    return true;
}

void SyncFoldersOf(const QList<TMove> &moves)
{
    QSet<QString> folders;
    for (const TMove &m : moves) {
        folders.insert(ParentFolder(m.From));
        folders.insert(ParentFolder(m.To));
    }
    for (const QString &folder : std::as_const(folders))
        SyncFolder(folder);
}

[[noreturn]] void ThrowStuck(const QString &journal, const TMove &m, const QString &why)
{
    throw EFileError(
        u"前回の旧データの取り込みが途中で終わっています。ファイル「%1」を「%2」へ移せません（%3）。"
        "データフォルダとバックアップ用フォルダに書き込めるか確かめてから、もう一度起動してください。"
        "記録ファイル「%4」は消さないでください。"_s.arg(Native(m.From), Native(m.To), why, Native(journal)));
}

// Moves back, last first, what was moved; a move not made is left alone.
void Undo(const QString &journal, const QList<TMove> &moves)
{
    for (qsizetype i = moves.size() - 1; i >= 0; --i) {
        const TMove &m = moves[i];
        if (!Exists(m.To) || Exists(m.From))
            continue;
        const QString why = Rename(m.To, m.From);
        if (!why.isEmpty())
            ThrowStuck(journal, {m.To, m.From}, why);
    }
}

void CleanUp(const TJournal &journal, bool undone)
{
    if (undone) {
        for (const QString &file : journal.Created)
            QFile::remove(file);
        for (const QString &folder : journal.Folders)
            QDir().rmdir(folder);
    }
    for (const QString &folder : journal.Scratch)
        QDir(folder).removeRecursively();
}

} // namespace

QString FileMovesJournal(const QString &dataFolder)
{
    return WithSlash(dataFolder) + QString::fromLatin1(kJournalName);
}

TFileMoves::TFileMoves(QString dataFolder)
    : m_folder(WithSlash(std::move(dataFolder)))
{
}

void TFileMoves::Move(const QString &from, const QString &to)
{
    m_lines.append(u"move\t"_s + QString::fromLatin1(Encoded(from)) + u'\t' + QString::fromLatin1(Encoded(to)));
}

void TFileMoves::Created(const QString &file)
{
    m_lines.append(u"created\t"_s + QString::fromLatin1(Encoded(file)));
}

void TFileMoves::CreatedFolder(const QString &folder)
{
    m_lines.append(u"folder\t"_s + QString::fromLatin1(Encoded(folder)));
}

void TFileMoves::Scratch(const QString &folder)
{
    m_lines.append(u"scratch\t"_s + QString::fromLatin1(Encoded(folder)));
}

void TFileMoves::Run()
{
    const QByteArray text = QByteArray(kHeader) + '\n' + m_lines.join(u'\n').toLatin1() + "\nend\n";
    bool ok = false;
    const TJournal plan = Parse(text, &ok);
    const QString journal = FileMovesJournal(m_folder);
    // Everything that is to move must be there and every target free, before anything moves.
    QHash<QString, bool> exists;
    for (const TMove &m : plan.Moves) {
        const bool from = exists.contains(m.From) ? exists.value(m.From) : Exists(m.From);
        const bool to = exists.contains(m.To) ? exists.value(m.To) : Exists(m.To);
        if (!from)
            throw EFileError(u"ファイル「%1」がないため、移せません。"_s.arg(Native(m.From)));
        if (to)
            throw EFileError(u"「%1」がすでにあるため、「%2」を移せません。"_s.arg(Native(m.To), Native(m.From)));
        exists.insert(m.From, false);
        exists.insert(m.To, true);
    }
    if (Exists(journal))
        throw EFileError(u"データフォルダに前回の取り込みの記録「%1」が残っています。もう一度起動してください。"_s.arg(
            Native(journal)));
    for (const TMove &m : plan.Moves)
        SyncFolder(ParentFolder(m.From));
    if (!WriteDurably(journal, text))
        throw EFileError(u"データフォルダ「%1」に書き込めません。"_s.arg(Native(m_folder)));
    // Made only now, so that a program killed before the journal was in place leaves none.
    for (const QString &folder : plan.Folders) {
        if (!QDir().mkpath(folder)) {
            CleanUp(plan, true);
            QFile::remove(journal);
            throw EFileError(u"フォルダ「%1」を作れません。"_s.arg(Native(folder)));
        }
    }

    qsizetype made = 0;
    QString why;
    for (; made < plan.Moves.size(); ++made) {
        why = Rename(plan.Moves[made].From, plan.Moves[made].To);
        if (!why.isEmpty())
            break;
    }
    if (made < plan.Moves.size()) {
        const TMove failed = plan.Moves[made];
        // From here on a killed program is undone at the next start, not finished.
        QFile file(journal);
        if (file.open(QIODevice::Append)) {
            file.write("undo\n");
            file.flush();
            ::fsync(file.handle());
            file.close();
        }
        Undo(journal, plan.Moves.mid(0, made));
        SyncFoldersOf(plan.Moves);
        CleanUp(plan, true);
        QFile::remove(journal);
        SyncFolder(m_folder);
        throw EFileError(u"「%1」を「%2」へ移せません（%3）。"_s.arg(Native(failed.From), Native(failed.To), why));
    }
    SyncFoldersOf(plan.Moves);
    CleanUp(plan, false);
    QFile::remove(journal);
    SyncFolder(m_folder);
}

void FinishInterruptedMoves(const QString &dataFolder)
{
    const QString journal = FileMovesJournal(dataFolder);
    // A journal that was being written was never put in place: nothing had moved yet.
    QFile::remove(journal + u".new"_s);
    QFile file(journal);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly))
        throw EFileError(u"前回の旧データの取り込みの記録「%1」を読めません（%2）。"_s.arg(Native(journal), file.errorString()));
    bool ok = false;
    const TJournal plan = Parse(file.readAll(), &ok);
    file.close();
    if (!ok)
        throw EFileError(u"前回の旧データの取り込みの記録「%1」が壊れています。データフォルダとバックアップ用フォルダの中身を確かめてください。"_s.arg(
            Native(journal)));

    bool undone = plan.Undo || !CanFinish(plan.Moves);
    if (!undone) {
        for (const QString &folder : plan.Folders)
            QDir().mkpath(folder);
        for (const TMove &m : plan.Moves) {
            if (Exists(m.To))
                continue;
            if (!Rename(m.From, m.To).isEmpty()) {
                undone = true;
                break;
            }
        }
    }
    if (undone)
        Undo(journal, plan.Moves);
    SyncFoldersOf(plan.Moves);
    CleanUp(plan, undone);
    QFile::remove(journal);
    SyncFolder(dataFolder);
}
