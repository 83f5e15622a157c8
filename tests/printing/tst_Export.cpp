#include "app/uDekigataDef.h"
#include "app/AppPaths.h"
#include "app/uApplication.h"
#include "app/uCommon.h"
#include "app/uDatabase.h"
#include "app/SjisText.h"
#include "printing/NkPrinter.h"
#include "printing/PageExport.h"
#include "printing/PdfPageWriter.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "printing/uTestPage.h"
#include "startup/uExport.h"
#include "support/PdfTools.h"
#include "support/StoredRows.h"
#include "support/TestEnv.h"
#include "sheets/TorimatomeFixture.h"
#include "sheets/uDekigataTorimatome.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

class TestExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void testPageToPdf();
    void testPageToPng();
    void testPageLinesLandOnTheirCentimetres();
    void testPageRecordsItsBoxes();
    void usageErrors_data();
    void usageErrors();
    void listRecords();
    void summaryNeedsABuiltTable();
    void spreadsheetFiles();
    void helpAndVersion();
    void shortDefaultsFileOnlyRead();
    void registeredFormGetsItsOptions();
    void dataDirIsForThisRunOnly();
    void copyBetweenFolderAndServer();

private:
    int Run(const QStringList &args);
    QString File(const QString &name) const { return m_env->Root() + u'/' + name; }

    std::unique_ptr<TTestEnv> m_env;
    QString m_out;
    QString m_err;
};

void TestExport::initTestCase()
{
    RegisterFontSubstitutions();
}

void TestExport::init()
{
    m_env = std::make_unique<TTestEnv>();
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
    SetPaper(u"A4"_s, u"PORT"_s);
}

void TestExport::cleanup()
{
    m_env.reset();
}

int TestExport::Run(const QStringList &args)
{
    m_out.clear();
    m_err.clear();
    QTextStream out(&m_out);
    QTextStream err(&m_err);
    return RunExport(args, out, err);
}

void TestExport::testPageToPdf()
{
    if (!HavePdfTools())
        QSKIP("pdfinfo is not installed");
    const QString pdf = File(u"page.pdf"_s);
    QCOMPARE(Run({u"--form"_s, u"testpage"_s, u"--out"_s, pdf}), 0);
    QVERIFY2(m_err.isEmpty(), qPrintable(m_err));
    const TPdfInfo info = ReadPdfInfo(pdf);
    QVERIFY(info.Read);
    QCOMPARE(info.Pages, 1);
    QCOMPARE(info.PageSizes.first(), QSizeF(595, 842));
    QVERIFY(PdfPageText(pdf, 1).contains(u"テストページ"_s));

    // A document broken off before its end leaves the file that was there.
    TPrevX prev;
    DrawTestPage(&prev);
    const qint64 before = QFileInfo(pdf).size();
    {
        TPdfPageWriter unfinished(pdf, QString());
        unfinished.AddPage(prev.Page(1));
        unfinished.AddPage(prev.Page(1));
    }
    QCOMPARE(QFileInfo(pdf).size(), before);
    QCOMPARE(ReadPdfInfo(pdf).Pages, 1);
    TPdfPageWriter(File(u"never.pdf"_s), QString()).AddPage(prev.Page(1));
    QVERIFY(!QFileInfo::exists(File(u"never.pdf"_s)));
}

void TestExport::testPageToPng()
{
    const QString png = File(u"page.png"_s);
    QCOMPARE(Run({u"--form"_s, u"testpage"_s, u"--out"_s, png, u"--dpi"_s, u"100"_s}), 0);
    QVERIFY(!QFileInfo::exists(png));
    const QImage image(File(u"page-001.png"_s));
    QVERIFY(!image.isNull());
    // The whole A4 sheet (4958 × 7017 at 600 dpi) at 100 dpi.
    QCOMPARE(image.size(), QSize(826, 1170));
    QCOMPARE(qRound(image.dotsPerMeterX() * 0.0254), 100);
    QVERIFY(!QFileInfo::exists(File(u"page-002.png"_s)));

    QCOMPARE(Run({u"--form"_s, u"testpage"_s, u"--out"_s, File(u"default.png"_s)}), 0);
    QCOMPARE(QImage(File(u"default-001.png"_s)).size(), QSize(1240, 1754));
}

