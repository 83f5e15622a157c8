#include "startup/uParadoxImport.h"

#include "app/Errors.h"
#include "app/uCommon.h"
#include "app/uDatabase.h"
#include "app/uDekigataDef.h"
#include "app/uParadoxFile.h"
#include "app/uFileMoves.h"
#include "app/uTableCopy.h"
#include "measure/uKelmo4Head.h"
#include "measure/uKelmo4Line.h"
#include "registers/uHacchusya.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"
#include "registers/uUkeoisya.h"
#include "registers/ukouku.h"
#include "roadplan/uFormationHeight.h"
#include "sheets/uDekigataTorimatome.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringDecoder>
#include <QTextStream>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <memory>
#include <unistd.h>

extern "C" {
#include <paradox.h>
}

using namespace Qt::Literals::StringLiterals;

const QList<const TTableDef *> &ImportTableDefs()
{
    static const QList<const TTableDef *> defs = [] {
        const QList<const TTableDef *> list = {
            &TKelmo4Head::TableDef(), &TKelmo4Line::TableDef(),      &TKoji::TableDef(),
            &TKosyu::TableDef(),      &TKouku::TableDef(),           &TSimei::TableDef(),
            &TUkeoisya::TableDef(),   &THacchusya::TableDef(),       &TKikakuti4::TableDef(),
            &TFormationHeight::TableDef(), &TDekigataTorimatome::TableDef(),
        };
        // A table added to the folder's list without its owner here would be lost silently.
        if (list.size() != KnownTableNames().size())
            qFatal("ImportTableDefs: the list of table owners is out of date");
        for (qsizetype i = 0; i < list.size(); ++i) {
            if (list[i]->Name() != KnownTableNames().at(i))
                qFatal("ImportTableDefs: the list of table owners is out of date");
        }
        return list;
    }();
    return defs;
}

namespace {
// The columns by which a table's rows are found and referred to. An old table without
// them is not one of ours, whatever its name: its rows would come in empty.
QStringList KeyColumns(const QString &table)
{
    static const QHash<QString, QStringList> keys = {
        {u"Kel4Head"_s, {u"ID"_s}},
        {u"Kel4Line"_s, {u"KID"_s, u"LNO"_s}},
        {u"Koji1"_s, {u"CODE"_s}},
        {u"Kosyu4"_s, {u"KOSYUMEI"_s}},
        {u"Kouku"_s, {u"KojiCODE"_s, u"Koukumei"_s}},
        {u"Simei"_s, {u"SIMEI"_s}},
        {u"Ukeoisya"_s, {u"UKEOISYAMEI"_s}},
        {u"Hacchusya"_s, {u"HACCHUSYAMEI"_s}},
        {u"Kikakuti4"_s, {u"KUBUN"_s, u"KOSYUMEI"_s, u"KOUMOKUMEI"_s}},
        {u"TakasaFormation"_s, {u"KCODE"_s, u"LNO"_s}},
        {u"DekigataTorimatome4"_s, {u"KOJICODE"_s, u"LNO"_s}},
    };
    return keys.value(table);
}
} // namespace

QString ParadoxBackupFolderName(const QDateTime &when)
{
    return u"paradox-backup-"_s + when.toString(u"yyyyMMdd-hhmmss"_s);
}

qint64 TParadoxSurvey::TotalRecords() const
{
    qint64 total = 0;
    for (const TParadoxSourceTable &t : Tables)
        total += t.Records;
    return total;
}

QString TParadoxSurvey::DescriptionText() const
{
    QString text = u"「%1」にある旧形式（Paradox）のテーブルを取り込みます。\n\n"_s.arg(
        QDir::toNativeSeparators(SourceFolder));
    for (const TParadoxSourceTable &t : Tables)
        text += u"　%1　%2 件\n"_s.arg(QFileInfo(t.Path).fileName(), QString::number(t.Records));
    if (!AbsentTables.isEmpty())
        text += u"\n旧データにないテーブル（取り込みません）: %1\n"_s.arg(AbsentTables.join(u"、"_s));
    if (!DekigataDefPath.isEmpty()) {
        text += DekigataDefProblem.isEmpty()
                    ? u"\n標準値の設定ファイル DekigataDef も取り込めます。\n"_s
                    : u"\nDekigataDef は取り込めません: %1\n"_s.arg(DekigataDefProblem);
    }
    if (!Server.isEmpty())
        text += u"\n元のフォルダのファイルには手を加えません。取り込み先は%1です。"_s.arg(Server);
    else if (SourceIsDataFolder)
        text += u"\n元のファイルは、手を加えずにデータフォルダ内のフォルダ「paradox-backup-日付-時刻」へ移します。"_s;
    else
        text += u"\n元のフォルダのファイルには手を加えません。取り込み先はデータフォルダ「%1」です。"_s.arg(
            QDir::toNativeSeparators(DataFolder));
    if (!Refusals.isEmpty())
        text += u"\n\n取り込めません:\n"_s + Refusals.join(u'\n');
    return text;
}

qint64 TParadoxImportResult::TotalRows() const
{
    qint64 total = 0;
    for (const TParadoxTableResult &t : Tables)
        total += t.Rows;
    return total;
}

QString TParadoxImportResult::SummaryText() const
{
    QString text = u"旧データの取り込みが終わりました。\n\n"_s;
    for (const TParadoxTableResult &t : Tables) {
        text += u"%1: %2 件\n"_s.arg(t.Table, QString::number(t.Rows));
        for (const QString &note : t.Notes)
            text += u"　　%1\n"_s.arg(note);
    }
    text += u"合計 %1 件\n"_s.arg(QString::number(TotalRows()));
    if (DekigataDefTaken) {
        text += u"\nDekigataDef を作業フォルダに取り込みました。"_s;
        if (!DekigataDefBackup.isEmpty())
            text += u"それまでのものは「%1」に残してあります。"_s.arg(QDir::toNativeSeparators(DekigataDefBackup));
        text += u'\n';
    }
    if (!Skipped.isEmpty()) {
        text += u"\n取り込まなかったもの:\n"_s;
        for (const QString &s : Skipped)
            text += u"　%1\n"_s.arg(s);
    }
    if (!BackupFolder.isEmpty())
        text += u"\n元のファイルは「%1」にあります。"_s.arg(QDir::toNativeSeparators(BackupFolder));
    return text;
}

