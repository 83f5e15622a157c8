#include "app/Errors.h"
#include "app/SjisText.h"
#include "app/uDekigataDef.h"
#include "app/uSpread.h"
#include "exchange/fCsvImport.h"
#include "exchange/uCsv.h"
#include "exchange/uGridImport.h"
#include "exchange/uRecordExport.h"
#include "measure/fEditDekigata.h"
#include "measure/uDropDownBox.h"
#include "measure/uKelmo4Head.h"
#include "sheets/TorimatomeFixture.h"
#include "sheets/uDekigataTorimatome.h"
#include "sheets/uTorimatomeExport.h"
#include "support/ModalAnswer.h"
#include "support/TestEnv.h"

#include <QDialog>
#include <QMessageBox>
#include <QSpinBox>
#include <QPushButton>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(TCsvEncoding)

namespace {
// "line:field|field" per record, "line!problem" for one that cannot be read.
QStringList Describe(const QList<TCsvRecord> &records)
{
    QStringList out;
    for (const TCsvRecord &r : records)
        out << (r.Problem.isEmpty() ? u"%1:%2"_s.arg(r.Line).arg(r.Fields.join(u'|')) : u"%1!"_s.arg(r.Line));
    return out;
}

// "row:col=text,col=text" per planned row.
QStringList Describe(const QList<TGridImport::TEntry> &entries)
{
    QStringList out;
    for (const TGridImport::TEntry &e : entries) {
        QStringList cells;
        for (const auto &[col, text] : e.Cells)
            cells << u"%1=%2"_s.arg(col).arg(text);
        out << u"%1:%2"_s.arg(e.Row).arg(cells.join(u','));
    }
    return out;
}

// Every cell of the first sheet as openpyxl reads it: "A1" → {type, value, format}, plus
// the column widths.
QJsonObject ReadXlsx(const QString &path)
{
    const QString script = uR"(
import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
cells = {c.coordinate: {"type": c.data_type, "value": c.value, "format": c.number_format}
         for row in ws.iter_rows() for c in row if c.value is not None}
widths = {k: v.width for k, v in ws.column_dimensions.items()}
print(json.dumps({"title": ws.title, "cells": cells, "widths": widths}))
)"_s;
    QProcess python;
    // Debian's interpreter, the one python3-openpyxl is installed for.
    const QString interpreter = QFile::exists(u"/usr/bin/python3"_s) ? u"/usr/bin/python3"_s : u"python3"_s;
    python.start(interpreter, {u"-c"_s, script, path});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        qWarning() << python.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

QString Cell(const QJsonObject &sheet, const QString &name, const char *key = "value")
{
    return sheet[u"cells"_s][name][QString::fromLatin1(key)].toVariant().toString();
}
} // namespace

class TestExchange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void csvRecords_data();
    void csvRecords();
    void encodings_data();
    void encodings();
    void importPlan_data();
    void importPlan();
    void recordRoundTrip_data();
    void recordRoundTrip();
    void tooManyRowsChangeNothing();
    void xlsxReadBack();

private:
    std::unique_ptr<TTestEnv> m_env;
};

void TestExchange::init()
{
    m_env = std::make_unique<TTestEnv>();
}

void TestExchange::cleanup()
{
    qDeleteAll(ModalWaiters().children());
    m_env.reset();
}

void TestExchange::csvRecords_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("records");
    QTest::newRow("CRLF, last line without break") << "a,b\r\nc,d"_ba << QStringList{u"1:a|b"_s, u"2:c|d"_s};
    QTest::newRow("quoted comma and quote") << "\"a,b\",\"say \"\"hi\"\"\"\n"_ba << QStringList{u"1:a,b|say \"hi\""_s};
    QTest::newRow("line break in a field counts lines")
        << "\"x\r\ny\",1\r\nz,2\r\n"_ba << QStringList{u"1:x\ny|1"_s, u"3:z|2"_s};
    QTest::newRow("blank line and empty fields") << "a\n\n,,\n"_ba << QStringList{u"1:a"_s, u"2:"_s, u"3:||"_s};
    QTest::newRow("quote inside a bare field is a character") << "10\" pipe,x\n"_ba << QStringList{u"1:10\" pipe|x"_s};
    QTest::newRow("text after a closing quote") << "a\n\"b\"c,d\ne\n"_ba << QStringList{u"1:a"_s, u"2!"_s, u"3:e"_s};
    QTest::newRow("quote never closed") << "a\n\"b,c\nd\n"_ba << QStringList{u"1:a"_s, u"2!"_s};
}

