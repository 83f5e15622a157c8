#include "support/ParadoxFixture.h"
#include "support/StoredRows.h"
#include "support/TestEnv.h"

#include "app/Errors.h"
#include "app/SjisText.h"
#include "app/uDatabase.h"
#include "app/uDekigataDef.h"
#include "app/uParadoxFile.h"
#include "measure/uKelmo4Head.h"
#include "measure/uKelmo4Line.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uSimei.h"
#include "startup/uParadoxImport.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QtTest>

extern "C" {
#include <paradox.h>
}

using namespace Qt::Literals::StringLiterals;
using ParadoxFixture::TColumn;
using ParadoxFixture::TRow;

namespace {

// The file names as the earlier program left them, in their mixed cases.
const QMap<QString, QString> kOldFileNames = {
    {u"Kel4Head"_s, u"Kel4Head.db"_s},       {u"Kel4Line"_s, u"Kel4Line.db"_s},
    {u"Koji1"_s, u"Koji1.DB"_s},             {u"Kosyu4"_s, u"Kosyu4.DB"_s},
    {u"Kouku"_s, u"Kouku.DB"_s},             {u"Simei"_s, u"Simei.DB"_s},
    {u"Ukeoisya"_s, u"Ukeoisya.DB"_s},       {u"Hacchusya"_s, u"Hacchusya.DB"_s},
    {u"Kikakuti4"_s, u"KIKAKUTI4.db"_s},     {u"TakasaFormation"_s, u"TakasaFormation.DB"_s},
    {u"DekigataTorimatome4"_s, u"DekigataTorimatome4.db"_s},
};

// Every file under Folder (hidden ones too) with its bytes; folders as empty entries.
QMap<QString, QByteArray> Snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(folder).relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            files.insert(relative + u'/', QByteArray());
        } else {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            files.insert(relative, f.readAll());
        }
    }
    return files;
}

QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QList<TRow> WriteSampleTable(const QString &folder, const QString &table, int rows)
{
    const TTableDef *def = FindTableDef(table);
    const QList<TColumn> columns = ParadoxFixture::ColumnsOf(*def);
    const QList<TRow> data = ParadoxFixture::SampleRows(columns, rows);
    ParadoxFixture::Write(folder + kOldFileNames.value(table), columns, data);
    return data;
}

QMap<QString, QList<TRow>> WriteAllTables(const QString &folder, int rows)
{
    QMap<QString, QList<TRow>> written;
    for (const QString &table : KnownTableNames())
        written.insert(table, WriteSampleTable(folder, table, rows));
    return written;
}

QByteArray DefaultsRecord(char fill, const QString &company)
{
    TDekigataDef def;
    def.SetCompanyName(company);
    QByteArray bytes = def.Bytes();
    for (int i = 228; i < 392; ++i)
        bytes[i] = fill;
    return bytes;
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QString ImportFailure(const QString &folder)
{
    try {
        TParadoxImport(folder).Run(true);
    } catch (const EKelmoError &e) {
        return e.Message();
    }
    return QString();
}

} // namespace

class TestParadoxImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyTableDefinitionIsReachable();
    void paradoxDayNumbers_data();
    void paradoxDayNumbers();
    void detection_data();
    void detection();
    void storageNamesAParadoxTable();
    void takesOverEveryTableRowByRow();
    void largeLineTableWithProgress();
    void blocksReadInChainOrder();
    void halfCharacterAtFieldEndDropped();
    void stoppedImportLeavesFolderAsItWas();
    void damagedFileLeavesFolderAsItWas_data();
    void damagedFileLeavesFolderAsItWas();
    void dekigataDefTakenOver();
    void dekigataDefOfWrongSizeSkipped();
    void failureWhileMovingPutsEverythingBack();
    void secondImportRefused();
    void leftoversOfAKilledImportRemoved();
    void foreignFolderLeftUntouched();
    void differingLayoutTakenWithNotes();
    void foreignOrLockedTableRefused_data();
    void foreignOrLockedTableRefused();
    void otherFieldTypesConverted_data();
    void otherFieldTypesConverted();
    void importedRecordOpensLikeATypedOne();
    void importsIntoAServer();
};

void TestParadoxImport::everyTableDefinitionIsReachable()
{
    const QList<const TTableDef *> &defs = ImportTableDefs();
    QCOMPARE(defs.size(), KnownTableNames().size());
    for (const QString &table : KnownTableNames()) {
        QVERIFY2(FindTableDef(table), qPrintable(table));
        QVERIFY(!FindTableDef(table)->Fields().isEmpty());
    }
}

void TestParadoxImport::paradoxDayNumbers_data()
{
    // Day numbers as a proleptic Gregorian ordinal (0001-01-01 is 1), worked out apart from
    // this program.
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("text");
    QTest::newRow("first day") << 1 << u"0001/01/01"_s;
    QTest::newRow("1996-01-01") << 728659 << u"1996/01/01"_s;
    QTest::newRow("Heisei 1") << 726110 << u"1989/01/08"_s;
    QTest::newRow("leap day 2024") << 738945 << u"2024/02/29"_s;
}

void TestParadoxImport::paradoxDayNumbers()
{
    QFETCH(int, day);
    QFETCH(QString, text);
    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    const QList<TColumn> head = ParadoxFixture::ColumnsOf(TKelmo4Head::TableDef());
    TRow row(head.size());
    row[0] = 1;
    row[6] = day; // HIDUKE as the raw day number
    QVERIFY(ParadoxFixture::Write(data + u"Kel4Head.db"_s, head, {row}));
    TParadoxImport(data).Run(true);
    TQuery q(u"select * from Kel4Head"_s);
    q.Open();
    QCOMPARE(q.FieldText(u"HIDUKE"_s), text);
}