namespace {

QString WithSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString CanonicalFolder(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return WithSlash(canonical.isEmpty() ? QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) : canonical);
}

QString FileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

// Rows of the table in one of our SQLite files, or 0 when it is empty, not a database or
// holds no such table. Opened read-only so the file is never changed by looking.
qint64 SqliteRowCount(const QString &file, const QString &table)
{
    QFile probe(file);
    if (!probe.open(QIODevice::ReadOnly))
        return 0;
    if (!probe.read(16).startsWith("SQLite format 3"))
        return 0;
    probe.close();
    qint64 rows = 0;
    const QString name = u"kelmo4-paradox-probe"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(file);
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(u"SELECT count(*) FROM \"%1\""_s.arg(table)) && q.next())
                rows = q.value(0).toLongLong();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

// Files of the folder that a new table file would replace: any spelling of "<Table>.db"
// and SQLite's side files of it.
QStringList FilesInTheWay(const QString &folder, const QString &table)
{
    QStringList files;
    const QString base = table + u".db"_s;
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &entry : entries) {
        for (const QString &suffix : {u""_s, u"-journal"_s, u"-wal"_s, u"-shm"_s}) {
            if (entry.compare(base + suffix, Qt::CaseInsensitive) == 0) {
                files.append(folder + entry);
                break;
            }
        }
    }
    return files;
}

QString FindDekigataDef(const QString &folder)
{
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(QString::fromLatin1(DekigataDefFileName), Qt::CaseInsensitive) == 0)
            return folder + entry;
    }
    return QString();
}

QString WorkingDekigataDef()
{
    return QDir::current().absoluteFilePath(QString::fromLatin1(DekigataDefFileName));
}

