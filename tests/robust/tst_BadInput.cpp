#include "app/Errors.h"
#include "app/RegistryUtility.h"
#include "app/uCommon.h"
#include "app/uDatabase.h"
#include "app/uDekigataDef.h"
#include "app/AppPaths.h"
#include "measure/uKelmo4Line.h"
#include "registers/uKosyu.h"
#include "support/TestEnv.h"

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

// Bad files and bad texts: each gives its defined result or a clear error, never a crash,
// and nothing already stored is damaged.
class TestBadInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultsFileOfEveryLength();
    void settingsFileWithGarbage();
    void oddSettingValues_data();
    void oddSettingValues();
    void badTableFiles_data();
    void badTableFiles();
    void folderRemovedWhileRunning();
    void readOnlyFolder();
    void textsStoredExactlyOrRefused_data();
    void textsStoredExactlyOrRefused();
    void numbersAtTheEdges_data();
    void numbersAtTheEdges();
};

namespace {
void WriteFile(const QString &name, const QByteArray &bytes)
{
    QFile f(name);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray RandomBytes(int n)
{
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = char(QRandomGenerator::global()->bounded(256));
    return b;
}
} // namespace

void TestBadInput::defaultsFileOfEveryLength()
{
    TTestEnv env;
    for (int length = 0; length <= 600; ++length) {
        DekigataDef().Clear();
        const QByteArray content = RandomBytes(length);
        WriteFile(u"DekigataDef"_s, content);
        const auto result = LoadDefaults();
        if (length < TDekigataDef::RecordSize) {
            QCOMPARE(result, TDekigataDef::LoadResult::ShortFileRewritten);
            QCOMPARE(QFileInfo(u"DekigataDef"_s).size(), qint64(TDekigataDef::RecordSize));
            QCOMPARE(DekigataDef().Bytes().left(length), content);
        } else {
            QCOMPARE(result, TDekigataDef::LoadResult::Loaded);
            QCOMPARE(DekigataDef().Bytes(), content.left(TDekigataDef::RecordSize));
            // A longer file is read, not cut.
            QCOMPARE(QFileInfo(u"DekigataDef"_s).size(), qint64(length));
        }
        // Every field decodes to something within its room, whatever the bytes.
        QVERIFY(DekigataDef().CompanyName().size() <= TDekigataDef::CompanyNameMax);
        QVERIFY(DekigataDef().LogoFile().size() <= TDekigataDef::LogoFileMax);
        for (int k = 1; k <= 6; ++k) {
            for (int t = 1; t <= 3; ++t)
                QVERIFY(DekigataDef().Units(k, t).size() <= TDekigataDef::UnitMax);
        }
    }
}

void TestBadInput::settingsFileWithGarbage()
{
    TTestEnv env;
    QDir().mkpath(QFileInfo(AppPaths::SettingsFile()).absolutePath());
    WriteFile(AppPaths::SettingsFile(), RandomBytes(5000) + "\n80percent=TRUE\n" + RandomBytes(300));
    QCOMPARE(ReadSetting(u"80percent"_s), u"TRUE"_s);
    QCOMPARE(ReadSetting(u"RoundON"_s), QString());
    // Writing keeps working and the value reads back.
    WriteSetting(u"ShichoKasouLine"_s, u"TRUE"_s);
    QCOMPARE(ReadSetting(u"ShichoKasouLine"_s), u"TRUE"_s);
    QCOMPARE(ReadSetting(u"80percent"_s), u"TRUE"_s);
}

void TestBadInput::oddSettingValues_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("format80");
    QTest::newRow("empty") << QString() << u"12.5"_s;
    QTest::newRow("TRUE with blank") << u"TRUE "_s << u"12.5"_s;
    QTest::newRow("full-width one") << u"１"_s << u"12.5"_s;
    QTest::newRow("1e999") << u"1e999"_s << QString();
    QTest::newRow("10 kB of digits: no number, so 0") << QString(10240, u'9') << u"12.5"_s;
    QTest::newRow("huge negative") << u"-99999999999"_s << QString();
}