// Rows of the image whose pixels at column x are dark.
static QList<int> DarkRows(const QImage &image, int x)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y)
        if (qGray(image.pixel(x, y)) < 128)
            rows.append(y);
    return rows;
}

void TestExport::testPageLinesLandOnTheirCentimetres()
{
    if (QStandardPaths::findExecutable(u"pdftoppm"_s).isEmpty())
        QSKIP("pdftoppm is not installed");
    const QString pdf = File(u"measure.pdf"_s);
    QCOMPARE(Run({u"--form"_s, u"testpage"_s, u"--out"_s, pdf}), 0);
    QProcess raster;
    raster.start(u"pdftoppm"_s, {u"-r"_s, u"150"_s, u"-png"_s, u"-singlefile"_s, pdf, File(u"raster"_s)});
    QVERIFY(raster.waitForFinished(60000));
    QCOMPARE(raster.exitCode(), 0);
    const QImage image(File(u"raster.png"_s));
    QCOMPARE(image.width(), 1240);
    QVERIFY(qAbs(image.height() - 1754) <= 1);
    // Down the column at 12 cm: the outer frame, the boxes and the rules.
    const QList<int> dark = DarkRows(image, qRound(12 / 2.54 * 150));
    for (double cm : {1.0, 3.0, 5.0, 6.0, 7.0, 8.0, 9.0, 10.0, 21.0, 27.0, 28.7}) {
        const double expected = cm / 2.54 * 150;
        bool found = false;
        for (int y : dark)
            found = found || std::abs(y - expected) <= 1.0;
        QVERIFY2(found, qPrintable(u"no line at %1 cm"_s.arg(cm)));
    }
    // Across the row at 8 cm: the rule runs from 2 to 19 cm.
    const int row = qRound(8 / 2.54 * 150);
    int first = -1;
    int last = -1;
    for (int x = 100; x < 1150; ++x) { // short of the frame at 20 cm
        if (qGray(image.pixel(x, row)) < 128) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    QVERIFY(std::abs(first - 2 / 2.54 * 150) <= 1.5);
    QVERIFY(std::abs(last - 19 / 2.54 * 150) <= 1.5);
}

void TestExport::testPageRecordsItsBoxes()
{
    TPrevX prev;
    DrawTestPage(&prev);
    QCOMPARE(prev.PageCount(), 1);
    QCOMPARE(prev.Title(), u"テストページ"_s);
    const TRecordedPage &page = prev.Page(1);
    auto px = [](float cm) { return int(std::trunc(double(cm) * 600 / 2.54)); };
    int frameEdges = 0;
    for (const TPageCommand &l : page.Lines()) {
        if (l.From == QPoint(px(1), px(1)) && l.To == QPoint(px(20), px(1)))
            ++frameEdges;
        if (l.From == QPoint(px(20), px(1)) && l.To == QPoint(px(20), px(28.7f)))
            ++frameEdges;
    }
    QCOMPARE(frameEdges, 2);
    QVERIFY(page.AllText().contains(QChar(kAverageSign)));
    QCOMPARE(page.Fills().size(), 2);
    QCOMPARE(page.Ellipses().size(), 1);
}

void TestExport::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("unknown option") << QStringList{u"--colour"_s};
    QTest::newRow("unknown form") << QStringList{u"--form"_s, u"poster"_s, u"--out"_s, u"x.pdf"_s};
    QTest::newRow("no out") << QStringList{u"--form"_s, u"testpage"_s};
    QTest::newRow("out without value") << QStringList{u"--form"_s, u"testpage"_s, u"--out"_s};
    QTest::newRow("other suffix") << QStringList{u"--form"_s, u"testpage"_s, u"--out"_s, u"x.jpg"_s};
    QTest::newRow("dpi not a number")
        << QStringList{u"--form"_s, u"testpage"_s, u"--out"_s, u"x.png"_s, u"--dpi"_s, u"high"_s};
    QTest::newRow("dpi zero") << QStringList{u"--form"_s, u"testpage"_s, u"--out"_s, u"x.png"_s, u"--dpi"_s, u"0"_s};
    QTest::newRow("chart without record") << QStringList{u"--form"_s, u"chart"_s, u"--out"_s, u"x.pdf"_s};
    QTest::newRow("record not a number")
        << QStringList{u"--record"_s, u"abc"_s, u"--form"_s, u"chart"_s, u"--out"_s, u"x.pdf"_s};
    QTest::newRow("summary without project") << QStringList{u"--form"_s, u"summary"_s, u"--out"_s, u"x.pdf"_s};
    QTest::newRow("summary with record")
        << QStringList{u"--project"_s, u"P1"_s, u"--record"_s, u"3"_s, u"--form"_s, u"summary"_s, u"--out"_s, u"x.pdf"_s};
    QTest::newRow("standards with project")
        << QStringList{u"--project"_s, u"P1"_s, u"--form"_s, u"standards"_s, u"--out"_s, u"x.pdf"_s};
    QTest::newRow("csv of a form without table")
        << QStringList{u"--project"_s, u"P1"_s, u"--form"_s, u"batch"_s, u"--out"_s, u"x.csv"_s};
    QTest::newRow("list with form") << QStringList{u"--list"_s, u"--form"_s, u"testpage"_s};
    QTest::newRow("csv to a pdf") << QStringList{u"--record"_s, u"1"_s, u"--form"_s, u"csv"_s, u"--out"_s, u"x.pdf"_s};
    QTest::newRow("xlsx without record") << QStringList{u"--form"_s, u"xlsx"_s, u"--out"_s, u"x.xlsx"_s};
    QTest::newRow("unknown encoding") << QStringList{u"--record"_s, u"1"_s, u"--form"_s, u"csv"_s, u"--out"_s,
                                                     u"x.csv"_s, u"--encoding"_s, u"latin1"_s};
    QTest::newRow("encoding for an xlsx") << QStringList{u"--record"_s, u"1"_s, u"--form"_s, u"xlsx"_s, u"--out"_s,
                                                         u"x.xlsx"_s, u"--encoding"_s, u"shift_jis"_s};
    QTest::newRow("summary to a text file")
        << QStringList{u"--project"_s, u"P1"_s, u"--form"_s, u"summary"_s, u"--out"_s, u"x.txt"_s};
}