bool SameFile(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

// ---- reading one Paradox table ------------------------------------------------------------

struct TPxField
{
    QString Name;
    int Type = 0;
    int Length = 0;
    int Offset = 0;
};

QString ParadoxTypeName(int type)
{
    switch (type) {
    case pxfAlpha: return u"文字"_s;
    case pxfDate: return u"日付"_s;
    case pxfShort: return u"短整数"_s;
    case pxfLong: return u"長整数"_s;
    case pxfCurrency: return u"通貨"_s;
    case pxfNumber: return u"数値"_s;
    case pxfLogical: return u"論理"_s;
    case pxfMemoBLOb: case pxfFmtMemoBLOb: return u"メモ"_s;
    case pxfBLOb: case pxfOLE: case pxfGraphic: case pxfBytes: return u"バイナリ"_s;
    case pxfTime: return u"時刻"_s;
    case pxfTimestamp: return u"日時"_s;
    case pxfAutoInc: return u"自動採番"_s;
    case pxfBCD: return u"BCD"_s;
    default: return u"型 %1"_s.arg(type);
    }
}

bool IsReadableType(int type)
{
    switch (type) {
    case pxfAlpha: case pxfDate: case pxfShort: case pxfLong: case pxfCurrency: case pxfNumber:
    case pxfLogical: case pxfTimestamp: case pxfAutoInc:
        return true;
    default:
        return false;
    }
}

// Paradox dates count days from 0001-01-01 (day 1), timestamps milliseconds from the same
// origin; QDate counts Julian days.
constexpr qint64 kParadoxDateOffset = 1721425;

QDate ParadoxDate(qint64 days)
{
    if (days <= 0 || days > 3652059) // 9999-12-31
        return QDate();
    return QDate::fromJulianDay(days + kParadoxDateOffset);
}

// A read-only stream over bytes in memory that behaves like a file: seeking past the end
// is allowed and reading there gives nothing, as the library expects of a cut file.
struct TMemoryStream
{
    const QByteArray *Bytes;
    qint64 Pos = 0;
};

std::FILE *OpenMemoryStream(const QByteArray &bytes)
{
    cookie_io_functions_t io{};
    io.read = [](void *cookie, char *buf, size_t size) -> ssize_t {
        auto *s = static_cast<TMemoryStream *>(cookie);
        const qint64 left = qMax<qint64>(0, s->Bytes->size() - s->Pos);
        const qint64 n = qMin<qint64>(left, qint64(size));
        if (n > 0)
            memcpy(buf, s->Bytes->constData() + s->Pos, size_t(n));
        s->Pos += n;
        return ssize_t(n);
    };
    io.seek = [](void *cookie, off64_t *offset, int whence) -> int {
        auto *s = static_cast<TMemoryStream *>(cookie);
        qint64 base = 0;
        if (whence == SEEK_CUR)
            base = s->Pos;
        else if (whence == SEEK_END)
            base = s->Bytes->size();
        const qint64 target = base + *offset;
        if (target < 0)
            return -1;
        s->Pos = target;
        *offset = target;
        return 0;
    };
    io.close = [](void *cookie) -> int {
        delete static_cast<TMemoryStream *>(cookie);
        return 0;
    };
    auto *cookie = new TMemoryStream{&bytes};
    std::FILE *f = fopencookie(cookie, "rb", io);
    if (!f)
        delete cookie;
    return f;
}

class TParadoxReader
{
public:
    TParadoxReader(const QString &table, const QString &path)
        : m_table(table)
        , m_path(path)
    {
        // Read whole and parsed from memory: the library seeks for every record, and the
        // original is only opened for reading.
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw EFileError(u"%1: ファイル「%2」を開けません（%3）。"_s.arg(table, path, file.errorString()));
        m_bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw EFileError(u"%1: ファイル「%2」を読めません（%3）。"_s.arg(table, path, file.errorString()));
        m_size = m_bytes.size();
        if (m_size == 0)
            throw EFileError(u"%1: ファイル「%2」は空です（壊れています）。"_s.arg(table, FileName(path)));
        m_fp.reset(OpenMemoryStream(m_bytes));
        if (!m_fp)
            throw EFileError(u"%1: ファイル「%2」を開けません。"_s.arg(table, FileName(path)));
        m_px.Doc = PX_new3(&TParadoxReader::ErrorHandler, nullptr, nullptr, nullptr, this);
        if (!m_px.Doc || PX_open_fp(m_px.Doc, m_fp.get()) < 0)
            throw EFileError(u"%1: ファイル「%2」は旧形式のテーブルとして読めません（壊れています: %3）。"_s.arg(
                table, FileName(path), m_lastError));
        m_px.Open = true;
        m_doc = m_px.Doc;
        // The password's checksum stands in the header; the blocks behind it are scrambled.
        if (m_doc->px_head->px_encryption != 0)
            throw Encrypted();
        PX_set_parameter(m_doc, "warning", "false");
        const pxhead_t *head = m_doc->px_head;
        if (m_size < head->px_headersize)
            throw EFileError(u"%1: ファイル「%2」が途中で切れています（壊れています）。"_s.arg(table, FileName(path)));
        m_recordSize = PX_get_recordsize(m_doc);
        m_count = PX_get_num_records(m_doc);
        int offset = 0;
        const int fieldCount = PX_get_num_fields(m_doc);
        for (int i = 0; i < fieldCount; ++i) {
            const pxfield_t *f = PX_get_field(m_doc, i);
            TPxField field;
            field.Name = QString::fromLatin1(f->px_fname).trimmed();
            field.Type = quint8(f->px_ftype);
            field.Length = f->px_flen;
            field.Offset = offset;
            offset += f->px_flen;
            m_fields.append(field);
        }
        if (m_recordSize <= 0 || offset > m_recordSize || m_count < 0)
            throw EFileError(u"%1: ファイル「%2」の見出しが壊れています。"_s.arg(table, FileName(path)));
        m_record.resize(qMax(m_recordSize, 1));
    }

    TParadoxReader(const TParadoxReader &) = delete;
    TParadoxReader &operator=(const TParadoxReader &) = delete;

    int RecordCount() const { return m_count; }

    // Paradox files are whole blocks behind the header; one that is shorter was cut, even
    // when every row that is left can be read.
    void CheckWhole() const
    {
        const pxhead_t *head = m_doc->px_head;
        const qint64 expected = qint64(head->px_headersize) + qint64(head->px_fileblocks) * head->px_maxtablesize * 1024;
        if (m_size < expected)
            throw EFileError(u"%1: ファイル「%2」が途中で切れています（%3 バイトのはずが %4 バイトです）。"_s.arg(
                m_table, FileName(m_path), QString::number(expected), QString::number(m_size)));
    }
    const QList<TPxField> &Fields() const { return m_fields; }

    // Reads record n (0-based) and raises EFileError naming its row when it is not there
    // in whole. Rows read in order walk the block chain once; the library would search
    // the chain from its start for every row of a table without index.
    void Read(int n)
    {
        if (n != m_nextRow || n == 0)
            StartWalk(n);
        while (m_inBlock >= m_blockRecords)
            NextBlock(n);
        const qint64 pos = m_blockPos + kBlockHeader + qint64(m_inBlock) * m_recordSize;
        if (pos + m_recordSize > m_size)
            throw Cut(n);
        memcpy(m_record.data(), m_bytes.constData() + pos, size_t(m_recordSize));
        ++m_inBlock;
        m_nextRow = n + 1;
    }

    // The field of the record last read: QString (the raw Shift-JIS bytes decoded), qint64,
    // double, bool, QDate, or a null QVariant for a blank field. Sets *mended when a
    // double-byte character cut at the end of the field was dropped.
    QVariant Value(int index, bool *mended, QString *problem)
    {
        const TPxField &f = m_fields[index];
        char *data = m_record.data() + f.Offset;
        // A blank field is all zero bytes; a stored zero has its sign bit set. The library's
        // own test for blanks reads past short fields on 64-bit hosts, so it is not used.
        if (f.Type != pxfAlpha && std::all_of(data, data + f.Length, [](char b) { return b == 0; }))
            return QVariant();
        switch (f.Type) {
        case pxfAlpha: {
            QByteArray bytes(data, f.Length);
            const qsizetype nul = bytes.indexOf('\0');
            if (nul >= 0)
                bytes.truncate(nul);
            return DecodeText(bytes, mended, problem);
        }
        case pxfLong:
        case pxfAutoInc: {
            long v = 0;
            if (PX_get_data_long(m_doc, data, f.Length, &v) <= 0)
                return QVariant();
            return QVariant(qint64(v));
        }
        case pxfShort: {
            short v = 0;
            if (PX_get_data_short(m_doc, data, f.Length, &v) <= 0)
                return QVariant();
            return QVariant(qint64(v));
        }
        case pxfDate: {
            long v = 0;
            if (PX_get_data_long(m_doc, data, f.Length, &v) <= 0)
                return QVariant();
            const QDate date = ParadoxDate(v);
            if (!date.isValid())
                *problem = u"日付の値 %1 は日付になりません"_s.arg(v);
            return date;
        }
        case pxfTimestamp: {
            double v = 0;
            if (PX_get_data_double(m_doc, data, f.Length, &v) <= 0)
                return QVariant();
            const QDate date = ParadoxDate(qint64(std::floor(v / 86400000.0)));
            if (!date.isValid())
                *problem = u"日時の値は日付になりません"_s;
            return date;
        }
        case pxfLogical: {
            char v = 0;
            if (PX_get_data_byte(m_doc, data, f.Length, &v) <= 0)
                return QVariant();
            return QVariant(v != 0);
        }
        case pxfNumber:
        case pxfCurrency: {
            double v = 0;
            if (PX_get_data_double(m_doc, data, f.Length, &v) <= 0)
                return QVariant();
            if (!std::isfinite(v))
                *problem = u"数値が壊れています"_s;
            return QVariant(v);
        }
        default:
            *problem = u"%1型は取り込めません"_s.arg(ParadoxTypeName(f.Type));
            return QVariant();
        }
    }

private:
    // Each data block starts with the numbers of the next and previous blocks and the size
    // of its records beyond the first.
    static constexpr int kBlockHeader = 6;

    EFileError Encrypted() const
    {
        return EFileError(u"%1: ファイル「%2」はパスワード付きのテーブルで、読めません。旧プログラムでパスワードを外してから取り込んでください。"_s.arg(
            m_table, FileName(m_path)));
    }

    EFileError Cut(int n) const
    {
        return EFileError(u"%1 の %2 行目を読めません。ファイル「%3」が途中で切れています（壊れています）。"_s.arg(
            m_table, QString::number(n + 1), FileName(m_path)));
    }

    EFileError TooFewRows(int n) const
    {
        return EFileError(u"%1 の %2 行目を読めません。ファイル「%3」の行が見出しの件数に足りません（壊れています）。"_s.arg(
            m_table, QString::number(n + 1), FileName(m_path)));
    }

    void NextBlock(int n)
    {
        if (m_nextBlock == 0 || ++m_blocksWalked > int(m_doc->px_head->px_fileblocks))
            throw TooFewRows(n);
        LoadBlock(m_nextBlock, n);
    }

    // From the first block to the one that holds row n.
    void StartWalk(int n)
    {
        m_blocksWalked = 1;
        LoadBlock(int(m_doc->px_head->px_firstblock), n);
        int first = 0; // row of the block's first record
        while (first + m_blockRecords <= n) {
            first += m_blockRecords;
            NextBlock(n);
        }
        m_inBlock = n - first;
    }

    void LoadBlock(int block, int n)
    {
        const pxhead_t *head = m_doc->px_head;
        const qint64 blockSize = qint64(head->px_maxtablesize) * 1024;
        if (block <= 0)
            throw Cut(n);
        m_blockPos = qint64(head->px_headersize) + qint64(block - 1) * blockSize;
        if (m_blockPos + kBlockHeader > m_size)
            throw Cut(n);
        const uchar *p = reinterpret_cast<const uchar *>(m_bytes.constData() + m_blockPos);
        m_nextBlock = qFromLittleEndian<quint16>(p);
        const qint16 added = qFromLittleEndian<qint16>(p + 4);
        m_blockRecords = added < 0 ? 0 : added / m_recordSize + 1;
        if (kBlockHeader + qint64(m_blockRecords) * m_recordSize > blockSize)
            throw EFileError(u"%1 の %2 行目を読めません。ファイル「%3」のデータブロックが壊れています。"_s.arg(
                m_table, QString::number(n + 1), FileName(m_path)));
        m_inBlock = 0;
    }

    static void ErrorHandler(pxdoc_t *, int, const char *message, void *data)
    {
        auto *self = static_cast<TParadoxReader *>(data);
        if (self && message)
            self->m_lastError = QString::fromLocal8Bit(message).trimmed();
    }

    QVariant DecodeText(QByteArray bytes, bool *mended, QString *problem)
    {
        if (std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; }))
            return QString::fromLatin1(bytes);
        QString text = m_decoder->decode(bytes);
        if (!m_decoder->hasError())
            return text;
        // The error sticks to a decoder, so every retry takes a new one.
        m_decoder = NewDecoder();
        // A full-width character cut in two at the end of the field: drop the half.
        bytes.chop(1);
        text = m_decoder->decode(bytes);
        const bool bad = m_decoder->hasError();
        m_decoder = NewDecoder();
        if (!bad) {
            *mended = true;
            return text;
        }
        *problem = u"Shift-JIS として読めない文字があります"_s;
        return QVariant();
    }

    struct TFileCloser
    {
        void operator()(std::FILE *f) const { std::fclose(f); }
    };
    // Closed and freed before the file it reads.
    struct TPxDoc
    {
        pxdoc_t *Doc = nullptr;
        bool Open = false;
        TPxDoc() = default;
        TPxDoc(const TPxDoc &) = delete;
        TPxDoc &operator=(const TPxDoc &) = delete;
        ~TPxDoc()
        {
            if (Doc && Open)
                PX_close(Doc);
            if (Doc)
                PX_delete(Doc);
        }
    };

    QString m_table;
    QString m_path;
    qint64 m_size = 0;
    QByteArray m_bytes; // outlives the stream over it
    std::unique_ptr<std::FILE, TFileCloser> m_fp;
    TPxDoc m_px;
    pxdoc_t *m_doc = nullptr;
    int m_recordSize = 0;
    int m_count = 0;
    // The walk over the block chain.
    int m_nextRow = 0;
    qint64 m_blockPos = 0;
    int m_blockRecords = 0;
    int m_inBlock = 0;
    int m_nextBlock = 0;
    int m_blocksWalked = 0;
    QList<TPxField> m_fields;
    QByteArray m_record;
    static std::unique_ptr<QStringDecoder> NewDecoder()
    {
        return std::make_unique<QStringDecoder>("windows-31j", QStringConverter::Flag::Stateless);
    }
    std::unique_ptr<QStringDecoder> m_decoder = NewDecoder();
    QString m_lastError;
};

