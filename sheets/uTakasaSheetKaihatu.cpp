#include "sheets/uTakasaSheetKaihatu.h"

#include "measure/uKelmo4Head.h"
#include "measure/uRecordFigures.h"
#include "printing/PageCanvas.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"
#include "registers/ukouku.h"
#include "sheets/uDataSheetCommon.h"

using namespace Qt::Literals::StringLiterals;
using namespace Form;

namespace {

constexpr int kRowsPerPage = 21;
constexpr float kFirstRowTop = 6.12f;
constexpr float kRowPitch = 0.56f;
constexpr float kPlaceWidth = 4.1f;

constexpr TFormItem kFrameTop[] = {
    Pen(3),
    Box(0, 0, 16.3f, 21.6f),
    Font(9),
    Text(u"様式（３）", 0, 0.8f, 2.5f, 0.4f, 0.7f),
    Font(11),
    Pen(1),
    Line(1.6f, 2.2f, 14.7f, 2.2f),
    Line(1.6f, 2.25f, 14.7f, 2.25f),
    Line(0.5f, 4.2f, 7, 4.2f),
    Text(u"測定項目", 3, 0.5f, 2.4f, 3.7f, 4.2f),
    Line(9.6f, 4.2f, 15.9f, 4.2f),
    Text(u"測定者", 3, 9.6f, 11.7f, 3.7f, 4.2f),
    Seal(15.65f, 3.95f),
    Box(0.3f, 5, 16, 17.88f),
};

constexpr TFormItem kFrameBottom[] = {
    Text(u"監督員\\\\記事", 4, 14.3f, 16.1f, 5, 6.12f),
    Box(0.3f, 18.2f, 1.4f, 20.81f),
    VText(u"記事", 4, 0.3f, 1.4f, 18.2f, 20.81f),
    Text(u"[基準]", 3, 1.9f, 4, 18.2f, 19.08f),
    Text(u"仕様書の範囲", 0, 4.1f, 15.3f, 18.2f, 19.07f),
    Text(u"[測定結果]", 3, 1.9f, 4, 19.07f, 19.94f),
    Text(u"測定数", 0, 4.1f, 15.3f, 19.07f, 19.94f),
    Text(u"平均値", 0, 4.1f, 15.3f, 19.94f, 20.81f),
    Text(u"設計値との差の範囲", 0, 7.8f, 15.3f, 19.07f, 20.81f),
};

constexpr TFormItem kNotes[] = {
    Font(10),
    Text(u"注）イ．この様式は主として出来形管理の取りまとめに使用するものとする。", 0, 0, 15.6f, 21.6f, 22.2f),
    Text(u"　　ロ．監督員の検査を受け、受注者の測定値の誤りが発見され、再仕上げを行って測定した場合", 0, 0, 15.6f,
         22.2f, 22.8f),
    Text(u"　　　　は、その結果を（ ）で記入する。", 0, 0, 15.6f, 22.8f, 23.4f),
    Text(u"　　ハ．差の欄には測定値－設計値を記入すること。", 0, 0, 15.6f, 23.4f, 24),
    Font(11),
};

constexpr const char16_t *kPlaceCaptions[] = {u"左側", u"中央", u"右側"};

} // namespace

