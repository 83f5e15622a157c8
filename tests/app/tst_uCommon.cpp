#include "app/AppPaths.h"
#include "app/Errors.h"
#include "app/IniFile.h"
#include "app/RegistryUtility.h"
#include "app/uCommon.h"
#include "app/uDatabase.h"
#include "support/TestEnv.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

class TestCommon : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textToFloat_data();
    void textToFloat();
    void isFloatText_data();
    void isFloatText();
    void decimalText_data();
    void decimalText();
    void roundTo_data();
    void roundTo();
    void roundUpTo();
    void format80Percent_data();
    void format80Percent();
    void items_data();
    void items();
    void ranges_data();
    void ranges();
    void randomInRange();
    void station_data();
    void station();
    void formatGeneral_data();
    void formatGeneral();
    void dates();
    void strictConversionsRaise();
    void settings();
    void settingsFileRead_data();
    void settingsFileRead();
    void settingsFileWrite_data();
    void settingsFileWrite();

private:
    TTestEnv m_env;
};

void TestCommon::textToFloat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("blank") << u"  "_s << 0.0;
    QTest::newRow("unit only") << u"ｍ"_s << 0.0;
    QTest::newRow("with unit") << u"12.5cm"_s << 12.5;
    QTest::newRow("negative with unit") << u"-5mm"_s << -5.0;
    QTest::newRow("two points") << u"1.2.3"_s << 0.0;
    QTest::newRow("exponent letters dropped") << u"1e3"_s << 13.0;
    QTest::newRow("station") << u"No.12"_s << 0.12;
    QTest::newRow("full-width digits dropped") << u"１２"_s << 0.0;
}

void TestCommon::textToFloat()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(TextToFloat(text), value);
}

void TestCommon::isFloatText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isFloat");
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("full-width") << u"１２"_s << false;
    QTest::newRow("lone point") << u"."_s << false;
    QTest::newRow("lone minus") << u"-"_s << false;
    QTest::newRow("separator") << u"1,000"_s << false;
    QTest::newRow("exponent") << u"1E3"_s << true;
    QTest::newRow("signed decimal") << u"-0.25"_s << true;
    QTest::newRow("overflow") << u"1e999"_s << false;
    QTest::newRow("blank around") << u" 1"_s << false;
    QTest::newRow("trailing blank") << u"1 "_s << false;
    QTest::newRow("trailing point") << u"12."_s << true;
    QTest::newRow("leading point") << u".5"_s << true;
    QTest::newRow("plus sign") << u"+3"_s << true;
    QTest::newRow("point before exponent") << u"1.e5"_s << true;
    QTest::newRow("signed exponent") << u"2.5e-3"_s << true;
    QTest::newRow("exponent without digits") << u"1e+"_s << false;
    QTest::newRow("exponent alone") << u"e5"_s << false;
    QTest::newRow("fractional exponent") << u"1e5.0"_s << false;
    QTest::newRow("two points") << u"1..2"_s << false;
    QTest::newRow("two signs") << u"--1"_s << false;
    QTest::newRow("Arabic-Indic digit") << u"\u0663"_s << false;
    // A line feed at the very end has always been let through (and read as the number).
    QTest::newRow("final line feed") << u"12\n"_s << true;
    QTest::newRow("line feed inside") << u"1\n2"_s << false;
}

void TestCommon::isFloatText()
{
    QFETCH(QString, text);
    QFETCH(bool, isFloat);
    QCOMPARE(IsFloatText(text), isFloat);
    QCOMPARE(TextToFloatOrMax(text) == 1e12, !isFloat);
}

void TestCommon::decimalText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isValue");
    QTest::addColumn<double>("value");
    QTest::newRow("full-width digits and point") << u"１２．５"_s << true << 12.5;
    QTest::newRow("full-width minus") << u"－５"_s << true << -5.0;
    QTest::newRow("minus sign") << u"\u22125"_s << true << -5.0;
    QTest::newRow("ideographic space around") << u"\u3000１\u3000"_s << true << 1.0;
    QTest::newRow("blanks around") << u" 4 "_s << true << 4.0;
    QTest::newRow("plus sign") << u"+3"_s << true << 3.0;
    QTest::newRow("trailing point") << u"12."_s << true << 12.0;
    QTest::newRow("leading point") << u".5"_s << true << 0.5;
    QTest::newRow("separator stays a text") << u"1,5"_s << false << 0.0;
    QTest::newRow("exponent stays a text") << u"1e3"_s << false << 0.0;
    QTest::newRow("unit behind") << u"５mm"_s << false << 0.0;
    QTest::newRow("word") << u"欠測"_s << false << 0.0;
    QTest::newRow("empty") << QString() << false << 0.0;
    QTest::newRow("lone minus") << u"-"_s << false << 0.0;
    QTest::newRow("two points") << u"1.2.3"_s << false << 0.0;
}