void TestExport::usageErrors()
{
    QFETCH(QStringList, args);
    QCOMPARE(Run(args), kExportUsageError);
    QVERIFY(m_err.contains(u"使い方"_s));
    QVERIFY(m_out.isEmpty());
}

// The exporter only reads the defaults file: a short one is used as far as it goes, named in
// one warning, and left as it is.
void TestExport::shortDefaultsFileOnlyRead()
{
    QFile file(u"DekigataDef"_s);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(400, '\x01'));
    file.close();
    QCOMPARE(Run({u"--form"_s, u"testpage"_s, u"--out"_s, File(u"page.pdf"_s)}), 0);
    QCOMPARE(m_err.count(u"警告"_s), 1);
    QVERIFY2(m_err.contains(QDir::current().absoluteFilePath(u"DekigataDef"_s)), qPrintable(m_err));
    QCOMPARE(QFileInfo(u"DekigataDef"_s).size(), 400);
    QVERIFY(QFileInfo(File(u"page.pdf"_s)).size() > 0);
    // What could be read is used.
    QCOMPARE(DekigataDef().Colors(1), 0x01010101u);
}

void TestExport::listRecords()
{
    using namespace TorimatomeFixture;
    TKelmo4Head().CreateTableIfMissing();
    TKelmo4Line().CreateTableIfMissing();
    TKikakuti4().CreateTableIfMissing();
    TKouku().CreateTableIfMissing();
    AddProject(u"K1"_s, 0);
    AddProject(u"K2"_s, 0);
    AddProject(u"K3"_s, 0);
    TKosyu().RewriteList({u"路盤"_s, u"表層"_s});
    const int a = AddRecord(u"K1"_s, {u"路盤"_s, u"A工区"_s, u"高さ"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"1"_s}});
    const int b = AddRecord(u"K2"_s, {u"表層"_s, u"#"_s, u"厚さ"_s, u"10"_s, u"-10"_s, u"㎜"_s, {u"2"_s}});
    // A tab typed into an item must not split the line.
    const int c = AddRecord(u"K1"_s, {u"表層"_s, u"B工区"_s, u"幅\t広"_s, u"20"_s, u"-20"_s, u"㎜"_s, {}});

    QCOMPARE(Run({u"--list"_s}), 0);
    QCOMPARE(m_out, u"%1\tK1\t路盤\tA工区\t高さ\n%2\tK2\t表層\t#\t厚さ\n%3\tK1\t表層\tB工区\t幅 広\n"_s
                        .arg(a)
                        .arg(b)
                        .arg(c));
    QVERIFY(m_err.isEmpty());

    QCOMPARE(Run({u"--list"_s, u"--project"_s, u"K1"_s}), 0);
    QCOMPARE(m_out.count(u'\n'), 2);
    QVERIFY(!m_out.contains(u"\tK2\t"_s));

    // A registered project without records lists nothing; a code that names no project is
    // an error, so a typo does not pass for an empty project.
    QCOMPARE(Run({u"--list"_s, u"--project"_s, u"K3"_s}), 0);
    QVERIFY(m_out.isEmpty());
    QCOMPARE(Run({u"--list"_s, u"--project"_s, u"K9"_s}), kExportFailure);
    QVERIFY(m_err.contains(u"工事コード「K9」の工事は登録されていません。"_s));
    QVERIFY(m_out.isEmpty());
}

