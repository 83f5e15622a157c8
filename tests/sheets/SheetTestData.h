#pragma once

// Records and page queries shared by the data-sheet tests.

#include "measure/uKelmo4Head.h"
#include "measure/uKelmo4Line.h"
#include "printing/NkPrinter.h"
#include "printing/PrevX.h"
#include "printing/RecordedPage.h"
#include "printing/uDrawPrimitives.h"
#include "sheets/uDataSheet.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"
#include "registers/uUkeoisya.h"
#include "registers/ukouku.h"

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <memory>

namespace SheetTest {

using namespace Qt::Literals::StringLiterals;

struct TRecordSetup
{
    int Yoshiki = 0; // print style of the project
    int Yosiki = 0;  // form type of the record
    QString Kojimei = u"一般国道２３０号　札幌市　南改良工事"_s;
    QString Contractor = u"苫前建設株式会社"_s;
    QString Kosyumei = u"舗装工"_s;
    QString Koukumei = u"#"_s;
    QString Item = u"基準高"_s;
    QString Measurer = u"山田太郎"_s;
    QString SekkeiTanni = u"㎜"_s;
    QString SaTanni = u"㎜"_s;
    QString Yukou = u"1"_s;
    QString Heikin = u"0.1"_s;
    QString Upper = u"20"_s;
    QString Lower = u"-20"_s;
};

inline TKel4LineRow Line(int lno, const QStringList &cells)
{
    TKel4LineRow row;
    row.LNO = lno;
    for (int i = 0; i < cells.size() && i < TKel4LineRow::CellCount; ++i)
        row.Cells[size_t(i)] = cells[i];
    return row;
}

// Stations No.1 … No.n, design 150, measured 150 + (i mod 5) − 2, at all three places.
inline QList<TKel4LineRow> NumberedLines(int n)
{
    QList<TKel4LineRow> rows;
    for (int i = 1; i <= n; ++i) {
        const int diff = i % 5 - 2;
        const QString d = u"150"_s;
        const QString m = QString::number(150 + diff);
        const QString s = QString::number(diff);
        rows.append(Line(i, {u"No."_s + QString::number(i), u"CL"_s, d, m, s, d, m, s, d, m, s, QString()}));
    }
    return rows;
}

// The tables a record lives in, in the test's data folder.
inline void CreateTables()
{
    TKelmo4Head head;
    head.Koji->CreateTableIfMissing();
    head.Kosyu->CreateTableIfMissing();
    head.Kouku->CreateTableIfMissing();
    head.Simei->CreateTableIfMissing();
    head.Kikakuti->CreateTableIfMissing();
    head.CreateTableIfMissing();
    TKelmo4Line().CreateTableIfMissing();
}

// Saves project, header and lines through the record classes; returns the header's ID.
inline int SaveRecord(const TRecordSetup &setup, const QList<TKel4LineRow> &lines)
{
    static int nextCode = 1;
    const QString code = u"K"_s + QString::number(nextCode++);
    {
        TKoji koji;
        koji.Code = code;
        koji.Kojimei = setup.Kojimei;
        koji.Yoshiki = setup.Yoshiki;
        koji.Ukeoisya->Ukeoisyamei = setup.Contractor;
        koji.Save();
    }
    TKelmo4Head head;
    head.Koji->LoadByCode(code);
    head.Kosyu->LoadByName(setup.Kosyumei);
    head.Kouku->Koukumei = setup.Koukumei;
    head.SokuteiKoumoku = setup.Item;
    head.Simei->LoadByName(setup.Measurer);
    head.SekkeiTanni = setup.SekkeiTanni;
    head.SaTanni = setup.SaTanni;
    head.Yukou = setup.Yukou;
    head.Heikin = setup.Heikin;
    head.Bunpu = u"5"_s;
    head.Yosiki = setup.Yosiki;
    head.Kikakuti->Kubun = setup.Yoshiki;
    head.Kikakuti->Kosyu->LoadByName(setup.Kosyumei);
    head.Kikakuti->Koumokumei = setup.Item;
    head.Kikakuti->KikakutiU1 = setup.Upper;
    head.Kikakuti->KikakutiD1 = setup.Lower;
    head.Save();
    TKelmo4Line().ReplaceLines(head.ID, lines);
    return head.ID;
}

// Saves the record and draws its whole data sheet as the main window would.
std::unique_ptr<TPrevX> DrawRecord(const TRecordSetup &setup, const QList<TKel4LineRow> &lines, bool weight = false);

// Centimetre boxes of the last drawn form in printer pixels (the form leaves its origin
// set). A text belongs to a box when the top-left corner of its cell lies inside.
inline QRect PixelBox(float l, float t, float r, float b)
{
    InitPrintScale();
    return QRect(QPoint(PrintPixelX(l) - 1, PrintPixelY(t) - 1), QPoint(PrintPixelX(r), PrintPixelY(b)));
}

inline QString TextIn(const TRecordedPage &page, float l, float t, float r, float b)
{
    const QRect box = PixelBox(l, t, r, b);
    QString text;
    for (const TPageCommand &cmd : page.Texts()) {
        if (box.contains(cmd.Box.topLeft()))
            text += cmd.Text;
    }
    return text;
}

// The text commands lying in a box, for their font, position and width.
inline QList<TPageCommand> TextCommandsIn(const TRecordedPage &page, float l, float t, float r, float b)
{
    const QRect box = PixelBox(l, t, r, b);
    QList<TPageCommand> found;
    for (const TPageCommand &cmd : page.Texts()) {
        if (box.contains(cmd.Box.topLeft()) && !cmd.Text.isEmpty())
            found.append(cmd);
    }
    return found;
}

// Horizontal lines whose y lies in t … b (cm).
inline int HorizontalLines(const TRecordedPage &page, float t, float b)
{
    InitPrintScale();
    const int top = PrintPixelY(t) - 1;
    const int bottom = PrintPixelY(b) + 1;
    int n = 0;
    for (const TPageCommand &cmd : page.Lines()) {
        if (cmd.From.y() == cmd.To.y() && cmd.From.y() >= top && cmd.From.y() <= bottom)
            ++n;
    }
    return n;
}

// Vertical lines whose x lies in l … r (cm).
inline int VerticalLines(const TRecordedPage &page, float l, float r)
{
    InitPrintScale();
    const int left = PrintPixelX(l) - 1;
    const int right = PrintPixelX(r) + 1;
    int n = 0;
    for (const TPageCommand &cmd : page.Lines()) {
        if (cmd.From.x() == cmd.To.x() && cmd.From.y() != cmd.To.y() && cmd.From.x() >= left && cmd.From.x() <= right)
            ++n;
    }
    return n;
}

// Does the page draw anything below y (cm)?
inline bool DrawsBelow(const TRecordedPage &page, float y)
{
    InitPrintScale();
    const int limit = PrintPixelY(y) + 1;
    for (const TPageCommand &cmd : page.Commands()) {
        if (cmd.Kind == TCommandKind::Text && !cmd.Text.isEmpty() && cmd.Box.top() > limit)
            return true;
        if (cmd.Kind == TCommandKind::Line && (cmd.From.y() > limit || cmd.To.y() > limit))
            return true;
    }
    return false;
}

inline std::unique_ptr<TPrevX> DrawRecord(const TRecordSetup &setup, const QList<TKel4LineRow> &lines, bool weight)
{
    TKelmo4Head head;
    head.LoadByID(SaveRecord(setup, lines));
    auto prev = std::make_unique<TPrevX>();
    DrawDataSheetDocument(prev.get(), head, weight);
    return prev;
}

// Texts of the page whose cell top lies below y (cm).
inline int TextsBelow(const TRecordedPage &page, float y)
{
    InitPrintScale();
    const int limit = PrintPixelY(y) + 1;
    int n = 0;
    for (const TPageCommand &cmd : page.Texts()) {
        if (!cmd.Text.isEmpty() && cmd.Box.top() > limit)
            ++n;
    }
    return n;
}

} // namespace SheetTest
