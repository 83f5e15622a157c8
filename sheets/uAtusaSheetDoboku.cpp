#include "sheets/uAtusaSheetDoboku.h"

#include "measure/uKelmo4Head.h"
#include "printing/PageCanvas.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "registers/uSimei.h"
#include "sheets/uDataSheetCommon.h"

using namespace Qt::Literals::StringLiterals;
using namespace Form;

namespace {

constexpr int kRowsPerPage = 16;
constexpr float kFirstRowTop = 4.6f;
constexpr float kRowPitch = 1.2f;

constexpr TFormItem kFrame[] = {
    Font(10),
    Pen(3),
    Box(0, 0, 17, 25.2f),
    Text(u"様式－３", 0, 15, 16.5f, 0.3f, 0.8f),
    Font(11),
    Pen(1),
    Box(0.5f, 2, 7.5f, 3.4f),
    Line(2.4f, 2, 2.4f, 3.4f),
    Text(u"工種名", 4, 0.5f, 2.4f, 2, 3.4f),
    Text(u"測定者", 3, 11, 12.5f, 2.6f, 3.1f),
    Seal(16.25f, 2.85f),
    Line(11, 3.1f, 16.5f, 3.1f),
    Box(0.5f, 3.4f, 16.5f, 23.8f),
    Rulings(0.5f, 16.5f, 3.4f, 1.2f, 17),
};

struct TColumn
{
    const char16_t *Heading;
    float Left, Right;
};

constexpr TColumn kColumns[] = {
    {u"測点", 0.5f, 2.4f},   {u"位置", 2.4f, 3.9f}, {u"設計値", 3.9f, 6.2f},
    {u"測定値", 6.2f, 8.5f}, {u"差", 8.5f, 10},     {u"監督員記事", 10, 16.5f},
};

constexpr TFormItem kNotes[] = {
    Font(11),
    Text(u"（記入要領）　１．単位は厚さ㎜幅㎝とする。", 0, 0.9f, 16, 23.9f, 24.3f),
    Text(u"　　　　　　　２．厚さについては位置欄にＬ、Ｒ、CLの区別を記入のこと。", 0, 0.9f, 16, 24.3f, 24.7f),
    Text(u"　　　　　　　３．厚さ、幅のいずれかに○印をつけること。", 0, 0.9f, 16, 24.7f, 25.1f),
};

} // namespace

void DrawAtusaFrameDoboku(TPrevX *Prev)
{
    TPageCanvas *canvas = Prev->Canvas();
    DrawFormItems(canvas, kFrame);
    for (const TColumn &column : kColumns) {
        DrawLine(canvas, column.Left, 3.4f, column.Left, 23.8f);
        DrawBoxText(canvas, QString::fromUtf16(column.Heading), 4, column.Left, 3.4f, column.Right, 4.6f, 0);
    }
    if (NotesWanted())
        DrawFormItems(canvas, kNotes);
}

void PrintAtusaSheetDoboku(TPrevX *Prev, const TKelmo4Head &Head, int FirstNo)
{
    Q_UNUSED(FirstNo);
    PrintOffsetX = -2.35f;
    PrintOffsetY = -2.85f;

    const QString title = Head.SokuteiKoumoku + u"のでき形測定表"_s;
    const QString workType = SectionText(TSectionStyle::WorkTypeBox, Head);

    const auto startPage = [&] {
        DrawAtusaFrameDoboku(Prev);
        TPageCanvas *c = Prev->Canvas();
        // The title alone is in Gothic.
        c->Font().SetName(u"ＭＳ ゴシック"_s);
        c->Font().SetSize(14);
        DrawBoxText(c, title, 3, 3, 1.1f, 14, 1.6f, 0);
        c->Font().SetName(SheetFontName());
        c->Font().SetSize(11);
        DrawBoxText(c, workType, 4, 2.4f, 2, 7.5f, 3.4f, 0);
        DrawBoxText(c, Head.Simei->Simei, 4, 12.5f, 2.6f, 16, 3.1f, 0);
    };
    const auto drawRow = [&](const TKel4LineRow &line, int k) {
        TPageCanvas *c = Prev->Canvas();
        const float y = kFirstRowTop + kRowPitch * float(k);
        const float bottom = y + kRowPitch;
        DrawFitText(c, CellText(line, TLineCell::Sokuten), 0, 0.6f, y, 2.4f, bottom, 0);
        DrawBoxText(c, CellText(line, TLineCell::Iti), 1, 2.4f, y, 3.9f, bottom, 0);
        const TValueGroupBoxes boxes{3.9f, 6.1f, 6.2f, 8.4f, 8.5f, 9.9f, 4, 9.9f, false};
        DrawValueGroup(c, line, 1, boxes, y, bottom);
        DrawBoxText(c, RemarkUnlessDate(CellText(line, TLineCell::Biko)), 0, 10.1f, y, 16.5f, bottom, 0);
    };
    RunSheetPages(Prev, Head.Lines(), kRowsPerPage, startPage, drawRow);
}