// A summary table never built is not printed as an empty form: the user is told how to build
// it, and no file is written.
void TestExport::summaryNeedsABuiltTable()
{
    using namespace TorimatomeFixture;
    CreateTables();
    AddSampleProject();
    AddProject(u"K3"_s, 0);
    const QString pdf = File(u"summary.pdf"_s);
    QCOMPARE(Run({u"--project"_s, u"K1"_s, u"--form"_s, u"summary"_s, u"--out"_s, pdf}), kExportFailure);
    QVERIFY2(m_err.contains(u"まだ作られていません"_s) && m_err.contains(u"「初期化」"_s), qPrintable(m_err));
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(Run({u"--project"_s, u"K3"_s, u"--form"_s, u"summary"_s, u"--out"_s, pdf}), kExportFailure);
    QVERIFY2(m_err.contains(u"測定記録がない"_s), qPrintable(m_err));

    TDekigataTorimatome table;
    table.Koji->LoadByCode(u"K1"_s);
    table.BuildFromMeasurements();
    QCOMPARE(Run({u"--project"_s, u"K1"_s, u"--form"_s, u"summary"_s, u"--out"_s, pdf}), 0);
    QCOMPARE(ReadPdfInfo(pdf).Pages, 1);
}

// A stored record to CSV in either encoding, and the summary table to CSV and xlsx only
// once it was built.
void TestExport::spreadsheetFiles()
{
    using namespace TorimatomeFixture;
    CreateTables();
    AddSampleProject();
    const QString csv = File(u"record.csv"_s);
    QCOMPARE(Run({u"--record"_s, u"1"_s, u"--form"_s, u"csv"_s, u"--out"_s, csv}), 0);
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray utf8 = file.readAll();
    file.close();
    QVERIFY(utf8.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(QString::fromUtf8(utf8.mid(3)).split(u"\r\n"_s),
             (QStringList{u"測点,位置,左設計,左測定,左差,中設計,中測定,中差,右設計,右測定,右差,摘要"_s,
                          u"No.0,,,,,10.000,,5,,,,"_s, u"No.1,,,,,10.000,,-3,,,,"_s, u"No.2,,,,,10.000,,10,,,,"_s,
                          QString()}));
    QCOMPARE(Run({u"--record"_s, u"1"_s, u"--form"_s, u"csv"_s, u"--out"_s, csv, u"--encoding"_s, u"shift_jis"_s}), 0);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), SjisText::Encode(QString::fromUtf8(utf8.mid(3))));
    file.close();
    QCOMPARE(Run({u"--record"_s, u"9"_s, u"--form"_s, u"xlsx"_s, u"--out"_s, File(u"r.xlsx"_s)}), kExportFailure);
    QVERIFY(!QFile::exists(File(u"r.xlsx"_s)));

    for (const QString &name : {u"summary.csv"_s, u"summary.xlsx"_s}) {
        QCOMPARE(Run({u"--project"_s, u"K1"_s, u"--form"_s, u"summary"_s, u"--out"_s, File(name)}), kExportFailure);
        QVERIFY2(m_err.contains(u"「初期化」"_s), qPrintable(m_err));
        QVERIFY(!QFile::exists(File(name)));
    }
    TDekigataTorimatome table;
    table.Koji->LoadByCode(u"K1"_s);
    table.BuildFromMeasurements();
    QCOMPARE(Run({u"--project"_s, u"K1"_s, u"--form"_s, u"summary"_s, u"--out"_s, File(u"summary.xlsx"_s)}), 0);
    QVERIFY(QFileInfo(File(u"summary.xlsx"_s)).size() > 0);
    QCOMPARE(Run({u"--project"_s, u"K1"_s, u"--form"_s, u"summary"_s, u"--out"_s, File(u"summary.csv"_s)}), 0);
    QFile summary(File(u"summary.csv"_s));
    QVERIFY(summary.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(summary.readAll().mid(3)).split(u"\r\n"_s).mid(0, 2),
             (QStringList{u"工種名,測定項目,工区,規格値,単位,測定回数,最大,最小,平均,備考"_s,
                          u"路盤,幅,A工区,±2,㎝,2,2.0,1.0,1.50,"_s}));
}