void TestExchange::csvRecords()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, records);
    QCOMPARE(Describe(Csv::Parse(bytes, TCsvEncoding::Utf8)), records);
}

void TestExchange::encodings_data()
{
    QTest::addColumn<TCsvEncoding>("encoding");
    QTest::addColumn<QByteArray>("bytes");
    const QString text = u"測点,摘要\r\nNo.0,工事中\r\n"_s;
    QTest::newRow("UTF-8 with BOM") << TCsvEncoding::Utf8Bom << "\xEF\xBB\xBF"_ba + text.toUtf8();
    QTest::newRow("UTF-8") << TCsvEncoding::Utf8 << text.toUtf8();
    QTest::newRow("Shift-JIS") << TCsvEncoding::ShiftJis << SjisText::Encode(text);
}

// Each encoding is recognised and read, and what is written in it reads back the same.
void TestExchange::encodings()
{
    QFETCH(TCsvEncoding, encoding);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Csv::DetectEncoding(bytes), encoding);
    const QStringList expected{u"1:測点|摘要"_s, u"2:No.0|工事中"_s};
    QCOMPARE(Describe(Csv::Parse(bytes, encoding)), expected);
    const QList<QStringList> rows{{u"測点"_s, u"摘要"_s}, {u"No.0"_s, u"工事中"_s}};
    QCOMPARE(Csv::Compose(rows, encoding), bytes);
    // Read in the wrong encoding, the line says so instead of landing garbled.
    if (encoding == TCsvEncoding::ShiftJis) {
        QVERIFY(!Csv::Parse(bytes, TCsvEncoding::Utf8).at(1).Problem.isEmpty());
        QVERIFY_THROWS_EXCEPTION(EKelmoError, Csv::Compose({{u"𠮷"_s}}, encoding));
    }
}

void TestExchange::importPlan_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("formType");
    QTest::addColumn<int>("startRow");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QList<int>>("problemLines");
    QTest::addColumn<int>("notes");
    QTest::addColumn<bool>("tooMany");
    QTest::newRow("headings, a subset in any order")
        << u"中測定, 測点 ,中設計\n１０.512,No.0,10.5\n"_s << 0 << 5 << QStringList{u"5:7=10.512,1=No.0,6=10.5"_s}
        << QList<int>{} << 0 << false;
    QTest::newRow("by position without headings")
        << u"No.0,CL,10.5\n"_s << 0 << 1 << QStringList{u"1:1=No.0,2=CL,3=10.5"_s} << QList<int>{} << 0 << false;
    QTest::newRow("blank and unreadable lines keep their rows")
        << u"測点,摘要\nNo.0,a\n\n\"No.40\"x,b\nNo.60,\n"_s << 0 << 1
        << QStringList{u"1:1=No.0,12=a"_s, u"2:1=,12="_s, u"4:1=No.60,12="_s} << QList<int>{4} << 0 << false;
    QTest::newRow("a text too long to register")
        << u"摘要\n一二三四五六七八九十一\nok\n"_s << 0 << 1 << QStringList{u"2:12=ok"_s} << QList<int>{2} << 0
        << false;
    QTest::newRow("thickness leaves the side columns out")
        << u"左設計,中設計,右測定\n1,2,3\n"_s << 1 << 1 << QStringList{u"1:6=2"_s} << QList<int>{} << 2 << false;
    QTest::newRow("more rows than the grid holds")
        << u"a\nb\nc\n"_s << 0 << 999 << QStringList{u"999:1=a"_s, u"1000:1=b"_s, u"1001:1=c"_s} << QList<int>{} << 0
        << true;
}