int ParadoxHeaderRecordCount(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = file.read(10);
    if (head.size() < 10)
        return 0;
    return int(qFromLittleEndian<quint32>(head.constData() + 6));
}

// ---- converting a Paradox value to its column ---------------------------------------------

bool IsIntegral(double v)
{
    return std::isfinite(v) && v == std::floor(v) && std::fabs(v) <= 2147483647.0;
}

// The value as the column stores it; a null QVariant is NULL (no value). Sets *problem when
// the value does not fit the column's type.
QVariant ToColumn(const QVariant &v, const TFieldDef &field, QString *problem)
{
    const int type = v.typeId();
    switch (field.Type) {
    case TFieldType::Alpha:
        if (v.isNull())
            return QString(u""_s);
        switch (type) {
        case QMetaType::QString: return v;
        case QMetaType::LongLong: return QString::number(v.toLongLong());
        case QMetaType::Double: return FormatGeneral(v.toDouble());
        case QMetaType::Bool: return v.toBool() ? u"TRUE"_s : u"FALSE"_s;
        case QMetaType::QDate: return DateToText(v.toDate());
        default: break;
        }
        break;
    case TFieldType::LongInt:
        if (v.isNull())
            return QVariant();
        switch (type) {
        case QMetaType::LongLong:
            if (std::llabs(v.toLongLong()) <= 2147483647LL)
                return v;
            break;
        case QMetaType::Double:
            if (IsIntegral(v.toDouble()))
                return QVariant(qint64(v.toDouble()));
            break;
        case QMetaType::Bool: return QVariant(qint64(v.toBool() ? 1 : 0));
        case QMetaType::QString: {
            const QString text = v.toString().trimmed();
            if (text.isEmpty())
                return QVariant();
            bool ok = false;
            const int n = text.toInt(&ok);
            if (ok)
                return QVariant(qint64(n));
            break;
        }
        default: break;
        }
        break;
    case TFieldType::Float:
        if (v.isNull())
            return QVariant();
        switch (type) {
        case QMetaType::Double: return v;
        case QMetaType::LongLong: return QVariant(double(v.toLongLong()));
        case QMetaType::QString: {
            const QString text = v.toString().trimmed();
            if (text.isEmpty())
                return QVariant();
            if (IsFloatText(text))
                return QVariant(TextToFloat(text));
            break;
        }
        default: break;
        }
        break;
    case TFieldType::Date:
        if (v.isNull())
            return QVariant();
        switch (type) {
        case QMetaType::QDate: return v;
        case QMetaType::QString: {
            const QString text = v.toString().trimmed();
            if (text.isEmpty())
                return QVariant();
            if (IsDateText(text))
                return TextToDate(text);
            break;
        }
        default: break;
        }
        break;
    case TFieldType::Logical:
        if (v.isNull())
            return QVariant();
        switch (type) {
        case QMetaType::Bool: return v;
        case QMetaType::LongLong: return QVariant(v.toLongLong() != 0);
        case QMetaType::QString: {
            const QString text = v.toString().trimmed();
            if (text.isEmpty())
                return QVariant();
            if (text.compare(u"TRUE"_s, Qt::CaseInsensitive) == 0)
                return QVariant(true);
            if (text.compare(u"FALSE"_s, Qt::CaseInsensitive) == 0)
                return QVariant(false);
            break;
        }
        default: break;
        }
        break;
    }
    *problem = u"値「%1」はこの項目の型に合いません"_s.arg(v.toString());
    return QVariant();
}

