#include "sheets/uAtusaSheetKaihatu.h"

#include "app/uCommon.h"
#include "measure/uKelmo4Head.h"
#include "measure/uRecordFigures.h"
#include "printing/PageCanvas.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "registers/uKikakuti4.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"
#include "registers/ukouku.h"
#include "sheets/uDataSheetCommon.h"

using namespace Qt::Literals::StringLiterals;
using namespace Form;

namespace {

constexpr int kRowsPerPage = 17;
constexpr float kFirstRowTop = 5.6f;
constexpr float kRowPitch = 0.7f;

constexpr TFormItem kFrame[] = {
    Pen(3),
    Box(0, 0, 15.5f, 21.8f),
    Font(10),
    Text(u"様式（２）", 0, 0.2f, 2, 0, 0.6f),
    Pen(1),
    Line(1.4f, 1.7f, 14.1f, 1.7f),
    Line(1.4f, 1.75f, 14.1f, 1.75f),
    Line(0.35f, 3.5f, 5.8f, 3.5f),
    Font(11),
    Text(u"測定項目", 3, 0.35f, 2.2f, 3, 3.5f),
    Line(9.4f, 3.7f, 14.9f, 3.7f),
    Text(u"測定者", 3, 9.4f, 10.9f, 3.2f, 3.7f),
    Seal(14.65f, 3.45f),
    Box(0.35f, 4.2f, 15.2f, 21.4f),
    Rulings(0.35f, 15.2f, 5.6f, 0.7f, 18),
    Line(2.55f, 4.2f, 2.55f, 17.5f),
    Line(4.75f, 4.2f, 4.75f, 17.5f),
    Line(6.95f, 4.2f, 6.95f, 17.5f),
    Line(9.15f, 4.2f, 9.15f, 17.5f),
    Font(10),
    Text(u"測点", 4, 0.35f, 2.55f, 4.2f, 5.6f),
    Text(u"設 計 値\\\\Ａ", 1, 2.55f, 4.75f, 4.2f, 5.6f),
    Text(u"測 定 値\\\\Ｂ", 1, 4.75f, 6.95f, 4.2f, 5.6f),
    Text(u"設計値\\\\との差", 4, 6.95f, 9.15f, 4.2f, 5.13f),
    Text(u"Ｃ＝Ｂ－Ａ", 1, 6.95f, 9.15f, 5.13f, 5.6f),
    Text(u"監 督 員 記 事", 4, 9.15f, 15.2f, 4.2f, 5.6f),
    Box(0.7f, 17.9f, 1.55f, 20.5f),
    VText(u"記事", 4, 0.7f, 1.55f, 17.9f, 20.55f),
    Text(u"[基準]", 3, 2.2f, 4.2f, 17.9f, 18.3f),
    Text(u"設計値", 1, 4.6f, 5.8f, 17.9f, 18.3f),
    Text(u"仕様書の範囲", 1, 8.8f, 11.1f, 17.9f, 18.3f),
    Text(u"[測定結果]", 3, 2.2f, 4.2f, 18.8f, 19.2f),
    Text(u"測定数", 1, 4.6f, 5.8f, 18.8f, 19.2f),
    Text(u"設計値との差の範囲", 1, 7.4f, 10.8f, 18.8f, 19.2f),
    Text(u"平均値", 1, 12.5f, 13.7f, 18.8f, 19.2f),
    Text(u"合格判定値との対比", 1, 4.4f, 7.8f, 19.7f, 20.1f),
};

constexpr TFormItem kNotes[] = {
    Font(10),
    Text(u"注）イ．この様式は主として出来形管理の取りまとめに使用するものとするが、品質管理において", 0, 0, 16, 22,
         22.5f),
    Text(u"　　　も指定された場合は、この様式によるものとする。", 0, 0, 16, 22.5f, 23),
    Text(u"　　ロ．監督員の検査を受け、受注者の測定値の誤りが発見され、再仕上げを行って測定した場合", 0, 0, 16, 23,
         23.5f),
    Text(u"　　　は、その旨を記入すること。", 0, 0, 16, 23.5f, 24),
};

} // namespace

QString ComparisonText(const QString &average, const QString &lower, const QString &upper)
{
    const bool hasUpper = !upper.trimmed().isEmpty();
    const bool hasLower = !lower.trimmed().isEmpty();
    if (hasUpper && hasLower)
        return lower + u'<' + average + u'<' + upper;
    if (hasUpper)
        return average + u" ＜ "_s + upper;
    if (hasLower)
        return average + u" ＞ "_s + lower;
    return {};
}