void TestExchange::importPlan()
{
    QFETCH(QString, text);
    QFETCH(int, formType);
    QFETCH(int, startRow);
    QFETCH(QStringList, entries);
    QFETCH(QList<int>, problemLines);
    QFETCH(int, notes);
    QFETCH(bool, tooMany);
    const TGridImport import(text.toUtf8());
    const TGridImport::TPlan plan = import.Plan(startRow, formType);
    QCOMPARE(Describe(plan.Entries), entries);
    QList<int> lines;
    for (const TGridImport::TProblem &p : plan.Problems)
        lines << p.Line;
    QCOMPARE(lines, problemLines);
    QCOMPARE(plan.Notes.size(), notes);
    QCOMPARE(plan.TooMany, tooMany);
}

void TestExchange::recordRoundTrip_data()
{
    QTest::addColumn<TCsvEncoding>("encoding");
    QTest::newRow("UTF-8 with BOM") << TCsvEncoding::Utf8Bom;
    QTest::newRow("Shift-JIS") << TCsvEncoding::ShiftJis;
}

// A stored record written to CSV and read into an empty grid registers as the same lines.
void TestExchange::recordRoundTrip()
{
    QFETCH(TCsvEncoding, encoding);
    using namespace TorimatomeFixture;
    CreateTables();
    AddProject(u"K1"_s, 0);
    AddProject(u"K2"_s, 0);
    TKosyu().RewriteList({u"路盤"_s});
    const int id = AddRecord(u"K1"_s, {u"路盤"_s, u"#"_s, u"高さ"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"12"_s, u"-3"_s}});
    TKelmo4Head stored;
    stored.LoadByID(id);
    QList<TKel4LineRow> lines = stored.Lines();
    // Texts a CSV must quote, in the columns that take them.
    lines[0].Cells[1] = u"CL,\"左\""_s;
    lines[0].Cells[6] = u"10.012"_s;
    lines[1].Cells[6] = u"9.997"_s;
    lines[1].Cells[11] = u"雨\n後"_s;
    lines[1].Cells[2] = u"10.250"_s;
    lines[1].Cells[3] = u"10.262"_s;
    lines[1].Cells[4] = u"12"_s;
    TKelmo4Line().ReplaceLines(id, lines);
    const QString csv = m_env->Root() + u"/record.csv"_s;
    RecordExport::WriteStoredRecord(id, csv, encoding);

    TDekigataDef &def = DekigataDef();
    for (int k = 1; k <= 6; ++k)
        def.SetUnits(k, 1, QStringList{u"ｍ"_s, u"㎜"_s, u"1"_s, u"5"_s, u"1"_s, u"20"_s}[k - 1]);
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.ComboBox1->SetText(u"K2:工事K2"_s);
    w.ComboBox2->SetText(u"路盤"_s);
    w.vaSpread1->SetActiveCell(1, 1);
    bool answered = false;
    WhenModal("TfrmCsvImport", [&answered](QWidget *dialog) {
        answered = true;
        static_cast<QDialog *>(dialog)->accept();
    });
    QVERIFY(TfrmCsvImport::ImportFile(w, csv));
    QVERIFY(answered);
    QVERIFY(w.GridModified());
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    QVERIFY(w.Head()->ID != id);
    QCOMPARE(w.Head()->Koji->Code, u"K2"_s);
    const QList<TKel4LineRow> back = w.Head()->Lines();
    QCOMPARE(back.size(), lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QCOMPARE(back[i].LNO, lines[i].LNO);
        QCOMPARE(QStringList(back[i].Cells.begin(), back[i].Cells.end()),
                 QStringList(lines[i].Cells.begin(), lines[i].Cells.end()));
    }
}

// OK with rows beyond the grid is refused with a message; the grid stays as it was.
void TestExchange::tooManyRowsChangeNothing()
{
    const QString csv = m_env->Root() + u"/three.csv"_s;
    QFile file(csv);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("No.0\nNo.20\nNo.40\n");
    file.close();
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QString message;
    WhenModal("TfrmCsvImport", [&message](QWidget *widget) {
        auto *dialog = static_cast<TfrmCsvImport *>(widget);
        dialog->StartRowBox->setValue(999);
        WhenModal("QMessageBox", [&message](QWidget *box) {
            message = static_cast<QMessageBox *>(box)->text();
            box->close();
        });
        dialog->OkButton->click();
        QVERIFY(dialog->isVisible());
        dialog->reject();
    });
    QVERIFY(!TfrmCsvImport::ImportFile(w, csv));
    QVERIFY2(message.contains(u"1000 行まで"_s) && message.contains(u"何も読み込んでいません"_s), qPrintable(message));
    QCOMPARE(w.vaSpread1->CellText(1, 999), QString());
    QVERIFY(!w.GridModified());
}