QVariant Bindable(const QVariant &v)
{
    if (v.isNull())
        return QVariant(QMetaType::fromType<QString>());
    switch (v.typeId()) {
    case QMetaType::QDate: return v.toDate().toString(u"yyyy-MM-dd"_s);
    case QMetaType::Bool: return QVariant(v.toBool() ? 1 : 0);
    default: return v;
    }
}

// ---- the staging connection -------------------------------------------------------------

// One SQLite connection on the staging folder, removed with it.
class TStagingConnection
{
public:
    TStagingConnection()
        : m_name(u"kelmo4-paradox-import"_s)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
        db.setDatabaseName(u":memory:"_s);
        if (!db.open())
            throw EDatabaseError(u"取り込み用のデータベースを開けません（%1）。"_s.arg(db.lastError().text()));
    }
    ~TStagingConnection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    TStagingConnection(const TStagingConnection &) = delete;
    TStagingConnection &operator=(const TStagingConnection &) = delete;

    QSqlDatabase Db() const { return QSqlDatabase::database(m_name, false); }

    void Exec(const QString &sql, const QString &what)
    {
        QSqlQuery q(Db());
        if (!q.exec(sql))
            throw EDatabaseError(u"%1（%2）"_s.arg(what, q.lastError().text()));
    }

private:
    QString m_name;
};

// Removes a folder and what it holds when it goes out of scope.
class TFolderRemover
{
public:
    explicit TFolderRemover(QString folder) : m_folder(std::move(folder)) {}
    ~TFolderRemover()
    {
        if (!m_folder.isEmpty())
            QDir(m_folder).removeRecursively();
    }
    TFolderRemover(const TFolderRemover &) = delete;
    TFolderRemover &operator=(const TFolderRemover &) = delete;

private:
    QString m_folder;
};

// Staging folders of imports that were killed half-way: only ever our table files, and
// of no use once an import has gone through.
void RemoveStaleStagingFolders(const QString &dataFolder, const QString &current)
{
    const QDir dir(dataFolder);
    const QStringList folders = dir.entryList({u".paradox-import-*"_s}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : folders) {
        const QString path = dir.filePath(name);
        if (SameFile(path, current))
            continue;
        const QDir stale(path);
        if (!stale.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty())
            continue;
        const QStringList files = stale.entryList(QDir::Files | QDir::Hidden | QDir::System);
        const bool ours = std::all_of(files.cbegin(), files.cend(), [](const QString &f) {
            return f.endsWith(u".db"_s) || f.endsWith(u".db-journal"_s);
        });
        if (ours)
            QDir(path).removeRecursively();
    }
}

QString UniqueFolder(const QString &parent, const QString &name)
{
    QString candidate = parent + name;
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = parent + name + u'-' + QString::number(n);
    return candidate;
}

} // namespace

// ---- survey -------------------------------------------------------------------------------

TParadoxImport::TParadoxImport(const QString &sourceFolder)
    : m_source(WithSlash(sourceFolder))
{
}