void TestParadoxImport::detection_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("paradox");

    TTestEnv env;
    const QString path = env.Root() + u"/t.db"_s;
    ParadoxFixture::Write(path, ParadoxFixture::ColumnsOf(TSimei::TableDef()),
                          ParadoxFixture::SampleRows(ParadoxFixture::ColumnsOf(TSimei::TableDef()), 3));
    const QByteArray table = FileBytes(path);
    QByteArray index = table;
    index[4] = 1; // a primary index file, not a table

    QTest::newRow("paradox table") << table << true;
    QTest::newRow("cut after the fixed header") << table.left(0x78) << true;
    QTest::newRow("cut inside the fixed header") << table.left(0x40) << false;
    QTest::newRow("primary index") << index << false;
    QTest::newRow("empty file") << QByteArray() << false;
    QTest::newRow("sqlite") << QByteArray("SQLite format 3\0", 16) + QByteArray(2032, '\0') << false;
    QTest::newRow("text") << QByteArray(200, 'x') << false;
}

void TestParadoxImport::detection()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, paradox);
    TTestEnv env;
    const QString path = env.Root() + u"/Koji1.DB"_s;
    WriteFile(path, bytes);
    QCOMPARE(IsParadoxTableFile(path), paradox);
    const QList<TParadoxTableFile> found = FindParadoxTables(env.Root());
    QCOMPARE(found.size(), paradox ? 1 : 0);
    if (paradox)
        QCOMPARE(found.first().Table, u"Koji1"_s);
}

void TestParadoxImport::storageNamesAParadoxTable()
{
    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    WriteSampleTable(data, u"Koji1"_s, 2);
    try {
        TKoji koji;
        koji.CreateTableIfMissing();
        QFAIL("a Paradox table was taken for one of ours");
    } catch (const EDatabaseError &e) {
        QVERIFY2(e.Message().contains(u"旧形式（Paradox）"_s), qPrintable(e.Message()));
        QVERIFY(e.Message().contains(u"Koji1.DB"_s));
        QVERIFY(e.Message().contains(u"--import-paradox"_s));
    }
}

void TestParadoxImport::takesOverEveryTableRowByRow()
{
    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    const QMap<QString, QList<TRow>> written = WriteAllTables(data, 9);
    WriteFile(data + u"Koji1.PX"_s, QByteArray("primary index of Koji1"));
    const QMap<QString, QByteArray> originals = Snapshot(data);

    const TParadoxSurvey survey = TParadoxImport(data).Survey();
    QVERIFY(survey.SourceIsDataFolder);
    QVERIFY(survey.CanImport());
    QCOMPARE(survey.Tables.size(), KnownTableNames().size());
    QCOMPARE(survey.TotalRecords(), 9 * KnownTableNames().size());

    const TParadoxImportResult result = TParadoxImport(data).Run(true);
    QCOMPARE(result.Tables.size(), KnownTableNames().size());
    QVERIFY(result.Skipped.isEmpty());
    for (const TParadoxTableResult &t : result.Tables) {
        QCOMPARE(t.Rows, 9);
        QVERIFY2(t.Notes.isEmpty(), qPrintable(t.Notes.join(u' ')));
    }
    QVERIFY(result.SummaryText().contains(u"Kel4Line: 9 件"_s));

    // The originals, byte for byte, in the backup folder; nothing else of them is left.
    QVERIFY(QFileInfo(result.BackupFolder).isDir());
    QVERIFY(QFileInfo(result.BackupFolder).fileName().startsWith(u"paradox-backup-"_s));
    QCOMPARE(QFileInfo(result.BackupFolder).fileName().size(), int(strlen("paradox-backup-20240101-120000")));
    QCOMPARE(Snapshot(result.BackupFolder), originals);
    QStringList expected;
    for (const QString &table : KnownTableNames())
        expected.append(table + u".db"_s);
    expected.append(QFileInfo(result.BackupFolder).fileName());
    expected.sort();
    QCOMPARE(QDir(data).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name), expected);

    // Row by row, field by field.
    for (const QString &table : KnownTableNames()) {
        const TTableDef *def = FindTableDef(table);
        TQuery q(u"select * from %1 order by rowid"_s.arg(table));
        q.Open();
        const QList<TRow> &rows = written[table];
        QCOMPARE(q.RecordCount(), rows.size());
        for (int r = 0; r < rows.size(); ++r, q.Next()) {
            for (int c = 0; c < def->Fields().size(); ++c) {
                const TFieldDef &f = def->Fields()[c];
                if (f.AddedLater) {
                    // Not in the old tables: left empty, which reads as counter 0.
                    QVERIFY2(q.FieldValue(f.Name).isNull(), qPrintable(f.Name));
                    continue;
                }
                const QVariant in = rows[r][c];
                const QString where = u"%1 row %2 %3"_s.arg(table).arg(r + 1).arg(f.Name);
                switch (f.Type) {
                case TFieldType::Alpha:
                    QVERIFY2(!q.FieldValue(f.Name).isNull(), qPrintable(where)); // blank is '', not NULL
                    QVERIFY2(q.FieldText(f.Name) == (in.isNull() ? QString() : in.toString()), qPrintable(where));
                    break;
                case TFieldType::LongInt:
                    QVERIFY2(q.FieldValue(f.Name).isNull() == in.isNull(), qPrintable(where));
                    QVERIFY2(q.FieldInt(f.Name) == in.toInt(), qPrintable(where));
                    break;
                case TFieldType::Date:
                    QVERIFY2(q.FieldDate(f.Name) == in.toDate(), qPrintable(where));
                    QVERIFY2(q.FieldText(f.Name) == (in.isNull() ? QString() : in.toDate().toString(u"yyyy/MM/dd"_s)),
                             qPrintable(where));
                    break;
                case TFieldType::Logical:
                    QVERIFY2(q.FieldValue(f.Name).isNull() == in.isNull(), qPrintable(where));
                    QVERIFY2(q.FieldBool(f.Name) == in.toBool(), qPrintable(where));
                    break;
                case TFieldType::Float:
                    QVERIFY2(q.FieldValue(f.Name).isNull() == in.isNull(), qPrintable(where));
                    QVERIFY2(q.FieldFloat(f.Name) == in.toDouble(), qPrintable(where));
                    break;
                }
            }
        }
    }
    // Full-width and extension characters came through Shift-JIS.
    TQuery names(u"select KOJIMEI from Koji1 where KOJIMEI like '%髙﨑%'"_s);
    names.Open();
    QVERIFY(names.RecordCount() > 0);
}

