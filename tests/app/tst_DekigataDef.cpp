#include "app/Errors.h"
#include "app/uDekigataDef.h"
#include "support/TestEnv.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

class TestDekigataDef : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fieldsLandAtTheirOffsets();
    void roundTripKeepsUnknownBytes();
    void shortFileIsRewritten();
    void longFileReadsFirstRecord();
    void textsAreCutAtCharacterBoundary();
    void missingFileLeavesRecord();
    void firstStartWritesReadablePalette();
    void existingBlackFileIsKept();
};

void TestDekigataDef::fieldsLandAtTheirOffsets()
{
    TDekigataDef def;
    def.SetUnits(6, 3, u"20"_s);
    def.SetColors(1, 0x00112233u);
    def.SetColors(50, 0x00AABBCCu);
    def.SetNoNotes(true);
    def.SetCompanyName(u"株式会社"_s);
    const QByteArray &b = def.Bytes();
    QCOMPARE(b.size(), 472);
    const int unit = 65 + 5 * 27 + 2 * 9;
    QCOMPARE(int(b.at(unit)), 2);
    QCOMPARE(b.mid(unit + 1, 2), QByteArray("20"));
    QCOMPARE(b.mid(228, 4), QByteArray("\x33\x22\x11\x00", 4));
    QCOMPARE(b.mid(392 + 8 * 4, 4), QByteArray("\xCC\xBB\xAA\x00", 4));
    QCOMPARE(int(b.at(432)), 1);
    QCOMPARE(int(b.at(433)), 8);
    QCOMPARE(def.CompanyName(), u"株式会社"_s);
}

void TestDekigataDef::roundTripKeepsUnknownBytes()
{
    TTestEnv env;
    QByteArray original(472, '\0');
    for (int i = 0; i < 472; ++i)
        original[i] = char((i * 37 + 11) & 0xFF);
    // Valid length bytes so the texts decode; everything else is arbitrary.
    original[0] = 3;
    original[433] = 2;
    {
        QFile f(u"DekigataDef"_s);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(original);
    }
    QCOMPARE(LoadDefaults(), TDekigataDef::LoadResult::Loaded);
    QCOMPARE(DekigataDef().Bytes(), original);
    SaveDefaults();
    QFile f(u"DekigataDef"_s);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), original);
}

void TestDekigataDef::shortFileIsRewritten()
{
    TTestEnv env;
    DekigataDef().SetCompanyName(u"前の会社"_s);
    QByteArray shortFile(400, '\0');
    shortFile[65] = 2; // units (1,1) = "ｍ"
    shortFile[66] = char(0x82);
    shortFile[67] = char(0x8D);
    {
        QFile f(u"DekigataDef"_s);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(shortFile);
    }
    QCOMPARE(LoadDefaults(), TDekigataDef::LoadResult::ShortFileRewritten);
    QCOMPARE(DekigataDef().Units(1, 1), u"ｍ"_s);
    // The part beyond the short file keeps what the record held.
    QCOMPARE(DekigataDef().CompanyName(), u"前の会社"_s);
    QCOMPARE(QFileInfo(u"DekigataDef"_s).size(), 472);
    QCOMPARE(LoadDefaults(), TDekigataDef::LoadResult::Loaded);
}