void DrawTakasaFrameKaihatu(TPrevX *Prev)
{
    TPageCanvas *canvas = Prev->Canvas();
    DrawFormItems(canvas, kFrameTop);
    // The heading's lower rule runs under the three place groups only.
    for (int i = 1; i <= 23; ++i) {
        const float y = 5 + 0.56f * float(i);
        if (i == 1)
            DrawLine(canvas, 2, y, 14.3f, y);
        else
            DrawLine(canvas, 0.3f, y, 16, y);
    }
    DrawBoxText(canvas, u"測点"_s, 4, 0.3f, 5, 2, 6.12f, 0);
    for (int p = 0; p < 3; ++p) {
        const float x0 = 2 + kPlaceWidth * float(p);
        DrawBox(canvas, x0, 5, x0 + kPlaceWidth, 17.88f);
        DrawBox(canvas, x0 + 1.5f, 5.56f, x0 + 3, 17.88f);
        DrawBoxText(canvas, QString::fromUtf16(kPlaceCaptions[p]), 4, x0, 5, x0 + kPlaceWidth, 5.56f, 0);
        DrawBoxText(canvas, u"設計値"_s, 4, x0, 5.56f, x0 + 1.5f, 6.12f, 0);
        DrawBoxText(canvas, u"測定値"_s, 4, x0 + 1.5f, 5.56f, x0 + 3, 6.12f, 0);
        DrawBoxText(canvas, u"差"_s, 1, x0 + 3, 5.56f, x0 + kPlaceWidth, 6.12f, 0);
    }
    DrawFormItems(canvas, kFrameBottom);
    if (NotesWanted())
        DrawFormItems(canvas, kNotes);
}

void PrintTakasaSheetKaihatu(TPrevX *Prev, const TKelmo4Head &Head, int FirstNo)
{
    Q_UNUSED(FirstNo);
    PrintOffsetX = -2.35f;
    PrintOffsetY = -2.85f;

    // The summary describes the whole record, the same on every page.
    const QString title = Head.Kosyu->Kosyumei + u"測定結果表"_s;
    const QString item = SectionText(TSectionStyle::ItemBox, Head);
    const bool twoLines = RecordHasSection(Head.Kouku->Koukumei);
    const QString standard = SignedStandardRange(Head);
    const QList<TKel4LineRow> lines = Head.Lines();
    const QString count = QString::number(RecordFigures::DiffCount(lines));
    const QString average = SignedAverageText(Head, lines);
    const QString diffRange = SignedDiffRangeText(Head, lines);

    const auto startPage = [&] {
        DrawTakasaFrameKaihatu(Prev);
        TPageCanvas *c = Prev->Canvas();
        c->Font().SetSize(12);
        DrawBoxText(c, title, 4, 1.6f, 1.5f, 14.7f, 2.2f, 0);
        c->Font().SetSize(11);
        DrawBoxText(c, item, 4, 2.9f, twoLines ? 3.2f : 3.7f, 6.9f, 4.2f, 0);
        DrawBoxText(c, Head.Simei->Simei, 4, 12.2f, 3.7f, 14.9f, 4.2f, 0);
        DrawBoxText(c, standard, 0, 7, 18.2f, 15.3f, 19.07f, 0);
        DrawBoxText(c, count, 0, 6, 19.07f, 8, 19.94f, 0);
        DrawBoxText(c, average, 0, 6, 19.94f, 8, 20.81f, 0);
        DrawBoxText(c, diffRange, 0, 12, 19.07f, 15.3f, 20.81f, 0);
    };
    const auto drawRow = [&](const TKel4LineRow &line, int k) {
        TPageCanvas *c = Prev->Canvas();
        const float y = kFirstRowTop + kRowPitch * float(k);
        const float bottom = y + kRowPitch;
        DrawFitText(c, CellText(line, TLineCell::Sokuten), 0, 0.4f, y, 2, bottom, 0);
        DrawBoxText(c, RemarkUnlessDate(CellText(line, TLineCell::Biko)), 0, 14.4f, y, 17, bottom, 0);
        for (int p = 0; p < 3; ++p) {
            const float x0 = 2 + kPlaceWidth * float(p);
            const TValueGroupBoxes boxes{x0, x0 + 1.45f, x0 + 1.5f, x0 + 2.95f, x0 + 3, x0 + 4.05f,
                                         x0 + 0.1f, x0 + 4.1f, false};
            DrawValueGroup(c, line, p, boxes, y, bottom);
        }
    };
    RunSheetPages(Prev, lines, kRowsPerPage, startPage, drawRow);
}