void TestParadoxImport::largeLineTableWithProgress()
{
    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    const QList<TColumn> line = ParadoxFixture::ColumnsOf(TKelmo4Line::TableDef());
    QList<TRow> rows;
    for (int i = 0; i < 10000; ++i) {
        rows.append({1 + i / 1000, i % 1000 + 1, u"No.%1"_s.arg(i), u"中央"_s, u"12.345"_s, u"12.350"_s, u"5"_s,
                     QVariant(), QVariant(), QVariant(), u"-1.5"_s, u"-1.6"_s, u"-0.1"_s, u"令和６年１２月"_s});
    }
    QVERIFY(ParadoxFixture::Write(data + u"Kel4Line.db"_s, line, rows));
    WriteSampleTable(data, u"Kel4Head"_s, 10);

    QList<qint64> seen;
    qint64 reportedTotal = 0;
    const TParadoxImportResult result = TParadoxImport(data).Run(true, [&](const QString &, qint64 done, qint64 total) {
        seen.append(done);
        reportedTotal = total;
        return true;
    });
    QCOMPARE(reportedTotal, 10010);
    QVERIFY(seen.size() > 10);
    QVERIFY(std::is_sorted(seen.cbegin(), seen.cend()));
    QCOMPARE(seen.last(), 10010);
    QCOMPARE(result.TotalRows(), 10010);

    TQuery q(u"select count(*) as N, sum(LNO) as S, sum(KID) as K from Kel4Line"_s);
    q.Open();
    QCOMPARE(q.FieldInt(u"N"_s), 10000);
    QCOMPARE(q.FieldInt(u"S"_s), 10 * 500500);
    QCOMPARE(q.FieldInt(u"K"_s), 1000 * 55);
    const QList<TKel4LineRow> lines = TKelmo4Line().LoadLines(10);
    QCOMPARE(lines.size(), 1000);
    QCOMPARE(lines.last().LNO, 1000);
    QCOMPARE(lines.last().Cells[0], u"No.9999"_s);
    QCOMPARE(lines.last().Cells[1], u"中央"_s);
    QCOMPARE(lines.last().Cells[5], QString()); // blank C0
    QCOMPARE(lines.last().Cells[11], u"令和６年１２月"_s);
    // Taken over with the index the program keeps on the lines, not only at the next start.
    TQuery index(u"select name from Kel4Line.sqlite_master where type = 'index' and tbl_name = 'Kel4Line'"_s);
    index.Open();
    QCOMPARE(index.RecordCount(), 1);
}

void TestParadoxImport::blocksReadInChainOrder()
{
    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    const QList<TRow> rows = WriteSampleTable(data, u"Kel4Line"_s, 300);
    const QString file = data + u"Kel4Line.db"_s;
    QByteArray bytes = FileBytes(file);
    auto u16 = [&](int at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian<quint16>(v, bytes.data() + at); };
    const int header = u16(2);
    const int block = 1024 * quint8(bytes.at(5));
    // Three blocks of 115, 115 and 70 lines, chained 1 → 2 → 3.
    QCOMPARE(bytes.size(), header + 3 * block);
    QCOMPARE(u16(0x0E), 1); // first block
    QCOMPARE(u16(0x10), 3); // last block
    QCOMPARE(u16(header + block), 3);
    // Edited tables chain their blocks out of file order: swap the last two in the file
    // and chain them 1 → 3 → 2.
    const QByteArray second = bytes.mid(header + block, block);
    const QByteArray third = bytes.mid(header + 2 * block, block);
    bytes.replace(header + block, block, third);
    bytes.replace(header + 2 * block, block, second);
    put16(header, 3);                 // block 1: next 3
    put16(header + 2 * block, 2);     // block 3 (the second lines): next 2
    put16(header + 2 * block + 2, 1); //   previous 1
    put16(header + block, 0);         // block 2 (the last lines): next none
    put16(header + block + 2, 3);     //   previous 3
    put16(0x10, 2);
    WriteFile(file, bytes);

    TParadoxImport(data).Run(true);
    TQuery q(u"select * from Kel4Line order by rowid"_s);
    q.Open();
    QCOMPARE(q.RecordCount(), 300);
    for (int r = 0; r < 300; ++r, q.Next()) {
        QCOMPARE(q.FieldInt(u"KID"_s), rows[r][0].toInt());
        QCOMPARE(q.FieldInt(u"LNO"_s), rows[r][1].toInt());
        QCOMPARE(q.FieldText(u"SOKUTEN"_s), rows[r][2].isNull() ? QString() : rows[r][2].toString());
    }
}

void TestParadoxImport::halfCharacterAtFieldEndDropped()
{
    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    // Earlier versions cut names by bytes and could leave the first byte of a character.
    const QByteArray cut = SjisText::Encode(u"山田花子さ"_s).left(9);
    QCOMPARE(cut.size(), 9);
    QVERIFY(ParadoxFixture::Write(data + u"Simei.DB"_s, ParadoxFixture::ColumnsOf(TSimei::TableDef()),
                                  {{u"やまだ"_s, cut}, {u"さとう"_s, u"佐藤"_s}, {cut, u"ｻﾄｳ"_s}}));
    const TParadoxImportResult result = TParadoxImport(data).Run(true);
    QCOMPARE(result.Tables.size(), 1);
    QVERIFY2(result.Tables.first().Notes.join(u' ').contains(u"2 か所"_s),
             qPrintable(result.Tables.first().Notes.join(u' ')));
    TQuery q(u"select * from Simei order by rowid"_s);
    q.Open();
    QCOMPARE(q.FieldText(u"SIMEI"_s), u"山田花子"_s);
    q.Next();
    QCOMPARE(q.FieldText(u"FURIGANA"_s), u"さとう"_s);
    QCOMPARE(q.FieldText(u"SIMEI"_s), u"佐藤"_s);
    q.Next();
    QCOMPARE(q.FieldText(u"FURIGANA"_s), u"山田花子"_s);
    QCOMPARE(q.FieldText(u"SIMEI"_s), u"ｻﾄｳ"_s);
}