void TestDekigataDef::longFileReadsFirstRecord()
{
    TTestEnv env;
    TDekigataDef def;
    def.SetUnits(1, 2, u"㎝"_s);
    QByteArray bytes = def.Bytes() + QByteArray(100, 'x');
    {
        QFile f(u"DekigataDef"_s);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QCOMPARE(LoadDefaults(), TDekigataDef::LoadResult::Loaded);
    QCOMPARE(DekigataDef().Units(1, 2), u"㎝"_s);
    QCOMPARE(QFileInfo(u"DekigataDef"_s).size(), 572);
}

void TestDekigataDef::textsAreCutAtCharacterBoundary()
{
    TDekigataDef def;
    // 20 full-width characters are 40 bytes; 16 fit in 32.
    def.SetCompanyName(QString(20, QChar(u'株')));
    QCOMPARE(def.CompanyName(), QString(16, QChar(u'株')));
    // 'a' + full-width: 1 + 2*4 = 9 bytes; the last one does not fit in 8.
    def.SetUnits(1, 1, u"aｍｍｍｍ"_s);
    QCOMPARE(def.Units(1, 1), u"aｍｍｍ"_s);
    def.SetUnits(2, 1, u"ｍｍ"_s);
    QCOMPARE(def.Units(2, 1), u"ｍｍ"_s);
}

void TestDekigataDef::missingFileLeavesRecord()
{
    TTestEnv env;
    // A record that already holds colours (the file went away during the run) is written
    // as it is, without the palette mixed in.
    DekigataDef().SetColors(3, 0xFF);
    QCOMPARE(LoadDefaults(), TDekigataDef::LoadResult::Created);
    QCOMPARE(DekigataDef().Colors(3), 0xFFu);
    QCOMPARE(DekigataDef().Colors(48), 0u);
    TDekigataDef written;
    QCOMPARE(written.Load(u"DekigataDef"_s), TDekigataDef::LoadResult::Loaded);
    QCOMPARE(written.Bytes(), DekigataDef().Bytes());
    // A folder in the file's place cannot be read: a clear error, not a crash.
    QVERIFY(QFile::remove(u"DekigataDef"_s));
    QVERIFY(QDir().mkdir(u"DekigataDef"_s));
    QVERIFY_THROWS_EXCEPTION(EFileError, LoadDefaults());
}

namespace {
// Distance from white; the grid must stay light behind the data.
int Darkness(quint32 c)
{
    return 3 * 255 - int(c & 0xFF) - int((c >> 8) & 0xFF) - int((c >> 16) & 0xFF);
}
} // namespace

void TestDekigataDef::firstStartWritesReadablePalette()
{
    TTestEnv env;
    QCOMPARE(LoadDefaults(), TDekigataDef::LoadResult::Created);
    TDekigataDef file;
    QCOMPARE(file.Load(u"DekigataDef"_s), TDekigataDef::LoadResult::Loaded);
    QCOMPARE(file.Bytes(), DekigataDef().Bytes());
    for (int n = 1; n <= 50; ++n)
        QCOMPARE(file.Colors(n), TDekigataDef::StandardColor(n));

    const quint32 grid = file.Colors(48);
    QVERIFY(Darkness(grid) < 150);
    for (int a = 42; a <= 50; ++a) {
        if (a != 48)
            QVERIFY2(Darkness(file.Colors(a)) > Darkness(grid) + 100, qPrintable(QString::number(a)));
        for (int b = a + 1; b <= 50; ++b)
            QVERIFY2(file.Colors(a) != file.Colors(b), qPrintable(u"%1 %2"_s.arg(a).arg(b)));
    }
    // Classes -20..20: no bar white or black, the same on both sides, deeper outwards.
    for (int k = 0; k <= 20; ++k) {
        const quint32 c = file.Colors(21 + k);
        QCOMPARE(file.Colors(21 - k), c);
        QVERIFY(c != 0 && c != 0x00FFFFFF);
        if (k > 0)
            QVERIFY(Darkness(c) > Darkness(file.Colors(20 + k)));
    }
    // Only the colours: texts and the notes flag start empty as before.
    QCOMPARE(file.Units(1, 1), QString());
    QCOMPARE(file.CompanyName(), QString());
    QVERIFY(!file.NoNotes());
}

void TestDekigataDef::existingBlackFileIsKept()
{
    TTestEnv env;
    const QByteArray black(472, '\0');
    {
        QFile f(u"DekigataDef"_s);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(black);
    }
    QCOMPARE(LoadDefaults(), TDekigataDef::LoadResult::Loaded);
    QCOMPARE(DekigataDef().Bytes(), black);
    QFile f(u"DekigataDef"_s);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), black);
}

QTEST_GUILESS_MAIN(TestDekigataDef)
#include "tst_DekigataDef.moc"