void TestBadInput::oddSettingValues()
{
    QFETCH(QString, value);
    QFETCH(QString, format80);
    TTestEnv env;
    for (const QString &key : {u"80percent"_s, u"ShichoKasouLine"_s, u"K4_80%_ROUND"_s, u"RoundON"_s,
                               u"JisyaKikakumei"_s, u"ColorOndoNeriRange"_s}) {
        WriteSetting(key, value);
        QCOMPARE(ReadSetting(key), value);
    }
    QVERIFY(!SettingIsOn(u"80percent"_s));
    QCOMPARE(RoundTo(0, 2.5), 3.0); // "RoundON" is on only for exactly "TRUE"
    QCOMPARE(Format80Percent(12.5), format80);
    QVERIFY(TruncToInt(TextToFloat(value)) >= std::numeric_limits<int>::min());
}

void TestBadInput::badTableFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("usable");
    QTest::newRow("empty file") << QByteArray() << true;
    QTest::newRow("random bytes") << RandomBytes(8192) << false;
    QTest::newRow("truncated") << QByteArray("truncated") << false;
    QTest::newRow("foreign database") << QByteArray("foreign") << false;
}

void TestBadInput::badTableFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, usable);
    TTestEnv env;
    const QString folder = env.UseDataFolder(u"bad"_s);
    // A good work-type file first, to cut or to replace.
    TKosyu kosyu;
    kosyu.CreateTableIfMissing();
    QStringList many;
    for (int i = 0; i < 400; ++i)
        many.append(u"工種%1"_s.arg(i));
    kosyu.RewriteList(many);
    TDatabase::Close();

    const QString file = folder + u"Kosyu4.db"_s;
    if (content == "truncated") {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.size() > 4096);
        f.resize(f.size() / 2);
    } else if (content == "foreign") {
        QFile::remove(file);
        QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"foreign"_s);
        other.setDatabaseName(file);
        QVERIFY(other.open());
        QSqlQuery(other).exec(u"create table accounts (id integer, name text)"_s);
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"foreign"_s);
    } else {
        WriteFile(file, content);
    }
    const QByteArray before = [&] { QFile f(file); f.open(QIODevice::ReadOnly); return f.readAll(); }();

    QStringList names;
    bool refused = false;
    try {
        kosyu.CreateTableIfMissing();
        kosyu.GetList(names);
        kosyu.RewriteList({u"路盤工"_s});
        kosyu.GetList(names);
    } catch (const EDatabaseError &e) {
        refused = true;
        QVERIFY2(e.Message().contains(u"Kosyu4"_s), qPrintable(e.Message()));
    }
    QCOMPARE(refused, !usable);
    if (usable) {
        QCOMPARE(names, QStringList({u"路盤工"_s}));
    } else {
        // The foreign or damaged file is left exactly as it was.
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }
    // The other tables keep working.
    TKelmo4Line line;
    line.CreateTableIfMissing();
    TKel4LineRow row;
    row.LNO = 1;
    row.Cells[0] = u"No.1"_s;
    line.ReplaceLines(1, {row});
    QCOMPARE(line.LoadLines(1).size(), 1);
}

void TestBadInput::folderRemovedWhileRunning()
{
    TTestEnv env;
    const QString folder = env.UseDataFolder(u"gone"_s);
    TKosyu kosyu;
    kosyu.CreateTableIfMissing();
    kosyu.RewriteList({u"路盤工"_s});
    QVERIFY(QDir(folder).removeRecursively());
    try {
        kosyu.RewriteList({u"舗装工"_s});
        QFAIL("a write into a removed folder was reported as done");
    } catch (const EDatabaseError &e) {
        QVERIFY2(e.Message().contains(u"見つかりません"_s), qPrintable(e.Message()));
    }
    // Pointing at a new folder works at once.
    env.UseDataFolder(u"new"_s);
    kosyu.CreateTableIfMissing();
    kosyu.RewriteList({u"舗装工"_s});
    QStringList names;
    kosyu.GetList(names);
    QCOMPARE(names, QStringList({u"舗装工"_s}));
}