TParadoxSurvey TParadoxImport::Survey() const
{
    TParadoxSurvey survey;
    survey.SourceFolder = m_source;
    survey.DataFolder = GetAliasPath(u"tomaruk"_s);
    const QFileInfo sourceInfo(m_source);
    if (!sourceInfo.isDir() || !sourceInfo.isReadable())
        throw EFileError(u"フォルダ「%1」を読めません。"_s.arg(QDir::toNativeSeparators(m_source)));
    // On a server the tables are read into a folder of their own and copied to the server in
    // one transaction; a table of the server that holds rows is not ours to add to.
    const TDataSource target = GetAliasSource(u"tomaruk"_s);
    const bool onServer = target.IsServer();
    if (onServer) {
        survey.Server = target.Describe();
        survey.DataFolder = WithSlash(QDir::tempPath());
    } else {
        // An import killed while it moved the files is finished first; what is left is what counts.
        if (QFileInfo(survey.DataFolder).isDir())
            FinishInterruptedMoves(survey.DataFolder);
        survey.SourceIsDataFolder = QFileInfo(survey.DataFolder).exists()
                                    && CanonicalFolder(m_source) == CanonicalFolder(survey.DataFolder);
    }

    const QList<TParadoxTableFile> found = FindParadoxTables(m_source);
    for (const QString &table : KnownTableNames()) {
        const auto it = std::find_if(found.cbegin(), found.cend(),
                                     [&](const TParadoxTableFile &f) { return f.Table == table; });
        if (it == found.cend()) {
            survey.AbsentTables.append(table);
            continue;
        }
        survey.Tables.append({table, it->Path, ParadoxHeaderRecordCount(it->Path)});
        if (onServer) {
            if (TableExists(table)) {
                TQuery count(u"select count(*) as N from %1"_s.arg(table));
                count.Open();
                if (const int rows = count.FieldInt(u"N"_s); rows > 0)
                    survey.Refusals.append(u"サーバーのテーブル %1 にはすでに %2 件のデータがあります。取り込みは、データのないデータベースにだけできます。"_s.arg(
                        table, QString::number(rows)));
            }
            continue;
        }
        // A table of the data folder that already holds records is not ours to replace: the
        // records would be lost, and merging would give two headers one ID.
        for (const QString &file : FilesInTheWay(survey.DataFolder, table)) {
            if (file == it->Path)
                continue;
            const qint64 rows = SqliteRowCount(file, table);
            if (rows > 0)
                survey.Refusals.append(u"データフォルダのテーブル %1 にはすでに %2 件のデータがあります。取り込みは、データのないデータフォルダにだけできます。"_s.arg(
                    table, QString::number(rows)));
        }
    }

    // Paradox tables of the data folder itself would stay behind and keep it unusable.
    if (!onServer && !survey.SourceIsDataFolder && HasParadoxTables(survey.DataFolder))
        survey.Refusals.append(u"データフォルダ「%1」にも旧形式のテーブルがあります。先にデータフォルダのほうを取り込んでください。"_s.arg(
            QDir::toNativeSeparators(survey.DataFolder)));

    survey.DekigataDefPath = FindDekigataDef(m_source);
    if (!survey.DekigataDefPath.isEmpty()) {
        const qint64 size = QFileInfo(survey.DekigataDefPath).size();
        if (SameFile(survey.DekigataDefPath, WorkingDekigataDef()))
            survey.DekigataDefProblem = u"作業フォルダのものと同じファイルです"_s;
        else if (size != TDekigataDef::RecordSize)
            survey.DekigataDefProblem = u"大きさが %1 バイトで、%2 バイトではありません"_s.arg(
                QString::number(size), QString::number(TDekigataDef::RecordSize));
    }
    return survey;
}

// ---- run ----------------------------------------------------------------------------------

namespace {
// 2. on a server: the staged tables in one transaction, then the defaults file beside the
// program (its previous one kept as DekigataDef.before-import-<time>).
void TakeOverToServer(const QString &staging, TParadoxImportResult &result, const QString &dekigataDef, const QDateTime &now)
{
    QStringList tables;
    for (const TParadoxTableResult &t : std::as_const(result.Tables))
        tables.append(t.Table);
    TDataSource staged;
    staged.Folder = WithSlash(staging);
    CopyTables(staged, GetAliasSource(u"tomaruk"_s), tables);
    TDatabase::Close();
    if (tables.contains(TKelmo4Line::TableDef().Name()))
        TKelmo4Line().CreateTableIfMissing();
    if (dekigataDef.isEmpty())
        return;
    const QString working = WorkingDekigataDef();
    const QString incoming = working + u".importing"_s;
    QFile::remove(incoming);
    if (!QFile::copy(dekigataDef, incoming))
        throw EFileError(u"表はサーバーに取り込みましたが、DekigataDef を作業フォルダ「%1」へ写せません。"_s.arg(
            QDir::toNativeSeparators(QFileInfo(working).absolutePath())));
    if (QFileInfo::exists(working)) {
        result.DekigataDefBackup = working + u".before-import-"_s + now.toString(u"yyyyMMdd-hhmmss"_s);
        if (!QFile::rename(working, result.DekigataDefBackup)) {
            QFile::remove(incoming);
            throw EFileError(u"表はサーバーに取り込みましたが、作業フォルダの DekigataDef を控えられないため、取り込みませんでした。"_s);
        }
    }
    if (!QFile::rename(incoming, working)) {
        if (!result.DekigataDefBackup.isEmpty())
            QFile::rename(result.DekigataDefBackup, working);
        throw EFileError(u"表はサーバーに取り込みましたが、DekigataDef を置けませんでした。"_s);
    }
    result.DekigataDefTaken = true;
    try {
        LoadDefaults();
    } catch (const EKelmoError &) {
        // The file is in place; the next activation of the defaults reports it.
    }
}
} // namespace