void TestParadoxImport::stoppedImportLeavesFolderAsItWas()
{
    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    WriteAllTables(data, 600);
    const QMap<QString, QByteArray> before = Snapshot(data);
    try {
        TParadoxImport(data).Run(true, [](const QString &table, qint64, qint64) { return table != u"Kikakuti4"_s; });
        QFAIL("the import went on after it was stopped");
    } catch (const EKelmoError &e) {
        QVERIFY(e.Message().contains(u"中止"_s));
    }
    QCOMPARE(Snapshot(data), before);
}

void TestParadoxImport::damagedFileLeavesFolderAsItWas_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("keepBytes"); // -1: not cut
    QTest::addColumn<QByteArray>("badText");
    QTest::addColumn<QString>("expected");

    QTest::newRow("lines cut half-way") << u"Kel4Line"_s << 2048 + 2048 * 3 + 100 << QByteArray() << u"Kel4Line の"_s;
    // 300 lines of 142 bytes in blocks of 16 KB: 115 a block, the third block in part. Cut
    // inside the third record of that block.
    QTest::newRow("lines cut in the last block") << u"Kel4Line"_s << 2048 + 16384 * 2 + 400 << QByteArray()
                                                 << u"Kel4Line の 233 行目を読めません。ファイル「Kel4Line.db」が途中で切れています"_s;
    QTest::newRow("lines cut in the header") << u"Kel4Line"_s << 1000 << QByteArray() << u"Kel4Line: "_s;
    QTest::newRow("last table cut") << u"DekigataTorimatome4"_s << 2048 + 100 << QByteArray() << u"DekigataTorimatome4 の"_s;
    QTest::newRow("bytes that are no Shift-JIS") << u"Simei"_s << -1 << QByteArray("\x8d\x48\xff\xfe\x41", 5)
                                                 << u"Simei の 3 行目、項目 SIMEI"_s;
}

void TestParadoxImport::damagedFileLeavesFolderAsItWas()
{
    QFETCH(QString, table);
    QFETCH(int, keepBytes);
    QFETCH(QByteArray, badText);
    QFETCH(QString, expected);

    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    WriteAllTables(data, 300);
    const QString file = data + kOldFileNames.value(table);
    if (!badText.isEmpty()) {
        const QList<TColumn> columns = ParadoxFixture::ColumnsOf(*FindTableDef(table));
        QList<TRow> rows = ParadoxFixture::SampleRows(columns, 5);
        rows[2][1] = badText;
        QVERIFY(ParadoxFixture::Write(file, columns, rows));
    }
    if (keepBytes >= 0) {
        if (table == u"Kel4Line"_s)
            QCOMPARE(int(FileBytes(file).at(5)), 16); // the block size the cuts assume
        QFile f(file);
        QVERIFY(f.resize(keepBytes));
    }
    const QMap<QString, QByteArray> before = Snapshot(data);
    WriteFile(u"DekigataDef"_s, DefaultsRecord('w', u"作業"_s));
    const QByteArray workingDefaults = FileBytes(u"DekigataDef"_s);

    const QString message = ImportFailure(data);
    QVERIFY2(message.contains(expected), qPrintable(message));
    if (keepBytes > 2048)
        QVERIFY2(message.contains(u"行目"_s), qPrintable(message));
    QCOMPARE(Snapshot(data), before);
    QCOMPARE(FileBytes(u"DekigataDef"_s), workingDefaults);
}

void TestParadoxImport::dekigataDefTakenOver()
{
    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    WriteAllTables(data, 2);
    const QByteArray old = DefaultsRecord('o', u"旧会社"_s);
    const QByteArray working = DefaultsRecord('w', u"今の会社"_s);
    WriteFile(data + u"DekigataDef"_s, old);
    WriteFile(u"DekigataDef"_s, working);

    const TParadoxSurvey survey = TParadoxImport(data).Survey();
    QCOMPARE(survey.DekigataDefPath, data + u"DekigataDef"_s);
    QVERIFY(survey.DekigataDefProblem.isEmpty());

    const TParadoxImportResult result = TParadoxImport(data).Run(true);
    QVERIFY(result.DekigataDefTaken);
    QCOMPARE(FileBytes(u"DekigataDef"_s), old);
    QCOMPARE(FileBytes(result.DekigataDefBackup), working);
    QCOMPARE(FileBytes(result.BackupFolder + u"/DekigataDef"_s), old);
    QVERIFY(!QFileInfo::exists(data + u"DekigataDef"_s));
    // The record of the run is the one taken over.
    QCOMPARE(DekigataDef().CompanyName(), u"旧会社"_s);
}

void TestParadoxImport::dekigataDefOfWrongSizeSkipped()
{
    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    WriteAllTables(data, 1);
    WriteFile(data + u"DekigataDef"_s, QByteArray(400, 'x'));
    const QByteArray working = DefaultsRecord('w', u"今の会社"_s);
    WriteFile(u"DekigataDef"_s, working);

    const TParadoxImportResult result = TParadoxImport(data).Run(true);
    QVERIFY(!result.DekigataDefTaken);
    QCOMPARE(FileBytes(u"DekigataDef"_s), working);
    QVERIFY(result.Skipped.join(u' ').contains(u"400 バイト"_s));
    // Not taken, so it stays where it was.
    QCOMPARE(FileBytes(data + u"DekigataDef"_s), QByteArray(400, 'x'));
}