void TestCommon::decimalText()
{
    QFETCH(QString, text);
    QFETCH(bool, isValue);
    QFETCH(double, value);
    double read = -99;
    QCOMPARE(ReadDecimalText(text, &read), isValue);
    if (isValue)
        QCOMPARE(read, value);
    // The half-width form changes nothing but the full-width characters.
    QCOMPARE(HalfWidthNumberText(text).size(), text.size());
    QCOMPARE(HalfWidthNumberText(u"第１工区"_s), u"第1工区"_s);
}

void TestCommon::roundTo_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("roundOn");
    QTest::addColumn<double>("expected");
    QTest::newRow("2.5 away") << 0 << 2.5 << QString() << 3.0;
    QTest::newRow("2.5 even") << 0 << 2.5 << u"TRUE"_s << 2.0;
    QTest::newRow("-2.5 away") << 0 << -2.5 << QString() << -3.0;
    QTest::newRow("-2.5 even") << 0 << -2.5 << u"TRUE"_s << -2.0;
    QTest::newRow("0.05") << 1 << 0.05 << QString() << 0.1;
    QTest::newRow("1.005") << 2 << 1.005 << QString() << 1.01;
    QTest::newRow("2.675 away") << 2 << 2.675 << QString() << 2.68;
    QTest::newRow("2.675 even") << 2 << 2.675 << u"TRUE"_s << 2.67;
    QTest::newRow("lower-case true is off") << 0 << 2.5 << u"true"_s << 3.0;
    QTest::newRow("3.5 even") << 0 << 3.5 << u"TRUE"_s << 4.0;
}

void TestCommon::roundTo()
{
    QFETCH(int, n);
    QFETCH(double, x);
    QFETCH(QString, roundOn);
    QFETCH(double, expected);
    WriteSetting(u"RoundON"_s, roundOn);
    QCOMPARE(RoundTo(n, x), expected);
    WriteSetting(u"RoundON"_s, QString());
}

void TestCommon::roundUpTo()
{
    QCOMPARE(RoundUpTo(1, 1.21), 1.3);
    QCOMPARE(RoundUpTo(1, 1.199999), 1.2);
    QCOMPARE(RoundUpTo(0, 4.0), 4.0);
}

void TestCommon::format80Percent_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("text");
    QTest::newRow("absent") << QString() << 12.0 << u"12.0"_s;
    QTest::newRow("none, half away") << u"0"_s << -3.25 << u"-3.3"_s;
    QTest::newRow("up 12.5") << u"1"_s << 12.5 << u"13"_s;
    QTest::newRow("up 12.4") << u"1"_s << 12.4 << u"12"_s;
    QTest::newRow("down -12.7") << u"2"_s << -12.7 << u"-12"_s;
    QTest::newRow("half 2.5") << u"3"_s << 2.5 << u"3"_s;
    QTest::newRow("3.7 counts as 3") << u"3.7"_s << -2.5 << u"-3"_s;
    QTest::newRow("x counts as 0") << u"x"_s << 1.0 << u"1.0"_s;
    QTest::newRow("other") << u"4"_s << 1.0 << QString();
}

void TestCommon::format80Percent()
{
    QFETCH(QString, setting);
    QFETCH(double, x);
    QFETCH(QString, text);
    WriteSetting(u"K4_80%_ROUND"_s, setting);
    QCOMPARE(Format80Percent(x), text);
}

void TestCommon::items_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("code and name") << u"A01:道路改良"_s << u"A01"_s << u"道路改良"_s;
    QTest::newRow("leading colon") << u":x"_s << QString() << QString();
    QTest::newRow("no colon") << u"abc"_s << u"abc"_s << QString();
    QTest::newRow("double-byte code") << u"工区:名前:続き"_s << u"工区"_s << u"名前:続き"_s;
}

void TestCommon::items()
{
    QFETCH(QString, item);
    QFETCH(QString, code);
    QFETCH(QString, name);
    QCOMPARE(ItemCode(item), code);
    QCOMPARE(ItemName(item), name);
}

void TestCommon::ranges_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::newRow("a_b reversed") << u"3_-2"_s << -2.0 << 3.0;
    QTest::newRow("open below") << u"_5"_s << -1e12 << 5.0;
    QTest::newRow("open below, bad") << u"_x"_s << -1e12 << 1e12;
    QTest::newRow("open above") << u"4_"_s << 4.0 << 1e12;
    QTest::newRow("bar only") << u"_"_s << -1e12 << 1e12;
    QTest::newRow("empty") << QString() << -1e12 << 1e12;
    QTest::newRow("single") << u"7"_s << 7.0 << 7.0;
    QTest::newRow("single bad") << u"x"_s << -1e12 << 1e12;
    QTest::newRow("first bar counts") << u"1_2_3"_s << 1.0 << 1e12;
}

