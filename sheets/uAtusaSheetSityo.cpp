#include "sheets/uAtusaSheetSityo.h"

#include "app/uCommon.h"
#include "measure/uKelmo4Head.h"
#include "printing/PageCanvas.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uSimei.h"
#include "registers/uUkeoisya.h"
#include "sheets/uDataSheetCommon.h"

using namespace Qt::Literals::StringLiterals;
using namespace Form;

namespace {

constexpr int kRowsPerPage = 24;
constexpr int kRowsPerTable = 12;
constexpr float kTableStep = 13.1f;
constexpr float kTableWidth = 12.5f;
constexpr float kFirstRowTop = 5.5f;
constexpr float kRowPitch = 0.85f;

constexpr TFormItem kFrameTop[] = {
    Pen(1),
    Font(10),
    Text(u"様式（２－１）", 3, 0, 2.5f, 0, 0.4f),
    Font(16),
    Text(u"測定結果一覧表", 4, 8.3f, 17.3f, 0.2f, 1.2f),
    Font(11),
    Line(1.5f, 3.3f, 8.9f, 3.3f),
    Text(u"工事名", 1, 0, 1.5f, 2.8f, 3.3f),
    Line(11.5f, 3.3f, 18.2f, 3.3f),
    Text(u"受注会社名", 1, 9.4f, 11.5f, 2.8f, 3.3f),
    Line(20.3f, 3.3f, 25.4f, 3.3f),
    Text(u"測定者", 1, 19, 20.3f, 2.8f, 3.3f),
    Seal(25.15f, 3.05f),
};

constexpr TFormItem kNotes[] = {
    Text(u"注　（イ）出来形管理の場合はＥ欄に記入する必要はない。", 0, 0.2f, 12.5f, 16.1f, 16.5f),
    Text(u"　　（ロ）品質管理の場合は必要な欄のみ記入し、他は空欄とする。", 0, 0.2f, 12.5f, 16.5f, 16.9f),
};

} // namespace

QString StandardColumnText(const QString &lower, const QString &upper, const QString &saTanni)
{
    const QString text = StandardValueText(lower, saTanni) + u'～' + StandardValueText(upper, saTanni);
    return text == u"～"_s ? QString() : text;
}

void DrawAtusaFrameSityo(TPrevX *Prev, const QString &UnitA, const QString &UnitC)
{
    TPageCanvas *canvas = Prev->Canvas();
    DrawFormItems(canvas, kFrameTop);
    const struct
    {
        float Left, Right;
        QString Heading;
    } columns[] = {
        {0, 2.5f, u"測点"_s},
        {2.5f, 4.5f, u"設計値\\\\Ａ("_s + UnitA + u')'},
        {4.5f, 6.5f, u"実測値\\\\Ｂ("_s + UnitA + u')'},
        {6.5f, 8.5f, u"設計値との差\\\\C=B-A("_s + UnitC + u')'},
        {8.5f, 10.5f, u"規格値\\\\Ｄ("_s + UnitC + u')'},
        {10.5f, 12.5f, u"規格値との差\\\\Ｅ＝Ｂ－Ｄ"_s},
    };
    for (int t = 0; t < 2; ++t) {
        const float r = kTableStep * float(t);
        canvas->Font().SetSize(11);
        canvas->Pen().SetWidth(3);
        DrawBox(canvas, r, 4.4f, r + kTableWidth, 15.7f);
        canvas->Pen().SetWidth(1);
        DrawLine(canvas, r + 1.5f, 4, r + 6.5f, 4);
        DrawBoxText(canvas, u"工種名"_s, 1, r + 0.2f, 3.5f, r + 1.5f, 4, 0);
        canvas->Font().SetSize(9);
        for (const auto &column : columns) {
            DrawLine(canvas, r + column.Left, 4.4f, r + column.Left, 15.7f);
            DrawBoxText(canvas, column.Heading, 1, r + column.Left, 4.4f, r + column.Right, 5.5f, 0);
        }
        for (int p = 0; p <= 11; ++p) {
            const float y = 5.5f + 0.85f * float(p);
            DrawLine(canvas, r, y, r + kTableWidth, y);
        }
    }
    // At the 9 pt the tables leave.
    if (NotesWanted())
        DrawFormItems(canvas, kNotes);
}

void PrintAtusaSheetSityo(TPrevX *Prev, const TKelmo4Head &Head, int FirstNo, bool Weight)
{
    PrintOffsetX = -2.05f;
    PrintOffsetY = -2.65f;

    const QString unitA = Weight ? u"t"_s : Head.SekkeiTanni;
    const QString unitC = Weight ? u"t"_s : Head.SaTanni;
    const QString project = Head.Koji->Kojimei;
    const QString workType = SectionText(TSectionStyle::WorkTypeLine, Head);
    const QString contractor = Head.Koji->Ukeoisya->Ukeoisyamei;
    const QString standard = StandardColumnText(Head.Kikakuti->KikakutiD1, Head.Kikakuti->KikakutiU1, Head.SaTanni);
    // The standard last written in full; "〃" repeats it, across tables and pages.
    QString lastStandard;

    const auto startPage = [&] {
        DrawAtusaFrameSityo(Prev, unitA, unitC);
        TPageCanvas *c = Prev->Canvas();
        c->Font().SetSize(11);
        const float projectTop = TextWidthCm(c, project.trimmed()) <= 7.4f ? 2.8f : 2.3f;
        DrawBoxText(c, project, 0, 1.5f, projectTop, 8.9f, 3.3f, 0);
        DrawBoxText(c, workType, 0, 1.6f, 3.5f, 6.4f, 4, 0);
        const bool twoLines = contractor.contains(u"\\\\"_s) || TextWidthCm(c, contractor) > 5.7f;
        DrawBoxText(c, contractor, 3, 12, twoLines ? 2.3f : 2.8f, 17.7f, 3.3f, 0);
        DrawBoxText(c, Head.Simei->Simei, 4, 20.3f, 2.8f, 24.5f, 3.3f, 0);
    };
    const auto drawRow = [&](const TKel4LineRow &line, int c) {
        TPageCanvas *canvas = Prev->Canvas();
        const int t = c / kRowsPerTable;
        const float g = kTableStep * float(t);
        const float y = kFirstRowTop + kRowPitch * float(c % kRowsPerTable);
        const float bottom = y + kRowPitch;
        DrawFitText(canvas, CellText(line, TLineCell::Sokuten), 0, g + 0.1f, y, g + 2.5f, y + 0.45f, 0);
        DrawBoxText(canvas, CellText(line, TLineCell::Iti), 2, g, y + 0.45f, g + 2.4f, bottom, 0);
        const TValueGroupBoxes boxes{g + 2.5f, g + 4.4f, g + 4.5f, g + 6.4f, g + 6.5f, g + 8.4f,
                                     g + 2.4f, g + 8.5f, true};
        if (!DrawValueGroup(canvas, line, 1, boxes, y, bottom))
            return; // no standard beside a group that is not a number
        const int n = c + 1;
        QString text;
        if ((n - FirstNo) % kRowsPerTable == 0) {
            lastStandard = standard;
            text = standard;
        } else if (!lastStandard.isEmpty()) {
            text = u"〃"_s;
        }
        DrawBoxText(canvas, text, 1, g + 8.5f, y, g + 10.5f, bottom, 0);
    };
    RunSheetPages(Prev, Head.Lines(), kRowsPerPage, startPage, drawRow);
}