TParadoxImportResult TParadoxImport::Run(bool takeDekigataDef, const TParadoxProgress &progress)
{
    const TParadoxSurvey survey = Survey();
    if (survey.Tables.isEmpty())
        throw EFileError(u"フォルダ「%1」には旧形式（Paradox）のテーブルがありません。"_s.arg(
            QDir::toNativeSeparators(m_source)));
    if (!survey.Refusals.isEmpty())
        throw EDatabaseError(survey.Refusals.join(u'\n'));

    const QString dataFolder = survey.DataFolder;
    if (!QDir().mkpath(dataFolder))
        throw EFileError(u"データフォルダ「%1」を作れません。"_s.arg(QDir::toNativeSeparators(dataFolder)));

    TParadoxImportResult result;
    const QDateTime now = QDateTime::currentDateTime();
    const QString staging = UniqueFolder(dataFolder, u".paradox-import-"_s + now.toString(u"yyyyMMdd-hhmmss"_s));
    if (!QDir().mkpath(staging))
        throw EFileError(u"データフォルダ「%1」に書き込めません。"_s.arg(QDir::toNativeSeparators(dataFolder)));
    TFolderRemover removeStaging(staging);

    // 1. Every table read and written into the staging folder; nothing else is touched yet.
    const qint64 total = survey.TotalRecords();
    qint64 done = 0;
    {
        TStagingConnection staged;
        for (const TParadoxSourceTable &source : survey.Tables) {
            const TTableDef *def = FindTableDef(source.Table);
            if (!def)
                throw EDatabaseError(u"テーブル %1 の定義がありません。"_s.arg(source.Table));
            TParadoxReader reader(source.Table, source.Path);
            TParadoxTableResult tableResult;
            tableResult.Table = source.Table;

            QStringList missingKeys;
            for (const QString &key : KeyColumns(source.Table)) {
                const bool found = std::any_of(reader.Fields().cbegin(), reader.Fields().cend(), [&](const TPxField &f) {
                    return f.Name.compare(key, Qt::CaseInsensitive) == 0;
                });
                if (!found)
                    missingKeys.append(key);
            }
            if (!missingKeys.isEmpty())
                throw EDatabaseError(
                    u"ファイル「%1」は %2 のテーブルではありません（項目 %3 がありません）。別のプログラムのテーブルのようです。"
                    "このファイルをフォルダの外へ移してから、もう一度取り込んでください。何も取り込んでいません。"_s.arg(
                        QDir::toNativeSeparators(source.Path), source.Table, missingKeys.join(u"、"_s)));

            // Column i of the new table takes Paradox field map[i], or stays blank.
            QList<int> map;
            for (const TFieldDef &field : def->Fields()) {
                int index = -1;
                for (int i = 0; i < reader.Fields().size(); ++i) {
                    if (reader.Fields()[i].Name.compare(field.Name, Qt::CaseInsensitive) == 0) {
                        index = i;
                        break;
                    }
                }
                if (index < 0 && !field.AddedLater) // old data never had such a column
                    tableResult.Notes.append(u"項目 %1 が旧データにないため、空にしました。"_s.arg(field.Name));
                else if (!IsReadableType(reader.Fields()[index].Type))
                    throw EDatabaseError(u"%1 の項目 %2 は%3型で、取り込めません（ファイル「%4」）。"_s.arg(
                        source.Table, field.Name, ParadoxTypeName(reader.Fields()[index].Type), FileName(source.Path)));
                map.append(index);
            }
            for (const TPxField &f : reader.Fields()) {
                if (!def->Field(f.Name))
                    tableResult.Notes.append(u"旧データの項目 %1 はこのプログラムにないため、取り込みませんでした。"_s.arg(f.Name));
            }

            const QString file = staging + u'/' + source.Table + u".db"_s;
            {
                QSqlQuery attach(staged.Db());
                attach.prepare(u"ATTACH DATABASE ? AS \"%1\""_s.arg(source.Table));
                attach.addBindValue(file);
                if (!attach.exec())
                    throw EDatabaseError(u"%1: 取り込み用のファイルを作れません（%2）。"_s.arg(
                        source.Table, attach.lastError().text()));
            }
            staged.Exec(def->CreateStatement(), source.Table + u": テーブルを作れません"_s);
            staged.Exec(u"BEGIN"_s, source.Table + u": 書き込みを始められません"_s);

            QStringList columns, marks;
            for (const TFieldDef &field : def->Fields()) {
                columns.append(u'"' + field.Name + u'"');
                marks.append(u"?"_s);
            }
            int mendedTexts = 0;
            {
            QSqlQuery insert(staged.Db());
            if (!insert.prepare(u"INSERT INTO \"%1\".\"%1\" (%2) VALUES (%3)"_s.arg(
                    source.Table, columns.join(u','), marks.join(u','))))
                throw EDatabaseError(u"%1: %2"_s.arg(source.Table, insert.lastError().text()));

            for (int row = 0; row < reader.RecordCount(); ++row) {
                reader.Read(row);
                for (int c = 0; c < def->Fields().size(); ++c) {
                    const TFieldDef &field = def->Fields()[c];
                    QVariant value;
                    QString problem;
                    if (map[c] >= 0) {
                        bool mended = false;
                        value = reader.Value(map[c], &mended, &problem);
                        if (mended)
                            ++mendedTexts;
                        if (problem.isEmpty())
                            value = ToColumn(value, field, &problem);
                    } else {
                        value = ToColumn(QVariant(), field, &problem);
                    }
                    if (!problem.isEmpty())
                        throw EDatabaseError(u"%1 の %2 行目、項目 %3: %4。"_s.arg(
                            source.Table, QString::number(row + 1), field.Name, problem));
                    if (field.Type == TFieldType::Alpha) {
                        try {
                            def->CheckText(field.Name, value.toString());
                        } catch (const EDatabaseError &e) {
                            throw EDatabaseError(u"%1 の %2 行目: "_s.arg(source.Table, QString::number(row + 1))
                                                 + e.Message());
                        }
                    }
                    insert.bindValue(c, Bindable(value));
                }
                if (!insert.exec())
                    throw EDatabaseError(u"%1 の %2 行目を書き込めません（%3）。"_s.arg(
                        source.Table, QString::number(row + 1), insert.lastError().text()));
                ++done;
                if (progress && (row % 256 == 0 || row + 1 == reader.RecordCount())
                    && !progress(source.Table, done, total))
                    throw EKelmoError(u"取り込みを中止しました。データフォルダは元のままです。"_s);
            }
            }
            reader.CheckWhole();
            staged.Exec(u"COMMIT"_s, source.Table + u": 書き込みを終えられません"_s);
            staged.Exec(u"DETACH DATABASE \"%1\""_s.arg(source.Table), source.Table + u": ファイルを閉じられません"_s);
            if (mendedTexts > 0)
                tableResult.Notes.append(u"%1 か所で、項目の末尾で切れていた全角文字の半分を除きました。"_s.arg(mendedTexts));
            tableResult.Rows = reader.RecordCount();
            result.Tables.append(tableResult);
        }
    }
    if (!survey.AbsentTables.isEmpty())
        result.Skipped.append(u"旧データになかったテーブル: %1（データフォルダのものはそのままです）。"_s.arg(
            survey.AbsentTables.join(u"、"_s)));

    const bool takeDef = takeDekigataDef && !survey.DekigataDefPath.isEmpty() && survey.DekigataDefProblem.isEmpty();
    if (!survey.DekigataDefPath.isEmpty() && !survey.DekigataDefProblem.isEmpty())
        result.Skipped.append(u"DekigataDef: %1。"_s.arg(survey.DekigataDefProblem));
    else if (!survey.DekigataDefPath.isEmpty() && !takeDekigataDef)
        result.Skipped.append(u"DekigataDef: 取り込まないよう選ばれました。"_s);

    if (!survey.Server.isEmpty()) {
        TakeOverToServer(staging, result, takeDef ? survey.DekigataDefPath : QString(), now);
        return result;
    }

    // 2. The originals out of the way, the new files in. The moves are journalled in the data
    // folder first: a failure undoes them, and a program killed half-way has them finished
    // (or undone) at its next start, before any table is opened.
    TDatabase::Close();
    FinishInterruptedMoves(dataFolder);
    // Made by the moves themselves, once they are journalled; left behind only when
    // something went into it.
    const QString backup = UniqueFolder(dataFolder, ParadoxBackupFolderName(now));
    bool backupUsed = false;
    struct TEmptyFolderRemover
    {
        QString Folder;
        bool Keep = false;
        ~TEmptyFolderRemover()
        {
            if (!Keep)
                QDir().rmdir(Folder);
        }
    } removeBackup{backup};
    TFileMoves moves(dataFolder);
    moves.CreatedFolder(backup);
    moves.Scratch(staging);
    for (const TParadoxSourceTable &source : survey.Tables) {
        if (survey.SourceIsDataFolder) {
            moves.Move(source.Path, backup + u'/' + FileName(source.Path));
            for (const QString &companion : ParadoxCompanionFiles(source.Path))
                moves.Move(companion, backup + u'/' + FileName(companion));
            backupUsed = true;
        }
        for (const QString &file : FilesInTheWay(dataFolder, source.Table)) {
            if (SameFile(file, source.Path))
                continue;
            if (IsParadoxTableFile(file))
                result.Skipped.append(u"%1: 旧形式のファイル「%2」は取り込まずに、元のファイルとして移しました。"_s.arg(
                    source.Table, FileName(file)));
            moves.Move(file, backup + u'/' + FileName(file));
            backupUsed = true;
        }
        moves.Move(staging + u'/' + source.Table + u".db"_s, dataFolder + source.Table + u".db"_s);
    }
    struct TFileRemover
    {
        QString File;
        ~TFileRemover()
        {
            if (!File.isEmpty())
                QFile::remove(File);
        }
    } removeIncoming;
    if (takeDef) {
        const QString working = WorkingDekigataDef();
        // The copy is made before anything moves, so that failing to make it changes nothing.
        const QString incoming = working + u".importing"_s;
        QFile::remove(incoming);
        if (!QFile::copy(survey.DekigataDefPath, incoming))
            throw EFileError(u"DekigataDef を作業フォルダ「%1」へ写せません。"_s.arg(
                QDir::toNativeSeparators(QFileInfo(working).absolutePath())));
        removeIncoming.File = incoming;
        {
            QFile copy(incoming);
            if (copy.open(QIODevice::ReadWrite))
                ::fsync(copy.handle());
        }
        moves.Created(incoming);
        if (QFileInfo::exists(working)) {
            result.DekigataDefBackup = backup + u"/DekigataDef.before-import"_s;
            moves.Move(working, result.DekigataDefBackup);
            backupUsed = true;
        }
        moves.Move(incoming, working);
        if (survey.SourceIsDataFolder) {
            moves.Move(survey.DekigataDefPath, backup + u'/' + FileName(survey.DekigataDefPath));
            backupUsed = true;
        }
        result.DekigataDefTaken = true;
    }
    moves.Run();
    if (backupUsed) {
        removeBackup.Keep = true;
        result.BackupFolder = backup;
    }
    RemoveStaleStagingFolders(dataFolder, staging);
    // The owner adds what it keeps beside the bare table (the index on the line table).
    const bool linesTaken = std::any_of(result.Tables.cbegin(), result.Tables.cend(),
                                        [](const TParadoxTableResult &t) { return t.Table == TKelmo4Line::TableDef().Name(); });
    if (linesTaken)
        TKelmo4Line().CreateTableIfMissing();

    if (result.DekigataDefTaken) {
        try {
            LoadDefaults();
        } catch (const EKelmoError &) {
            // The file is in place; the next activation of the defaults reports it.
        }
    }
    return result;
}

void ImportParadoxFromCommandLine(const QString &folder, QTextStream &out)
{
    TParadoxImport import(folder);
    const TParadoxSurvey survey = import.Survey();
    if (!survey.Refusals.isEmpty())
        throw EDatabaseError(survey.Refusals.join(u'\n'));
    QString current;
    qint64 nextReport = 0;
    const TParadoxImportResult result = import.Run(true, [&](const QString &table, qint64 done, qint64 total) {
        if (table != current) {
            current = table;
            out << u"%1 を取り込んでいます…\n"_s.arg(table);
        }
        // About every tenth of the whole, so a large folder shows it is moving.
        if (done >= nextReport || done == total) {
            out << u"  %1 / %2 件\n"_s.arg(QString::number(done), QString::number(total));
            nextReport = done + qMax<qint64>(1, total / 10);
        }
        out.flush();
        return true;
    });
    out << u'\n' << result.SummaryText() << u'\n';
    out.flush();
}