void TestCommon::ranges()
{
    QFETCH(QString, text);
    QFETCH(double, lower);
    QFETCH(double, upper);
    QCOMPARE(RangeLower(text), lower);
    QCOMPARE(RangeUpper(text), upper);
}

void TestCommon::randomInRange()
{
    for (int i = 0; i < 2000; ++i) {
        const double v = RandomInRange(u"1_1000"_s);
        QVERIFY(v >= 1 && v < 1000);
    }
    QCOMPARE(RandomInRange(u"5"_s), 5.0);
}

void TestCommon::station_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("result");
    QTest::newRow("carry") << u"No.9"_s << u"1"_s << u"No.10"_s;
    QTest::newRow("suffix kept") << u"No.1+10"_s << u"20"_s << u"No.21+10"_s;
    QTest::newRow("kanji prefix") << u"測点5"_s << u"20"_s << u"測点25"_s;
    QTest::newRow("no digits") << u"No."_s << u"20"_s << u"No.20"_s;
    QTest::newRow("empty") << QString() << u"20"_s << u"20"_s;
    QTest::newRow("empty interval") << u"No.3"_s << QString() << u"No.3"_s;
}

void TestCommon::station()
{
    QFETCH(QString, text);
    QFETCH(QString, interval);
    QFETCH(QString, result);
    QCOMPARE(AddToStationText(text, interval), result);
}

void TestCommon::formatGeneral_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << u"0"_s;
    QTest::newRow("integer") << 120.0 << u"120"_s;
    QTest::newRow("fraction") << -0.125 << u"-0.125"_s;
    QTest::newRow("binary error absorbed") << 0.1 + 0.2 << u"0.3"_s;
    QTest::newRow("1E15") << 1e15 << u"1E15"_s;
    QTest::newRow("below 1E15") << 999999999999999.0 << u"999999999999999"_s;
    QTest::newRow("1E-5 fixed") << 0.00001 << u"0.00001"_s;
    QTest::newRow("1.5E-6") << 0.0000015 << u"1.5E-6"_s;
}

void TestCommon::formatGeneral()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(FormatGeneral(value), text);
}

void TestCommon::dates()
{
    QCOMPARE(TextToDate(u"2024/2/29"_s), QDate(2024, 2, 29));
    QVERIFY(!TextToDate(u"2023/2/29"_s).isValid());
    QVERIFY(!IsDateText(u"   "_s));
    QVERIFY(!IsDateText(u"2024-01-05"_s));
    QCOMPARE(TextToDate(u"3/4"_s), QDate(QDate::currentDate().year(), 3, 4));
    QCOMPARE(DateToText(QDate(2019, 5, 1)), u"2019/05/01"_s);
    QCOMPARE(DateToText(QDate()), QString());
    QCOMPARE(SignedText(u"0"_s), u"+0"_s);
    QCOMPARE(SignedText(u"-3"_s), u"-3"_s);
    QCOMPARE(FloatMod(7.5f, 2.0f), 1.5f);
    QCOMPARE(FloatMod(-7.5f, 2.0f), -1.5f);
}

void TestCommon::strictConversionsRaise()
{
    try {
        StrToFloat(u"abc"_s);
        QFAIL("no error");
    } catch (const EConvertError &e) {
        QCOMPARE(e.Message(), u"'abc' は浮動小数点数ではありません"_s);
    }
    try {
        StrToInt(QString());
        QFAIL("no error");
    } catch (const EConvertError &e) {
        QCOMPARE(e.Message(), u"'' は整数ではありません"_s);
    }
    QCOMPARE(StrToInt(u"42"_s), 42);
}

void TestCommon::settings()
{
    QCOMPARE(ReadSetting(u"80percent"_s), QString());
    WriteSetting(u"80percent"_s, u"true"_s);
    QVERIFY(!SettingIsOn(u"80percent"_s));
    WriteSetting(u"80percent"_s, u"TRUE"_s);
    QVERIFY(SettingIsOn(u"80percent"_s));
    // Values with separators, quotes and line breaks come back as written.
    const QString odd = u"a,b=\"c\"\n\\d %25"_s;
    WriteSetting(u"JisyaKikakumei"_s, odd);
    QCOMPARE(ReadSetting(u"JisyaKikakumei"_s), odd);
    QCOMPARE(ReadSetting(u"80percent"_s), u"TRUE"_s);
    QVERIFY(!IsSimulationEnabled());
}

