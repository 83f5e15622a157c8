#include "sheets/uTakasaSheetSityo.h"

#include "measure/uKelmo4Head.h"
#include "printing/PageCanvas.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "registers/uKoji.h"
#include "registers/uSimei.h"
#include "registers/uUkeoisya.h"
#include "sheets/uDataSheetCommon.h"

using namespace Qt::Literals::StringLiterals;
using namespace Form;

namespace {

constexpr int kRowsPerPage = 17;
constexpr float kFirstRowTop = 5.46f;
constexpr float kRowPitch = 0.68f;
constexpr float kPlaceLeft = 2.4f;
constexpr float kPlaceWidth = 6.3f;

constexpr TFormItem kFrameTop[] = {
    Pen(3),
    Box(0, 4.1f, 24.3f, 17.02f),
    Pen(1),
    Font(10),
    Text(u"様式（２－２）", 0, 0, 3, 0, 0.5f),
    Line(8.7f, 1.2f, 15.5f, 1.2f),
    Line(8.7f, 1.22f, 15.5f, 1.22f),
    Font(16),
    Text(u"測定結果一覧表", 4, 8.7f, 15.5f, 0.2f, 1.2f),
    Font(10),
    Line(0, 3.3f, 12.4f, 3.3f),
    Text(u"工事名", 3, 0, 2.3f, 2.8f, 3.3f),
    Line(0, 4, 12.4f, 4),
    Text(u"工種名", 3, 0, 2.3f, 3.5f, 4),
    Line(17.5f, 3.3f, 24, 3.3f),
    Text(u"受注会社名", 3, 17.5f, 19.5f, 2.8f, 3.3f),
    Line(17.5f, 4, 24, 4),
    Text(u"測定者", 3, 17.5f, 19.5f, 3.5f, 4),
    Seal(23.75f, 3.75f),
};

constexpr const char16_t *kPlaceCaptions[] = {u"左側", u"中央", u"右側"};

} // namespace

void DrawTakasaFrameSityo(TPrevX *Prev)
{
    TPageCanvas *canvas = Prev->Canvas();
    DrawFormItems(canvas, kFrameTop);
    for (int p = 1; p <= 18; ++p) {
        const float y = 4.1f + 0.68f * float(p);
        if (p == 1)
            DrawLine(canvas, 2.4f, y, 21.3f, y);
        else
            DrawLine(canvas, 0, y, 24.3f, y);
    }
    DrawBoxText(canvas, u"測点"_s, 4, 0, 4.1f, 2.4f, 5.46f, 0);
    for (int j = 0; j < 3; ++j) {
        const float e = kPlaceLeft + kPlaceWidth * float(j);
        DrawBox(canvas, e, 4.1f, e + kPlaceWidth, 17.02f);
        DrawBox(canvas, e + 2.4f, 4.78f, e + 4.8f, 17.02f);
        DrawBoxText(canvas, QString::fromUtf16(kPlaceCaptions[j]), 4, e, 4.1f, e + kPlaceWidth, 4.78f, 0);
        DrawBoxText(canvas, u"設計値"_s, 4, e, 4.78f, e + 2.4f, 5.46f, 0);
        DrawBoxText(canvas, u"測定値"_s, 4, e + 2.4f, 4.78f, e + 4.8f, 5.46f, 0);
        DrawBoxText(canvas, u"差"_s, 1, e + 4.8f, 4.78f, e + kPlaceWidth, 5.46f, 0);
    }
    DrawBoxText(canvas, u"備考"_s, 4, 21.3f, 4.1f, 24.3f, 5.46f, 0);
}

void PrintTakasaSheetSityo(TPrevX *Prev, const TKelmo4Head &Head, int FirstNo)
{
    Q_UNUSED(FirstNo);
    PrintOffsetX = -2.7f;
    PrintOffsetY = -2.0f;

    const QString project = Head.Koji->Kojimei;
    const QString workType = SectionText(TSectionStyle::WorkTypeLine, Head);
    const QString contractor = Head.Koji->Ukeoisya->Ukeoisyamei;

    const auto startPage = [&] {
        DrawTakasaFrameSityo(Prev);
        TPageCanvas *c = Prev->Canvas();
        c->Font().SetSize(10);
        // A long name gets the room of a second line above the rule, where it wraps.
        const float projectTop = TextWidthCm(c, project) <= 7.4f ? 2.8f : 2.3f;
        DrawBoxText(c, project, 0, 3.3f, projectTop, 12.4f, 3.3f, 0);
        DrawBoxText(c, workType, 0, 3.3f, 3.5f, 12.4f, 4, 0);
        const bool twoLines = contractor.contains(u"\\\\"_s) || TextWidthCm(c, contractor) > 4;
        DrawBoxText(c, contractor, 4, 19.5f, twoLines ? 2.3f : 2.8f, 24, 3.3f, 0);
        DrawBoxText(c, Head.Simei->Simei, 4, 19.5f, 3.5f, 23.5f, 4, 0);
    };
    const auto drawRow = [&](const TKel4LineRow &line, int k) {
        TPageCanvas *c = Prev->Canvas();
        const float y = kFirstRowTop + kRowPitch * float(k);
        const float bottom = y + kRowPitch;
        DrawFitText(c, CellText(line, TLineCell::Sokuten), 0, 0.1f, y, 2.4f, bottom, 0);
        // This form keeps a date in the remarks.
        DrawBoxText(c, CellText(line, TLineCell::Biko), 0, 21.4f, y, 24.2f, bottom, 0);
        for (int j = 0; j < 3; ++j) {
            const float u = kPlaceLeft + kPlaceWidth * float(j);
            const TValueGroupBoxes boxes{u, u + 2.3f, u + 2.4f, u + 4.7f, u + 4.8f, u + 6.2f,
                                         u + 0.1f, u + 6.2f, true};
            DrawValueGroup(c, line, j, boxes, y, bottom);
        }
    };
    RunSheetPages(Prev, Head.Lines(), kRowsPerPage, startPage, drawRow);
}