void TestBadInput::readOnlyFolder()
{
    TTestEnv env;
    const QString folder = env.UseDataFolder(u"readonly"_s);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    // The super-user writes anyway; there the case cannot be made.
    if (::access(QFile::encodeName(folder).constData(), W_OK) == 0) {
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QSKIP("the folder stays writable for this user (running as root)");
    }
    TKosyu kosyu;
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, kosyu.CreateTableIfMissing());
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void TestBadInput::textsStoredExactlyOrRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("stored");
    QTest::newRow("SQL metacharacters") << u"'; drop table Koji1; --"_s.left(20) << true;
    QTest::newRow("quotes and percent") << u"\"a\" 'b' %_\\"_s << true;
    QTest::newRow("control characters") << u"a\tb\nc\rd\x01"_s << true;
    QTest::newRow("full width at the limit") << QString(10, u'測') << true;
    QTest::newRow("one byte over") << QString(10, u'測') + u'x' << false;
    QTest::newRow("no Shift-JIS form") << u"𠮷野家"_s << false;
    QTest::newRow("emoji") << u"😀"_s << false;
    QTest::newRow("1000-character paste") << QString(1000, u'a') << false;
}

void TestBadInput::textsStoredExactlyOrRefused()
{
    QFETCH(QString, text);
    QFETCH(bool, stored);
    TTestEnv env;
    TKelmo4Line line;
    line.CreateTableIfMissing();
    TKel4LineRow old;
    old.LNO = 1;
    old.Cells[11] = u"前の摘要"_s;
    line.ReplaceLines(5, {old});

    TKel4LineRow row;
    row.LNO = 2;
    row.Cells[11] = text; // BIKO, 20 bytes
    bool refused = false;
    try {
        line.ReplaceLines(5, {row});
    } catch (const EDatabaseError &e) {
        refused = true;
        QVERIFY2(e.Message().contains(u"BIKO"_s), qPrintable(e.Message()));
    }
    QCOMPARE(refused, !stored);
    const QList<TKel4LineRow> lines = line.LoadLines(5);
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.first().Cells[11], stored ? text : u"前の摘要"_s);
    QVERIFY(TableExists(u"Kel4Line"_s));
}

void TestBadInput::numbersAtTheEdges_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isFloat");
    QTest::addColumn<double>("lenient");
    QTest::newRow("1e308") << u"1e308"_s << true << 1308.0;
    QTest::newRow("-0") << u"-0"_s << true << 0.0;
    QTest::newRow("NaN") << u"NaN"_s << false << 0.0;
    QTest::newRow("inf") << u"inf"_s << false << 0.0;
    QTest::newRow("point") << u"."_s << false << 0.0;
    QTest::newRow("minus") << u"-"_s << false << 0.0;
    QTest::newRow("1e") << u"1e"_s << false << 1.0;
    QTest::newRow("2147483648") << u"2147483648"_s << true << 2147483648.0;
}

void TestBadInput::numbersAtTheEdges()
{
    QFETCH(QString, text);
    QFETCH(bool, isFloat);
    QFETCH(double, lenient);
    TTestEnv env;
    QCOMPARE(IsFloatText(text), isFloat);
    QCOMPARE(TextToFloat(text), lenient);
    // Outside the 32-bit range the rounding rule saturates instead of wrapping.
    for (const QString &roundOn : {QString(), u"TRUE"_s}) {
        WriteSetting(u"RoundON"_s, roundOn);
        const double big = RoundTo(0, 2147483648.0);
        QCOMPARE(big, 2147483647.0);
        QCOMPARE(RoundTo(0, -1e308), -2147483647.0);
        QCOMPARE(RoundTo(2, -0.0), 0.0);
        QVERIFY(std::isfinite(RoundTo(0, std::nan(""))));
    }
    QCOMPARE(FormatGeneral(-0.0), u"0"_s);
    QCOMPARE(FormatGeneral(1e308), u"1E308"_s);
    WriteSetting(u"K4_80%_ROUND"_s, u"2"_s);
    QCOMPARE(Format80Percent(1e300), QString::number(std::numeric_limits<qint64>::max()));
    QCOMPARE(TruncToInt(1e300), std::numeric_limits<int>::max());
    QCOMPARE(TruncToInt(-1e300), std::numeric_limits<int>::min());
    QCOMPARE(TruncToInt(std::nan("")), 0);
}

QTEST_GUILESS_MAIN(TestBadInput)
#include "tst_BadInput.moc"
