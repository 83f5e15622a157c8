#include "exchange/uRecordExport.h"

#include "app/uCommon.h"
#include "app/uSpread.h"
#include "charts/uChartPrint.h"
#include "measure/fEditDekigata.h"
#include "measure/uDropDownBox.h"
#include "measure/uGridCalc.h"
#include "measure/uKelmo4Head.h"
#include "measure/uKelmo4Line.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"
#include "registers/ukouku.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>

using namespace Qt::Literals::StringLiterals;
using namespace GridLayout;

namespace {
struct THeaderTexts
{
    QString Code, Name, Kosyu, Kouku, Item, Measurer, Date, FormType, Interval;
    QString InputUnit, DiffUnit, Yukou, Bunpu, Heikin;
    QString Upper1, Lower1, Upper2, Lower2;
    bool Sagari = false;
};

QString FormTypeName(int formType)
{
    switch (formType) {
    case 1:
        return u"厚さ"_s;
    case 2:
        return u"幅"_s;
    default:
        return u"高さ"_s;
    }
}

TExchangeTable MakeTable(const THeaderTexts &h, QList<QStringList> lines)
{
    TExchangeTable table;
    table.Title = u"出来形測定データ"_s;
    table.Header = {{u"工事コード"_s, h.Code},
                    {u"工事名"_s, h.Name},
                    {u"工種"_s, h.Kosyu},
                    {u"工区"_s, h.Kouku == QString::fromUtf16(NoSectionName) ? QString() : h.Kouku},
                    {u"測定項目"_s, h.Item},
                    {u"測定者"_s, h.Measurer},
                    {u"測定日"_s, h.Date},
                    {u"様式"_s, h.FormType},
                    {u"測点距離"_s, h.Interval},
                    {u"設計・測定値の単位"_s, h.InputUnit},
                    {u"差の単位"_s, h.DiffUnit},
                    {u"有効(mm)"_s, h.Yukou},
                    {u"分布(mm)"_s, h.Bunpu},
                    {u"平均(mm)"_s, h.Heikin},
                    {u"規格値 上限(mm)"_s, h.Upper1},
                    {u"規格値 下限(mm)"_s, h.Lower1},
                    {u"規格値２ 上限(mm)"_s, h.Upper2},
                    {u"規格値２ 下限(mm)"_s, h.Lower2},
                    {u"下がり"_s, h.Sagari ? u"する"_s : u"しない"_s}};
    for (int c = 1; c <= ColumnCount; ++c)
        table.Headings << ColumnHeading(c);
    table.Rows = std::move(lines);
    return table;
}

// "工事_工種_工区_項目" for the proposed file name, without characters a file name may not hold.
QString ProposedName(const TfrmEditDekigata &main)
{
    QStringList parts{ItemCode(main.ComboBox1->Text()), main.ComboBox2->Text(), main.ComboBox3->Text(),
                      main.ComboBox6->Text()};
    parts.removeAll(QString());
    QString name = parts.isEmpty() ? u"測定データ"_s : parts.join(u'_');
    for (QChar &c : name) {
        if (QStringLiteral("/\\:*?\"<>|").contains(c))
            c = u'_';
    }
    return name;
}
} // namespace

namespace RecordExport {

TExchangeTable StoredRecordTable(const TKelmo4Head &head)
{
    THeaderTexts h;
    h.Code = head.Koji->Code;
    h.Name = head.Koji->Kojimei;
    h.Kosyu = head.Kosyu->Kosyumei;
    h.Kouku = head.Kouku->Koukumei;
    h.Item = head.SokuteiKoumoku;
    h.Measurer = head.Simei->Simei;
    h.Date = head.Hiduke.isValid() ? head.Hiduke.date().toString(u"yyyy/MM/dd"_s) : QString();
    h.FormType = FormTypeName(head.Yosiki);
    h.Interval = QString::number(head.SokutenKyori);
    h.InputUnit = head.SekkeiTanni;
    h.DiffUnit = head.SaTanni;
    h.Yukou = head.Yukou;
    h.Bunpu = head.Bunpu;
    h.Heikin = head.Heikin;
    h.Upper1 = head.Kikakuti->KikakutiU1;
    h.Lower1 = head.Kikakuti->KikakutiD1;
    h.Upper2 = head.Kikakuti->KikakutiU2;
    h.Lower2 = head.Kikakuti->KikakutiD2;
    h.Sagari = head.Sagari;
    QList<QStringList> lines;
    for (const TKel4LineRow &row : head.Lines())
        lines << QStringList(row.Cells.begin(), row.Cells.end());
    return MakeTable(h, std::move(lines));
}

TExchangeTable ScreenRecordTable(const TfrmEditDekigata &main)
{
    THeaderTexts h;
    h.Code = ItemCode(main.ComboBox1->Text());
    h.Name = ItemName(main.ComboBox1->Text());
    h.Kosyu = main.ComboBox2->Text();
    h.Kouku = main.ComboBox3->Text();
    h.Item = main.ComboBox6->Text();
    h.Measurer = main.ComboBox4->Text();
    h.Date = main.ComboBox5->Text();
    h.FormType = FormTypeName(main.FormType());
    h.Interval = main.Edit5->text();
    h.InputUnit = main.ComboBox7->Text();
    h.DiffUnit = main.ComboBox8->Text();
    h.Yukou = main.Edit2->text();
    h.Bunpu = main.Edit3->text();
    h.Heikin = main.Edit4->text();
    h.Upper1 = main.vaSpread2->CellText(1, 1);
    h.Lower1 = main.vaSpread2->CellText(1, 2);
    h.Upper2 = main.vaSpread2->CellText(2, 1);
    h.Lower2 = main.vaSpread2->CellText(2, 2);
    h.Sagari = main.CheckBox1->isChecked();
    QList<QStringList> lines;
    // As registering would store them: the rows that hold any text, in grid order.
    for (int r = 1; r <= RowCount; ++r) {
        QStringList line;
        bool any = false;
        for (int c = 1; c <= ColumnCount; ++c) {
            line << main.vaSpread1->CellText(c, r);
            any = any || !line.last().isEmpty();
        }
        if (any)
            lines << line;
    }
    return MakeTable(h, std::move(lines));
}

void WriteStoredRecord(int id, const QString &path, TCsvEncoding encoding)
{
    TKelmo4Head head;
    TKelmo4Line().CreateTableIfMissing();
    LoadRecordForPrint(head, id);
    StoredRecordTable(head).Write(path, encoding);
}

void ConnectMenu(TfrmEditDekigata &main)
{
    QObject::connect(main.actExportRecord, &QAction::triggered, &main, [&main] {
        const QString xlsx = u"Excel ファイル (*.xlsx)"_s;
        const QString utf8 = u"CSV ファイル、UTF-8 (*.csv)"_s;
        const QString sjis = u"CSV ファイル、Shift-JIS（古い表計算ソフト用） (*.csv)"_s;
        QString filter = xlsx;
        QString path = QFileDialog::getSaveFileName(&main, u"書き出し"_s, ProposedName(main) + u".xlsx"_s,
                                                    xlsx + u";;"_s + utf8 + u";;"_s + sjis, &filter);
        if (path.isEmpty())
            return;
        path = TExchangeTable::PathWithSuffix(path, filter == xlsx ? u".xlsx"_s : u".csv"_s);
        // A failure raises a message naming the file; nothing half-written is left.
        ScreenRecordTable(main).Write(path, filter == sjis ? TCsvEncoding::ShiftJis : TCsvEncoding::Utf8Bom);
    });
    main.actExportRecord->setEnabled(true);
}

} // namespace RecordExport