void TestExport::helpAndVersion()
{
    QCOMPARE(Run({u"--help"_s}), 0);
    for (const QString &option : {u"--record"_s, u"--project"_s, u"--form"_s, u"--out"_s, u"--dpi"_s, u"--weight"_s,
                                  u"--data-dir"_s, u"--list"_s, u"--import-paradox"_s, u"--version"_s, u"--encoding"_s})
        QVERIFY2(m_out.contains(u"\n  "_s + option), qPrintable(option));
    QVERIFY(m_out.contains(u"終了コード"_s) && m_out.contains(u"export.html"_s));
    QCOMPARE(Run({u"--version"_s}), 0);
    QCOMPARE(m_out.trimmed(), u"kelmo4-export (ケルモ４) "_s + ProgramVersionText());
    QVERIFY(m_err.isEmpty());
}

void TestExport::registeredFormGetsItsOptions()
{
    TExportOptions seen;
    RegisterExportForm(u"histogram"_s, [&seen](const TExportOptions &options, TPrevX *prev) {
        seen = options;
        SetPaper(u"A4"_s, u"LAND"_s);
        prev->BeginDoc();
        DrawBox(prev->Canvas(), 1, 1, 2, 2);
        prev->NewPage();
        // The routine leaves the document open; the exporter ends it.
    });
    const QString png = File(u"h.png"_s);
    QCOMPARE(Run({u"--weight"_s, u"--record"_s, u"12"_s, u"--form"_s, u"histogram"_s, u"--out"_s, png,
                  u"--dpi"_s, u"50"_s}),
             0);
    QCOMPARE(seen.Record, 12);
    QVERIFY(seen.Weight);
    QCOMPARE(seen.Dpi, 50);
    QCOMPARE(QImage(File(u"h-001.png"_s)).size(), QSize(qRound(7017 / 12.0), qRound(4958 / 12.0)));
    QVERIFY(QFileInfo::exists(File(u"h-002.png"_s)));

    RegisterExportForm(u"histogram"_s, [](const TExportOptions &, TPrevX *) {});
    QCOMPARE(Run({u"--record"_s, u"12"_s, u"--form"_s, u"histogram"_s, u"--out"_s, png}), kExportFailure);
    QVERIFY(m_err.contains(u"ページがありません"_s));

    RegisterExportForm(u"histogram"_s, [](const TExportOptions &, TPrevX *) {
        throw EKelmoError(u"記録がありません: 12"_s);
    });
    QCOMPARE(Run({u"--record"_s, u"12"_s, u"--form"_s, u"histogram"_s, u"--out"_s, png}), kExportFailure);
    QCOMPARE(m_err.trimmed(), u"記録がありません: 12"_s);
}

