#include "app/uParadoxFile.h"

#include "app/uDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

using namespace Qt::Literals::StringLiterals;

namespace {
// The fixed part of a data-table header; the field descriptions follow it.
constexpr int kFixedHeader = 0x58;

quint16 U16(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}
} // namespace

bool IsParadoxTableFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(kFixedHeader);
    if (head.size() < kFixedHeader || head.startsWith("SQLite format 3"))
        return false;
    const quint16 recordSize = U16(head, 0x00);
    const quint16 headerSize = U16(head, 0x02);
    const quint8 fileType = quint8(head.at(0x04));
    const quint8 blockKb = quint8(head.at(0x05));
    const quint16 fieldCount = U16(head, 0x21);
    const quint8 version = quint8(head.at(0x39));
    // 0 is a keyed table, 2 an unkeyed one; index files (.PX, .Xnn) are not tables.
    if (fileType != 0 && fileType != 2)
        return false;
    if (blockKb != 1 && blockKb != 2 && blockKb != 3 && blockKb != 4 && blockKb != 8 && blockKb != 16
        && blockKb != 32)
        return false;
    if (fieldCount == 0 || fieldCount > 255 || recordSize < fieldCount)
        return false;
    if (headerSize < kFixedHeader + 2 * fieldCount)
        return false;
    return version >= 3 && version <= 12;
}

QList<TParadoxTableFile> FindParadoxTables(const QString &folder)
{
    QList<TParadoxTableFile> found;
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &table : KnownTableNames()) {
        const QString wanted = table + u".db"_s;
        for (const QString &entry : entries) {
            if (entry.compare(wanted, Qt::CaseInsensitive) != 0)
                continue;
            const QString path = dir.filePath(entry);
            if (IsParadoxTableFile(path)) {
                found.append({table, path});
                break;
            }
        }
    }
    return found;
}

bool HasParadoxTables(const QString &folder)
{
    return !FindParadoxTables(folder).isEmpty();
}

QStringList ParadoxCompanionFiles(const QString &tablePath)
{
    const QFileInfo info(tablePath);
    const QString base = info.completeBaseName();
    QStringList companions;
    const QStringList entries = info.dir().entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &entry : entries) {
        const QFileInfo other(entry);
        if (other.completeBaseName().compare(base, Qt::CaseInsensitive) != 0)
            continue;
        const QString ext = other.suffix().toUpper();
        // .PX primary index, .MB memos, .VAL validity checks, .TV/.FAM/.F/.R views and forms,
        // .Xnn/.Ynn/.XGn/.YGn secondary indexes.
        const bool known = ext == u"PX"_s || ext == u"MB"_s || ext == u"VAL"_s || ext == u"TV"_s
                           || ext == u"FAM"_s || ext == u"F"_s || ext == u"R"_s
                           || (ext.size() == 3 && (ext.at(0) == u'X' || ext.at(0) == u'Y')
                               && (ext.at(1).isDigit() || ext.at(1) == u'G') && ext.at(2).isLetterOrNumber());
        if (known)
            companions.append(info.dir().filePath(entry));
    }
    return companions;
}

QString ParadoxFolderMessage(const QString &folder, const QList<TParadoxTableFile> &files)
{
    QStringList names;
    for (const TParadoxTableFile &f : files)
        names.append(QFileInfo(f.Path).fileName());
    return u"データフォルダ「%1」には、旧形式（Paradox）のテーブルがあります。\n%2\n\n"
           "このままでは使えません。「ファイル」-「旧データの取り込み…」で、このプログラムの形式に取り込んでください。"_s
        .arg(QDir::toNativeSeparators(folder), names.join(u"、"_s));
}