void TestCommon::settingsFileRead_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("QSettings: [General]") << "[General]\nRoundON=TRUE\n"_ba << QString() << u"RoundON"_s << u"TRUE"_s;
    QTest::newRow("QSettings: %25 in a key")
        << "[General]\nK4_80%25_ROUND=2\n"_ba << QString() << u"K4_80%_ROUND"_s << u"2"_s;
    QTest::newRow("QSettings: quoted value")
        << "[General]\nJisyaKikakumei=\"a,b \\\"c\\\"\"\n"_ba << QString() << u"JisyaKikakumei"_s << u"a,b \"c\""_s;
    QTest::newRow("older: bare % key") << "80percent=TRUE\nK4_80%_ROUND=3\n"_ba << QString() << u"K4_80%_ROUND"_s << u"3"_s;
    QTest::newRow("older: unquoted comma, escaped backslash")
        << "JisyaKikakumei=a,b\\\\c \n"_ba << QString() << u"JisyaKikakumei"_s << u"a,b\\c "_s;
    QTest::newRow("older with [General] added by hand")
        << "80percent=TRUE\n[General]\nRoundON=TRUE\n"_ba << QString() << u"RoundON"_s << u"TRUE"_s;
    QTest::newRow("aliases, QSettings") << "[tomaruk]\nPath=\"/a,b\"\n"_ba << u"TOMARUK"_s << u"Path"_s << u"/a,b"_s;
    QTest::newRow("aliases, older") << "[tomaruk]\nPath=/a,b\n"_ba << u"TOMARUK"_s << u"Path"_s << u"/a,b"_s;
    QTest::newRow("start of a huge file")
        << "[General]\nRoundON=TRUE\n;"_ba + QByteArray(6 * 1024 * 1024, 'x') << QString() << u"RoundON"_s << u"TRUE"_s;
}

void TestCommon::settingsFileRead()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, group);
    QFETCH(QString, key);
    QFETCH(QString, value);
    TTestEnv env;
    const QString fileName = env.Root() + u"/some.ini"_s;
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    const QDateTime written = QFileInfo(fileName).lastModified();
    const TIniFile ini(fileName);
    QCOMPARE(ini.Read(group, key, false), value);

    // Parsed once: the same size and time are not read again; another time is.
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(content.size(), '\n'));
    file.flush(); // before the time is set, or the write would set it again
    file.setFileTime(written, QFileDevice::FileModificationTime);
    file.close();
    QCOMPARE(ini.Read(group, key, false), value);
    QVERIFY(file.open(QIODevice::Append));
    file.setFileTime(written.addSecs(5), QFileDevice::FileModificationTime);
    file.close();
    QCOMPARE(ini.Read(group, key, false), QString());
}

void TestCommon::settingsFileWrite_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("keptKey");
    QTest::addColumn<QString>("keptValue");
    QTest::newRow("separators and line breaks")
        << QByteArray() << u"JisyaKikakumei"_s << u"a,b=\"c\"\n\\d %25 "_s << QString() << QString();
    QTest::newRow("older file rewritten, its values kept")
        << "K4_80%_ROUND=2\nJisyaKikakumei=a,b\n"_ba << u"80percent"_s << u"TRUE"_s << u"JisyaKikakumei"_s << u"a,b"_s;
}

void TestCommon::settingsFileWrite()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, keptKey);
    QFETCH(QString, keptValue);
    TTestEnv env;
    const QString fileName = AppPaths::SettingsFile();
    if (!before.isNull()) {
        QVERIFY(QDir().mkpath(QFileInfo(fileName).absolutePath()));
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
    }
    WriteSetting(key, value);
    QSettings settings(fileName, QSettings::IniFormat);
    QCOMPARE(settings.status(), QSettings::NoError);
    QCOMPARE(settings.value(key).toString(), value);
    if (!keptKey.isEmpty())
        QCOMPARE(settings.value(keptKey).toString(), keptValue);
    QCOMPARE(ReadSetting(key), value);

    // A store that cannot be written says so, naming the file.
    QVERIFY(QFile::remove(fileName));
    QVERIFY(QDir().mkdir(fileName));
    try {
        WriteSetting(key, u"x"_s);
        QFAIL("no error");
    } catch (const EFileError &e) {
        QVERIFY2(e.Message().contains(fileName), qPrintable(e.Message()));
    }
    QVERIFY(QDir().mkdir(AppPaths::AliasFile()));
    QVERIFY(!SetAliasPath(u"tomaruk"_s, env.Root()));
}

QTEST_GUILESS_MAIN(TestCommon)
#include "tst_uCommon.moc"
