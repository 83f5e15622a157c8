#include "sheets/uTakasaSheetDoboku.h"

#include "measure/uKelmo4Head.h"
#include "printing/PageCanvas.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "registers/uSimei.h"
#include "sheets/uDataSheetCommon.h"

using namespace Qt::Literals::StringLiterals;
using namespace Form;

namespace {

constexpr int kRowsPerPage = 17;
constexpr float kFirstRowTop = 2.8f;
constexpr float kRowPitch = 0.7f;
constexpr float kPlaceLeft = 2.12f;
constexpr float kPlaceWidth = 5.68f;

constexpr TFormItem kFrameTop[] = {
    Font(11),
    Pen(2),
    Box(0, 0, 7.8f, 1.4f),
    Box(0, 1.4f, 24.3f, 14.7f),
    Pen(1),
    Line(2.12f, 0, 2.12f, 1.4f),
    Text(u"工種名", 4, 0, 2.12f, 0, 1.4f),
    Text(u"測点", 4, 0, 2.12f, 1.4f, 2.8f),
    Line(8.6f, 0.7f, 17, 0.7f),
    Text(u"測定者", 1, 18, 19.5f, 0.62f, 1.25f),
    Line(18.15f, 1.12f, 24.3f, 1.12f),
    Seal(24.05f, 0.87f),
};

// Note the centre caption: this form says "中心".
constexpr const char16_t *kPlaceCaptions[] = {u"左側", u"中心", u"右側"};

} // namespace

void DrawTakasaFrameDoboku(TPrevX *Prev, const TKelmo4Head &Head)
{
    TPageCanvas *canvas = Prev->Canvas();
    DrawFormItems(canvas, kFrameTop);
    for (int j = 0; j < 3; ++j) {
        const float d = kPlaceLeft + kPlaceWidth * float(j);
        DrawBoxText(canvas, QString::fromUtf16(kPlaceCaptions[j]), 4, d, 1.4f, d + kPlaceWidth, 2.1f, 0);
        DrawLine(canvas, d, 1.4f, d, 14.7f);
        DrawBoxText(canvas, u"設計値"_s, 4, d, 2.1f, d + 2.09f, 2.8f, 0);
        DrawLine(canvas, d + 2.09f, 2.1f, d + 2.09f, 14.7f);
        DrawBoxText(canvas, u"測定値"_s, 4, d + 2.09f, 2.1f, d + 4.29f, 2.8f, 0);
        DrawLine(canvas, d + 4.29f, 2.1f, d + 4.29f, 14.7f);
        DrawBoxText(canvas, u"差"_s, 1, d + 4.29f, 2.1f, d + kPlaceWidth, 2.8f, 0);
        DrawLine(canvas, d + kPlaceWidth, 1.4f, d + kPlaceWidth, 14.7f);
    }
    DrawBoxText(canvas, u"監督員記事"_s, 4, 19.09f, 1.4f, 24.3f, 2.8f, 0);
    // The heading's lower rule runs under the place groups only.
    for (int i = 0; i <= 18; ++i) {
        const float y = 2.1f + 0.7f * float(i);
        if (i == 0)
            DrawLine(canvas, 2.12f, y, 19.16f, y);
        else
            DrawLine(canvas, 0, y, 24.3f, y);
    }
    // Part of the form, whatever the notes setting says.
    DrawBoxText(canvas,
                u"（記入要領）設計値・測定値の単位は"_s + Head.SekkeiTanni.trimmed() + u"、差の単位は"_s
                    + Head.SaTanni.trimmed() + u"とする"_s,
                0, 0, 14.7f, 24.3f, 15.2f, 0);
}

void PrintTakasaSheetDoboku(TPrevX *Prev, const TKelmo4Head &Head, int FirstNo)
{
    Q_UNUSED(FirstNo);
    PrintOffsetX = -2.7f;
    PrintOffsetY = -3.15f;

    const QString workType = SectionText(TSectionStyle::WorkTypeBox, Head);
    const QString title = Head.SokuteiKoumoku.trimmed() + u"のでき形測定表"_s;

    const auto startPage = [&] {
        DrawTakasaFrameDoboku(Prev, Head);
        TPageCanvas *c = Prev->Canvas();
        c->Font().SetSize(11);
        DrawBoxText(c, workType, 4, 2.12f, 0, 7.8f, 1.4f, 0);
        DrawBoxText(c, Head.Simei->Simei, 3, 20.25f, 0.62f, 22.8f, 1.12f, 0);
        // The rows stay at the title's 12 pt.
        c->Font().SetSize(12);
        DrawBoxText(c, title, 3, 8.6f, 0, 17, 0.7f, 0);
    };
    const auto drawRow = [&](const TKel4LineRow &line, int k) {
        TPageCanvas *c = Prev->Canvas();
        const float y = kFirstRowTop + kRowPitch * float(k);
        const float bottom = y + kRowPitch;
        DrawFitText(c, CellText(line, TLineCell::Sokuten).trimmed(), 0, 0.1f, y, 2.12f, bottom, 0);
        DrawBoxText(c, CellText(line, TLineCell::Iti).trimmed(), 2, 0.1f, y, 2.02f, bottom, 0);
        for (int j = 0; j < 3; ++j) {
            const float g = kPlaceLeft + kPlaceWidth * float(j);
            const TValueGroupBoxes boxes{g, g + 1.99f, g + 2.09f, g + 4.19f, g + 4.29f, g + 5.58f,
                                         g, g + kPlaceWidth, true};
            DrawValueGroup(c, line, j, boxes, y, bottom);
        }
        DrawBoxText(c, RemarkUnlessDate(CellText(line, TLineCell::Biko)), 0, 19.27f, y, 24.3f, bottom, 0);
    };
    RunSheetPages(Prev, Head.Lines(), kRowsPerPage, startPage, drawRow);
}