void TestParadoxImport::failureWhileMovingPutsEverythingBack()
{
    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    WriteAllTables(data, 5);
    WriteFile(data + u"DekigataDef"_s, DefaultsRecord('o', u"旧会社"_s));
    const QByteArray working = DefaultsRecord('w', u"今の会社"_s);
    WriteFile(u"DekigataDef"_s, working);
    // The last step, writing the defaults into the working folder, cannot be done: every
    // table has been moved by then.
    QVERIFY(QDir().mkpath(u"DekigataDef.importing/x"_s));
    const QMap<QString, QByteArray> before = Snapshot(data);

    const QString message = ImportFailure(data);
    QVERIFY2(message.contains(u"DekigataDef"_s), qPrintable(message));
    QCOMPARE(Snapshot(data), before);
    QCOMPARE(FileBytes(u"DekigataDef"_s), working);

    // Without the defaults the same folder goes in.
    const TParadoxImportResult result = TParadoxImport(data).Run(false);
    QCOMPARE(result.TotalRows(), 5 * KnownTableNames().size());
    QCOMPARE(FileBytes(u"DekigataDef"_s), working);
}

void TestParadoxImport::secondImportRefused()
{
    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    WriteAllTables(data, 4);
    const TParadoxImportResult first = TParadoxImport(data).Run(true);
    const QMap<QString, QByteArray> before = Snapshot(data);

    // The user names the backup folder and tries again.
    const TParadoxSurvey survey = TParadoxImport(first.BackupFolder).Survey();
    QVERIFY(!survey.SourceIsDataFolder);
    QVERIFY(!survey.CanImport());
    QVERIFY(survey.Refusals.join(u' ').contains(u"Kel4Head"_s));
    const QString message = ImportFailure(first.BackupFolder);
    QVERIFY2(message.contains(u"すでに 4 件"_s), qPrintable(message));
    QCOMPARE(Snapshot(data), before);
}