// The Excel files read back: header block, numbers as numbers with their decimals, texts as
// texts, fitted widths; the summary in the print's columns.
void TestExchange::xlsxReadBack()
{
    using namespace TorimatomeFixture;
    CreateTables();
    AddSampleProject();
    const QString record = m_env->Root() + u"/record.xlsx"_s;
    RecordExport::WriteStoredRecord(1, record, TCsvEncoding::Utf8Bom);
    const QJsonObject sheet = ReadXlsx(record);
    QVERIFY2(!sheet.isEmpty(), "python3-openpyxl could not read the file");
    QCOMPARE(Cell(sheet, u"A1"_s), u"出来形測定データ"_s);
    QCOMPARE(Cell(sheet, u"A3"_s), u"工事コード"_s);
    QCOMPARE(Cell(sheet, u"B4"_s), u"工事K1"_s);
    QCOMPARE(Cell(sheet, u"A7"_s), u"測定項目"_s);
    QCOMPARE(Cell(sheet, u"B16"_s), u"0.1"_s); // 平均(mm)
    QCOMPARE(Cell(sheet, u"B17"_s), u"20"_s);  // 規格値 上限(mm), a number
    QCOMPARE(Cell(sheet, u"B17"_s, "type"), u"n"_s);
    // Headings in row 23, the first line below them.
    QCOMPARE(Cell(sheet, u"A23"_s), u"測点"_s);
    QCOMPARE(Cell(sheet, u"L23"_s), u"摘要"_s);
    QCOMPARE(Cell(sheet, u"A24"_s), u"No.0"_s);
    QCOMPARE(Cell(sheet, u"A24"_s, "type"), u"s"_s);
    QCOMPARE(Cell(sheet, u"F24"_s, "type"), u"n"_s);
    QCOMPARE(Cell(sheet, u"F24"_s), u"10"_s);
    QCOMPARE(Cell(sheet, u"F24"_s, "format"), u"0.000"_s);
    QCOMPARE(Cell(sheet, u"H26"_s), u"10"_s);
    QVERIFY(sheet[u"widths"_s][u"A"_s].toDouble() >= 15);

    TDekigataTorimatome table;
    table.CreateTableIfMissing();
    table.Koji->LoadByCode(u"K1"_s);
    table.BuildFromMeasurements();
    const QString summary = m_env->Root() + u"/summary.xlsx"_s;
    TorimatomeExport::WriteStored(u"K1"_s, summary, TCsvEncoding::Utf8Bom);
    const QJsonObject s = ReadXlsx(summary);
    QCOMPARE(Cell(s, u"A1"_s), u"出来形管理総括表"_s);
    const QStringList headings{u"工種名"_s, u"測定項目"_s, u"工区"_s, u"規格値"_s, u"単位"_s,
                               u"測定回数"_s, u"最大"_s, u"最小"_s, u"平均"_s, u"備考"_s};
    for (int c = 0; c < headings.size(); ++c)
        QCOMPARE(Cell(s, QChar(u'A' + c) + u"6"_s), headings[c]);
    // Rows by section, then work type: A工区 路盤 幅 first.
    QCOMPARE(Cell(s, u"A7"_s), u"路盤"_s);
    QCOMPARE(Cell(s, u"C7"_s), u"A工区"_s);
    QCOMPARE(Cell(s, u"D7"_s), u"±2"_s);
    QCOMPARE(Cell(s, u"E7"_s), u"㎝"_s);
    QCOMPARE(Cell(s, u"F7"_s, "type"), u"n"_s);
    QCOMPARE(Cell(s, u"F7"_s), u"2"_s);
    QCOMPARE(Cell(s, u"A9"_s), u"路盤"_s);
    QCOMPARE(Cell(s, u"G9"_s), u"10"_s);
}

QTEST_MAIN(TestExchange)
#include "tst_Exchange.moc"