QString DesignRangeText(const QString &minText, const QString &maxText, const QString &unit)
{
    const QString range = minText == maxText ? maxText : minText + u'～' + maxText;
    return range + u'(' + unit + u')';
}

void DrawAtusaFrameKaihatu(TPrevX *Prev)
{
    TPageCanvas *canvas = Prev->Canvas();
    DrawFormItems(canvas, kFrame);
    if (NotesWanted())
        DrawFormItems(canvas, kNotes);
}

void PrintAtusaSheetKaihatu(TPrevX *Prev, const TKelmo4Head &Head, int FirstNo)
{
    Q_UNUSED(FirstNo);
    PrintOffsetX = -2.35f;
    PrintOffsetY = -2.85f;

    const QString title = Head.Kosyu->Kosyumei + u"測定結果表"_s;
    const QString item = SectionText(TSectionStyle::ItemBox, Head);
    const bool twoLines = RecordHasSection(Head.Kouku->Koukumei);
    const QList<TKel4LineRow> lines = Head.Lines();
    QString minDesign = RecordFigures::MinDesignText(lines, Head.Units());
    QString maxDesign = RecordFigures::MaxDesignText(lines, Head.Units());
    // Without any numeric design value the figures keep their starting values ±1e12.
    if (TextToFloat(minDesign) >= 1e12 || TextToFloat(maxDesign) <= -1e12) {
        minDesign.clear();
        maxDesign.clear();
    }
    const QString designRange = DesignRangeText(minDesign, maxDesign, Head.SekkeiTanni);
    const QString standard = SignedStandardRange(Head);
    const QString count = QString::number(RecordFigures::DiffCount(lines));
    const QString diffRange = SignedDiffRangeText(Head, lines);
    const QString average = SignedText(RecordFigures::AverageDiffText(lines, Head.Units()));
    const QString averageWithUnit = average + u'(' + Head.SaTanni + u')';
    const QString comparison = ComparisonText(average, SignedStandardText(Head.Kikakuti->KikakutiD1, Head.SaTanni),
                                              SignedStandardText(Head.Kikakuti->KikakutiU1, Head.SaTanni));

    const auto startPage = [&] {
        DrawAtusaFrameKaihatu(Prev);
        TPageCanvas *c = Prev->Canvas();
        c->Font().SetSize(12);
        DrawBoxText(c, title, 4, 1.4f, 1.1f, 14.1f, 1.7f, 0);
        c->Font().SetSize(11);
        DrawBoxText(c, item, 4, 2.2f, twoLines ? 2.5f : 3.0f, 5.8f, 3.5f, 0);
        DrawBoxText(c, Head.Simei->Simei, 4, 10.9f, 3.2f, 14.4f, 3.7f, 0);
        DrawBoxText(c, designRange, 0, 5.6f, 18.3f, 9.8f, 18.7f, 0);
        DrawBoxText(c, standard, 0, 9.8f, 18.3f, 15.2f, 18.7f, 0);
        DrawBoxText(c, count, 0, 5.6f, 19.2f, 7.4f, 19.6f, 0);
        DrawBoxText(c, diffRange, 0, 8.4f, 19.2f, 12.7f, 19.6f, 0);
        DrawBoxText(c, averageWithUnit, 0, 13, 19.2f, 15.2f, 19.6f, 0);
        DrawBoxText(c, comparison, 0, 5.4f, 20.1f, 15.2f, 20.5f, 0);
    };
    const auto drawRow = [&](const TKel4LineRow &line, int k) {
        TPageCanvas *c = Prev->Canvas();
        const float y = kFirstRowTop + kRowPitch * float(k);
        DrawFitText(c, CellText(line, TLineCell::Sokuten), 0, 0.45f, y + 0.05f, 2.55f, y + 0.35f, 0);
        DrawBoxText(c, CellText(line, TLineCell::Iti), 2, 0.45f, y + 0.35f, 2.45f, y + 0.65f, 0);
        const TValueGroupBoxes boxes{2.55f, 4.65f, 4.75f, 6.85f, 6.95f, 9.05f, 2.55f, 9.15f, false};
        DrawValueGroup(c, line, 1, boxes, y, y + kRowPitch);
        DrawBoxText(c, RemarkUnlessDate(CellText(line, TLineCell::Biko)), 0, 9.25f, y, 15.2f, y + kRowPitch, 0);
    };
    RunSheetPages(Prev, lines, kRowsPerPage, startPage, drawRow);
}