void TestParadoxImport::leftoversOfAKilledImportRemoved()
{
    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    WriteAllTables(data, 2);
    // What an import killed while writing leaves, and a hidden folder of someone else's.
    QVERIFY(QDir().mkpath(data + u".paradox-import-20240101-120000"_s));
    WriteFile(data + u".paradox-import-20240101-120000/Kel4Line.db"_s, QByteArray("half"));
    WriteFile(data + u".paradox-import-20240101-120000/Kel4Line.db-journal"_s, QByteArray("j"));
    QVERIFY(QDir().mkpath(data + u".paradox-import-notes"_s));
    WriteFile(data + u".paradox-import-notes/readme.txt"_s, QByteArray("mine"));

    // A failing import leaves them too: the folder stays as it was.
    WriteFile(data + u"Simei.DB"_s, FileBytes(data + u"Simei.DB"_s).left(2100));
    QVERIFY(!ImportFailure(data).isEmpty());
    QVERIFY(QFileInfo::exists(data + u".paradox-import-20240101-120000/Kel4Line.db"_s));

    WriteSampleTable(data, u"Simei"_s, 2);
    TParadoxImport(data).Run(true);
    QVERIFY(!QFileInfo::exists(data + u".paradox-import-20240101-120000"_s));
    QCOMPARE(FileBytes(data + u".paradox-import-notes/readme.txt"_s), QByteArray("mine"));
    const QStringList hidden = QDir(data).entryList({u".paradox-import-*"_s}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    QCOMPARE(hidden, QStringList{u".paradox-import-notes"_s});
}

void TestParadoxImport::foreignFolderLeftUntouched()
{
    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    // A fresh data folder whose tables the program has created, empty.
    TKelmo4Head head;
    head.CreateTableIfMissing();
    TKelmo4Line().CreateTableIfMissing();

    const QString old = env.Root() + u"/old/"_s;
    QDir().mkpath(old);
    WriteAllTables(old, 3);
    const QMap<QString, QByteArray> originals = Snapshot(old);

    const TParadoxImportResult result = TParadoxImport(old).Run(true);
    QCOMPARE(Snapshot(old), originals);
    QCOMPARE(result.TotalRows(), 3 * KnownTableNames().size());
    TQuery q(u"select count(*) as N from Koji1"_s);
    q.Open();
    QCOMPARE(q.FieldInt(u"N"_s), 3);
    // The empty tables that stood in the way are kept in the backup.
    QVERIFY(QFileInfo::exists(result.BackupFolder + u"/Kel4Head.db"_s));
}

void TestParadoxImport::differingLayoutTakenWithNotes()
{
    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    // An older Kosyu4: ID as text, fields of its own.
    const QList<TColumn> columns = {{"ID", pxfAlpha, 6}, {"KOSYUMEI", pxfAlpha, 32}, {"MEMO", pxfAlpha, 10}, {"SEQ", pxfShort, 2}};
    QVERIFY(ParadoxFixture::Write(data + u"Kosyu4.DB"_s, columns,
                                  {{u"12"_s, u"路盤工"_s, u"a"_s, 1}, {QVariant(), QVariant(), u"b"_s, 2}, {u" 7 "_s, u"舗装工"_s, QVariant(), 3}}));
    const TParadoxImportResult result = TParadoxImport(data).Run(true);
    QCOMPARE(result.Tables.size(), 1);
    const QString notes = result.Tables.first().Notes.join(u'\n');
    QVERIFY2(notes.contains(u"MEMO"_s) && notes.contains(u"SEQ"_s), qPrintable(notes));
    QCOMPARE(result.Skipped.size(), 1);
    QVERIFY(result.Skipped.first().contains(u"Kel4Head、Kel4Line、Koji1"_s));
    QVERIFY(!result.Skipped.first().contains(u"Kosyu4"_s));

    TQuery q(u"select * from Kosyu4 order by rowid"_s);
    q.Open();
    QCOMPARE(q.FieldInt(u"ID"_s), 12);
    QCOMPARE(q.FieldText(u"KOSYUMEI"_s), u"路盤工"_s);
    q.Next();
    QVERIFY(q.FieldValue(u"ID"_s).isNull());
    q.Next();
    QCOMPARE(q.FieldInt(u"ID"_s), 7);

    // A text that is no number in a number column names its row and field.
    TTestEnv again;
    const QString data2 = again.DataFolder();
    QDir().mkpath(data2);
    QVERIFY(ParadoxFixture::Write(data2 + u"Kosyu4.DB"_s, columns, {{u"1"_s, u"路盤工"_s, u"a"_s, 1}, {u"x1"_s, u"舗装工"_s, u"b"_s, 2}}));
    const QString message = ImportFailure(data2);
    QVERIFY2(message.contains(u"Kosyu4 の 2 行目、項目 ID"_s), qPrintable(message));
    QVERIFY(QFileInfo::exists(data2 + u"Kosyu4.DB"_s));

    // A text longer than its column is refused the same way.
    TTestEnv third;
    const QString data3 = third.DataFolder();
    QDir().mkpath(data3);
    QVERIFY(ParadoxFixture::Write(data3 + u"Simei.DB"_s, {{"FURIGANA", pxfAlpha, 16}, {"SIMEI", pxfAlpha, 24}},
                                  {{u"a"_s, u"山田"_s}, {u"b"_s, u"寿限無寿限無五劫の擦り切れ"_s}}));
    const QString tooLong = ImportFailure(data3);
    QVERIFY2(tooLong.contains(u"Simei の 2 行目"_s) && tooLong.contains(u"SIMEI"_s), qPrintable(tooLong));
}

void TestParadoxImport::otherFieldTypesConverted_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("length");
    QTest::addColumn<QVariant>("written");
    QTest::addColumn<QVariant>("expected"); // null: stored as no value
    QTest::addColumn<QString>("failure");   // empty: the row goes in

    const QString none;
    // Older layouts kept some numbers in short integers, currency or number fields.
    QTest::newRow("short into long") << u"TakasaFormation"_s << QByteArray("LNO") << int(pxfShort) << 2
                                     << QVariant(-123) << QVariant(-123) << none;
    QTest::newRow("short zero is no blank") << u"TakasaFormation"_s << QByteArray("LNO") << int(pxfShort) << 2
                                            << QVariant(0) << QVariant(0) << none;
    QTest::newRow("short blank") << u"TakasaFormation"_s << QByteArray("LNO") << int(pxfShort) << 2 << QVariant()
                                 << QVariant() << none;
    QTest::newRow("auto-increment into long") << u"Kel4Head"_s << QByteArray("SOKUTENKYORI") << int(pxfAutoInc) << 4
                                              << QVariant(77) << QVariant(77) << none;
    QTest::newRow("whole number into long") << u"TakasaFormation"_s << QByteArray("LNO") << int(pxfNumber) << 8
                                            << QVariant(42.0) << QVariant(42) << none;
    QTest::newRow("fraction into long") << u"TakasaFormation"_s << QByteArray("LNO") << int(pxfNumber) << 8
                                        << QVariant(1.5) << QVariant() << u"TakasaFormation の 1 行目、項目 LNO"_s;
    QTest::newRow("long into double") << u"TakasaFormation"_s << QByteArray("H00") << int(pxfLong) << 4
                                      << QVariant(250) << QVariant(250.0) << none;
    QTest::newRow("short into double") << u"TakasaFormation"_s << QByteArray("H01") << int(pxfShort) << 2
                                       << QVariant(-7) << QVariant(-7.0) << none;
    QTest::newRow("currency into double") << u"TakasaFormation"_s << QByteArray("H02") << int(pxfCurrency) << 8
                                          << QVariant(12.25) << QVariant(12.25) << none;
    QTest::newRow("negative double") << u"TakasaFormation"_s << QByteArray("H03") << int(pxfNumber) << 8
                                     << QVariant(-0.035) << QVariant(-0.035) << none;
    QTest::newRow("number text into double") << u"TakasaFormation"_s << QByteArray("H04") << int(pxfAlpha) << 10
                                             << QVariant(u"3.5"_s) << QVariant(3.5) << none;
    QTest::newRow("word into double") << u"TakasaFormation"_s << QByteArray("H04") << int(pxfAlpha) << 10
                                      << QVariant(u"高い"_s) << QVariant() << u"TakasaFormation の 1 行目、項目 H04"_s;
    QTest::newRow("number into text") << u"TakasaFormation"_s << QByteArray("SOKUTEN") << int(pxfNumber) << 8
                                      << QVariant(12.5) << QVariant(u"12.5"_s) << none;
    QTest::newRow("long into text") << u"TakasaFormation"_s << QByteArray("SOKUTEN") << int(pxfLong) << 4
                                    << QVariant(120) << QVariant(u"120"_s) << none;
    QTest::newRow("number blank into text") << u"TakasaFormation"_s << QByteArray("SOKUTEN") << int(pxfNumber) << 8
                                            << QVariant() << QVariant(QString()) << none;
    QTest::newRow("date into text") << u"TakasaFormation"_s << QByteArray("SOKUTEN") << int(pxfDate) << 4
                                    << QVariant(QDate(2003, 6, 14)) << QVariant(u"2003/06/14"_s) << none;
    QTest::newRow("first day of the calendar") << u"Kel4Head"_s << QByteArray("HIDUKE") << int(pxfDate) << 4
                                               << QVariant(QDate(1, 1, 1)) << QVariant(QDate(1, 1, 1)) << none;
    QTest::newRow("timestamp into date") << u"Kel4Head"_s << QByteArray("HIDUKE") << int(pxfTimestamp) << 8
                                         << QVariant(QDateTime(QDate(2003, 6, 14), QTime(17, 45)))
                                         << QVariant(QDate(2003, 6, 14)) << none;
    QTest::newRow("date text into date") << u"Kel4Head"_s << QByteArray("HIDUKE") << int(pxfAlpha) << 10
                                         << QVariant(u"2003/06/14"_s) << QVariant(QDate(2003, 6, 14)) << none;
    QTest::newRow("no date text") << u"Kel4Head"_s << QByteArray("HIDUKE") << int(pxfAlpha) << 10
                                  << QVariant(u"6月14日"_s) << QVariant() << u"Kel4Head の 1 行目、項目 HIDUKE"_s;
    QTest::newRow("logical text") << u"Kel4Head"_s << QByteArray("SAGARI") << int(pxfAlpha) << 5
                                  << QVariant(u"true"_s) << QVariant(true) << none;
    QTest::newRow("logical from long") << u"Kel4Head"_s << QByteArray("SAGARI") << int(pxfLong) << 4
                                       << QVariant(0) << QVariant(false) << none;
    QTest::newRow("logical from a word") << u"Kel4Head"_s << QByteArray("SAGARI") << int(pxfAlpha) << 5
                                         << QVariant(u"はい"_s) << QVariant() << u"Kel4Head の 1 行目、項目 SAGARI"_s;
    QTest::newRow("memo refused") << u"Kel4Head"_s << QByteArray("KOSYUMEI") << int(pxfMemoBLOb) << 10
                                  << QVariant() << QVariant() << u"Kel4Head の項目 KOSYUMEI はメモ型"_s;
}