void TestExport::dataDirIsForThisRunOnly()
{
    const QString saved = GetAliasPath(u"tomaruk"_s);
    const QString dir = File(u"other-data"_s);
    QDir().mkpath(dir);
    QString during;
    RegisterExportForm(u"standards"_s, [&during](const TExportOptions &, TPrevX *prev) {
        during = GetAliasPath(u"tomaruk"_s);
        prev->BeginDoc();
    });
    QCOMPARE(Run({u"--data-dir"_s, dir, u"--form"_s, u"standards"_s, u"--out"_s, File(u"s.pdf"_s)}), 0);
    QCOMPARE(during, dir + u'/');
    // Afterwards the alias is what it was, and nothing was written to its configuration.
    QCOMPARE(GetAliasPath(u"tomaruk"_s), saved);
    QVERIFY(!QFileInfo::exists(AppPaths::AliasFile()));

    QCOMPARE(Run({u"--data-dir"_s, File(u"missing"_s), u"--form"_s, u"testpage"_s, u"--out"_s, File(u"t.pdf"_s)}),
             kExportFailure);
}

// A folder's tables go to the server and back unchanged; a target that holds data is refused
// with nothing written, and the source is only read.
void TestExport::copyBetweenFolderAndServer()
{
    using namespace TorimatomeFixture;
    const QString folder = m_env->UseDataFolder(u"local"_s);
    CreateTables();
    AddSampleProject();
    TDekigataTorimatome summary;
    summary.CreateTableIfMissing();
    summary.Koji->LoadByCode(u"K1"_s);
    summary.BuildFromMeasurements();
    const QStringList before = AllStoredRows();
    QVERIFY2(before.size() > 10, qPrintable(before.join(u"\n"_s)));

    m_env->UseServer();
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(Run({u"--data-dir"_s, folder, u"--copy-to-alias"_s}), 0);
    QVERIFY2(m_out.contains(u"%1 行をコピーしました"_s.arg(before.size())), qPrintable(m_out + m_err));
    QCOMPARE(AllStoredRows(), before);
    // Again: the server holds data now, and keeps exactly what it had.
    QCOMPARE(Run({u"--data-dir"_s, folder, u"--copy-to-alias"_s}), kExportFailure);
    QVERIFY2(m_err.contains(u"すでにデータがあります"_s), qPrintable(m_err));
    QCOMPARE(AllStoredRows(), before);

    // The server into a new folder, and that folder read as a data folder.
    const QString back = File(u"back"_s);
    QCOMPARE(Run({u"--copy-to"_s, back}), 0);
    OverrideAliasPath(u"tomaruk"_s, back);
    QCOMPARE(AllStoredRows(), before);
    OverrideAliasPath(u"tomaruk"_s, QString());
    QCOMPARE(Run({u"--data-dir"_s, folder, u"--copy-to"_s, folder}), kExportFailure);
    QCOMPARE(Run({u"--copy-to-alias"_s}), kExportUsageError);
}

QTEST_MAIN(TestExport)
#include "tst_Export.moc"
