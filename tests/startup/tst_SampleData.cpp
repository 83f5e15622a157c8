#include "app/uDatabase.h"
#include "app/uSpread.h"
#include "measure/uDropDownBox.h"
#include "measure/fEditDekigata.h"
#include "startup/uSampleData.h"
#include "support/TestEnv.h"

#include <QDirIterator>
#include <QLabel>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
// Every file below Folder with its size and time of change, to see that nothing moved.
QStringList Snapshot(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        files << u"%1 %2 %3"_s.arg(info.filePath()).arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
    }
    files.sort();
    return files;
}

QStringList Rows(const QString &sql)
{
    TQuery q(sql);
    q.Open();
    QStringList rows;
    for (; !q.Eof(); q.Next()) {
        QStringList cells;
        for (int c = 0; c < q.FieldCount(); ++c)
            cells << q.FieldValueAt(c).toString();
        rows << cells.join(u'|');
    }
    return rows;
}
} // namespace

class TestSampleData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sampleInItsOwnFolder();
    void firstStartHint();
};

void TestSampleData::sampleInItsOwnFolder()
{
    TTestEnv env;
    const QString own = env.UseDataFolder(u"mine"_s);
    TfrmEditDekigata window; // creates the user's tables, as at start
    const QStringList before = Snapshot(own);
    QVERIFY(!before.isEmpty());

    const QString sample = SampleData::Folder();
    QVERIFY(!sample.startsWith(own));
    SampleData::Create(sample);
    // Made twice: the second replaces the first instead of adding to it.
    const int first = SampleData::Create(sample);
    QCOMPARE(Snapshot(own), before);
    QCOMPARE(QDir::cleanPath(GetAliasPath(u"tomaruk"_s)), QDir::cleanPath(own));

    OverrideAliasPath(u"tomaruk"_s, sample);
    QCOMPARE(Rows(u"select Code, Yoshiki from Koji1 order by Code"_s),
             (QStringList{u"S001|0"_s, u"S002|1"_s, u"S003|2"_s}));
    // A height and a thickness record in each print style, each with its lines and the
    // standard of its key.
    QCOMPARE(Rows(u"select h.KOJICODE, h.YOSIKI, count(*), h.JOGENKIKAKU, h.KAGENKIKAKU from Kel4Head h "
                  "join Kel4Line l on l.KID = h.ID group by h.ID order by h.ID"_s),
             (QStringList{u"S001|0|20|40|-40"_s, u"S001|1|16|25|-25"_s, u"S002|0|20|40|-40"_s,
                          u"S002|1|16|25|-25"_s, u"S003|0|20|40|-40"_s, u"S003|1|16|25|-25"_s}));
    QCOMPARE(Rows(u"select min(ID) from Kel4Head where YOSIKI = 0"_s), QStringList{QString::number(first)});
    QCOMPARE(Rows(u"select KOJICODE, count(*) from DekigataTorimatome4 group by KOJICODE order by KOJICODE"_s),
             (QStringList{u"S001|2"_s, u"S002|2"_s, u"S003|2"_s}));
    QCOMPARE(Rows(u"select count(*) from Kouku"_s), QStringList{u"6"_s});
    OverrideAliasPath(u"tomaruk"_s, QString());
}

void TestSampleData::firstStartHint()
{
    TTestEnv env;
    env.UseDataFolder(u"mine"_s);
    TfrmEditDekigata window;
    window.FormActivate();
    QVERIFY(window.StatusHint->isVisibleTo(&window));
    QVERIFY(window.StatusHint->text().contains(u"「工事の登録」"_s));

    const int first = SampleData::Create(SampleData::Folder());
    SetAliasPath(u"tomaruk"_s, SampleData::Folder());
    window.ShowRecord(first);
    QVERIFY(!window.StatusHint->isVisibleTo(&window));
    QCOMPARE(window.ComboBox1->Text(), u"S001:サンプル　国道５号　北栄地区舗装工事"_s);
    QCOMPARE(window.vaSpread1->CellText(1, 1), u"No.0"_s);
}

QTEST_MAIN(TestSampleData)
#include "tst_SampleData.moc"