void TestParadoxImport::otherFieldTypesConverted()
{
    QFETCH(QString, table);
    QFETCH(QByteArray, field);
    QFETCH(int, type);
    QFETCH(int, length);
    QFETCH(QVariant, written);
    QFETCH(QVariant, expected);
    QFETCH(QString, failure);

    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    const TTableDef *def = FindTableDef(table);
    const TFieldDef &first = def->Fields().first();
    const TColumn key = first.Type == TFieldType::Alpha ? TColumn{first.Name.toLatin1(), pxfAlpha, first.Size}
                                                        : TColumn{first.Name.toLatin1(), pxfLong, 4};
    const QVariant keyValue = first.Type == TFieldType::Alpha ? QVariant(u"K1"_s) : QVariant(1);
    QList<TColumn> columns = {key, {field, type, length}};
    TRow row = {keyValue, written};
    // The road plan's rows are known by project and line number: both must be there.
    if (table == u"TakasaFormation"_s && field != "LNO") {
        columns.append({"LNO", pxfLong, 4});
        row.append(1);
    }
    QVERIFY(ParadoxFixture::Write(data + kOldFileNames.value(table), columns, {row}));
    const QMap<QString, QByteArray> before = Snapshot(data);

    if (!failure.isEmpty()) {
        const QString message = ImportFailure(data);
        QVERIFY2(message.contains(failure), qPrintable(message));
        QCOMPARE(Snapshot(data), before);
        return;
    }
    const TParadoxImportResult result = TParadoxImport(data).Run(true);
    QCOMPARE(result.TotalRows(), 1);
    TQuery q(u"select * from %1"_s.arg(table));
    q.Open();
    QCOMPARE(q.RecordCount(), 1);
    const QString name = QString::fromLatin1(field);
    switch (expected.typeId()) {
    case QMetaType::UnknownType:
        QVERIFY(q.FieldValue(name).isNull());
        break;
    case QMetaType::QString:
        QVERIFY(!q.FieldValue(name).isNull());
        QCOMPARE(q.FieldText(name), expected.toString());
        break;
    case QMetaType::Int:
        QVERIFY(!q.FieldValue(name).isNull());
        QCOMPARE(q.FieldInt(name), expected.toInt());
        break;
    case QMetaType::Double:
        QCOMPARE(q.FieldFloat(name), expected.toDouble());
        break;
    case QMetaType::Bool:
        QVERIFY(!q.FieldValue(name).isNull());
        QCOMPARE(q.FieldBool(name), expected.toBool());
        break;
    case QMetaType::QDate:
        QCOMPARE(q.FieldDate(name), expected.toDate());
        break;
    default:
        QFAIL("unexpected kind of value");
    }
}

void TestParadoxImport::importedRecordOpensLikeATypedOne()
{
    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    const QList<TColumn> koji = ParadoxFixture::ColumnsOf(TKoji::TableDef());
    QVERIFY(ParadoxFixture::Write(data + u"Koji1.DB"_s, koji,
                                  {{u"K001"_s, u"国道２３０号　舗装工事"_s, u"開発建設部"_s, u"㈱丸山建設"_s, u"山田　太郎"_s, 1}}));
    const QList<TColumn> head = ParadoxFixture::ColumnsOf(TKelmo4Head::TableDef());
    QVERIFY(ParadoxFixture::Write(
        data + u"Kel4Head.db"_s, head,
        {{7, u"K001"_s, u"表層工"_s, u"#"_s, u"高さ"_s, u"佐藤"_s, QDate(2003, 6, 14), 20, u"ｍ"_s, u"㎜"_s, u"1"_s,
          u"0.1"_s, u"1"_s, 0, u"+20"_s, u"-20"_s, QVariant(), QVariant(), false}}));
    const QList<TColumn> line = ParadoxFixture::ColumnsOf(TKelmo4Line::TableDef());
    QVERIFY(ParadoxFixture::Write(data + u"Kel4Line.db"_s, line,
                                  {{7, 1, u"No.0"_s, QVariant(), QVariant(), QVariant(), QVariant(), u"12.345"_s,
                                    u"12.350"_s, u"5"_s, QVariant(), QVariant(), QVariant(), u"2003/06/14"_s},
                                   {7, 3, u"No.1"_s, QVariant(), QVariant(), QVariant(), QVariant(), u"12.400"_s,
                                    u"12.390"_s, u"-10"_s, QVariant(), QVariant(), QVariant(), QVariant()}}));
    TParadoxImport(data).Run(true);

    TKelmo4Head record;
    record.CreateTableIfMissing();
    record.Koji->LoadByCode(u"K001"_s);
    QCOMPARE(record.Koji->Kojimei, u"国道２３０号　舗装工事"_s);
    QCOMPARE(record.Koji->Yoshiki, 1);
    record.LoadByID(7);
    QCOMPARE(record.ID, 7);
    QCOMPARE(record.Hiduke.date(), QDate(2003, 6, 14));
    QCOMPARE(record.SekkeiTanni, u"ｍ"_s);
    QCOMPARE(record.Kikakuti->KikakutiU1, u"+20"_s);
    QCOMPARE(record.Kikakuti->KikakutiU2, QString());
    QCOMPARE(record.LineCount(), 2);
    QCOMPARE(record.DiffCount(), 2);
    QCOMPARE(record.DiffSum(), -5.0);
    QCOMPARE(record.GetDateRangeText().isEmpty(), false);
    // A header saved again after the take-over gets the next free ID.
    QCOMPARE(record.NextID(), 8);
}

void TestParadoxImport::foreignOrLockedTableRefused_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QByteArray>("fields"); // "NAME:length" text fields, comma-separated; empty: ours
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QString>("expected");
    QTest::newRow("area codes saved as the header table") << u"Kel4Head"_s << QByteArray("CODE:4,NAME:20") << QByteArray()
                                                           << u"項目 ID がありません"_s;
    QTest::newRow("lines without their record and number") << u"Kel4Line"_s << QByteArray("SOKUTEN:16,BIKO:20")
                                                             << QByteArray() << u"項目 KID、LNO がありません"_s;
    QTest::newRow("projects without their code") << u"Koji1"_s << QByteArray("KOJIMEI:128,DAIRININ:16") << QByteArray()
                                                  << u"項目 CODE がありません"_s;
    QTest::newRow("password-protected") << u"Simei"_s << QByteArray() << QByteArray("secret")
                                        << u"パスワード付きのテーブル"_s;
}

// A table of another program under one of our names, or one locked by a password, is named
// with what is wrong, and nothing of the folder is taken over.
void TestParadoxImport::foreignOrLockedTableRefused()
{
    QFETCH(QString, table);
    QFETCH(QByteArray, fields);
    QFETCH(QByteArray, password);
    QFETCH(QString, expected);
    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    WriteAllTables(data, 3);
    const QString file = data + kOldFileNames.value(table);
    QList<TColumn> columns = ParadoxFixture::ColumnsOf(*FindTableDef(table));
    if (!fields.isEmpty()) {
        columns.clear();
        for (const QByteArray &f : fields.split(','))
            columns.append({f.split(':').first(), pxfAlpha, f.split(':').last().toInt()});
    }
    QVERIFY(ParadoxFixture::Write(file, columns, ParadoxFixture::SampleRows(columns, 4), password));
    const QMap<QString, QByteArray> before = Snapshot(data);

    const QString message = ImportFailure(data);
    QVERIFY2(message.contains(expected), qPrintable(message));
    QVERIFY2(message.contains(kOldFileNames.value(table)), qPrintable(message));
    QVERIFY2(!message.contains(u"壊れて"_s), qPrintable(message));
    QCOMPARE(Snapshot(data), before);

    // A field of ours missing, the keys there: taken, with a note.
    if (password.isEmpty()) {
        QList<TColumn> most = ParadoxFixture::ColumnsOf(*FindTableDef(table));
        const QString dropped = QString::fromLatin1(most.takeLast().Name);
        QVERIFY(ParadoxFixture::Write(file, most, ParadoxFixture::SampleRows(most, 4)));
        const TParadoxImportResult result = TParadoxImport(data).Run(true);
        const auto taken = std::find_if(result.Tables.cbegin(), result.Tables.cend(),
                                        [&](const TParadoxTableResult &t) { return t.Table == table; });
        QVERIFY(taken != result.Tables.cend());
        QCOMPARE(taken->Rows, 4);
        QVERIFY2(taken->Notes.join(u' ').contains(dropped), qPrintable(taken->Notes.join(u' ')));
        // A column the old program never had is no news.
        QVERIFY2(!taken->Notes.join(u' ').contains(u"KOUSIN"_s), qPrintable(taken->Notes.join(u' ')));
    }
}

// On a server alias the tables arrive as in a folder; the old folder is only read, and a
// second import is refused by the server's rows.
void TestParadoxImport::importsIntoAServer()
{
    TTestEnv env;
    const QString old = env.UseDataFolder(u"old"_s);
    WriteAllTables(old, 6);
    const QMap<QString, QByteArray> originals = Snapshot(old);
    env.UseDataFolder(u"local"_s);
    TParadoxImport(old).Run(false);
    const QStringList inFolder = AllStoredRows();
    QCOMPARE(inFolder.size(), 6 * KnownTableNames().size());

    env.UseServer();
    if (QTest::currentTestFailed())
        return;
    const TDataSource server = GetAliasSource(u"tomaruk"_s);
    QVERIFY(server.IsServer());

    const TParadoxSurvey survey = TParadoxImport(old).Survey();
    QVERIFY(survey.CanImport());
    QVERIFY(survey.DescriptionText().contains(server.Describe()));
    const TParadoxImportResult result = TParadoxImport(old).Run(false);
    QCOMPARE(result.TotalRows(), 6 * KnownTableNames().size());
    QCOMPARE(AllStoredRows(), inFolder);
    QCOMPARE(Snapshot(old), originals);

    const TParadoxSurvey again = TParadoxImport(old).Survey();
    QVERIFY(!again.CanImport());
    QVERIFY2(again.Refusals.join(u' ').contains(u"サーバーのテーブル Kel4Head にはすでに 6 件"_s),
             qPrintable(again.Refusals.join(u' ')));
}

QTEST_GUILESS_MAIN(TestParadoxImport)
#include "tst_ParadoxImport.moc"
