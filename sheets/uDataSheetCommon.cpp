#include "sheets/uDataSheetCommon.h"

#include "app/uCommon.h"
#include "app/uDekigataDef.h"
#include "measure/uKelmo4Head.h"
#include "measure/uRecordFigures.h"
#include "measure/uUnits.h"
#include "printing/PageCanvas.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "registers/uKikakuti4.h"
#include "registers/uKosyu.h"
#include "registers/ukouku.h"

using namespace Qt::Literals::StringLiterals;

QString SheetFontName()
{
    return u"ＭＳ 明朝"_s;
}

void RunSheetPages(TPrevX *Prev, const QList<TKel4LineRow> &Lines, int RowsPerPage,
                   const std::function<void()> &StartPage,
                   const std::function<void(const TKel4LineRow &line, int slot)> &DrawRow)
{
    RunPages(Prev, int(Lines.size()), RowsPerPage, StartPage,
             [&](int index, int slot) { DrawRow(Lines.at(index), slot); });
}

void RunPages(TPrevX *Prev, int Count, int RowsPerPage, const std::function<void()> &StartPage,
              const std::function<void(int index, int slot)> &DrawRow)
{
    int k = 0;
    for (int i = 0; i < Count; ++i) {
        if (k == 0) {
            // A fresh page canvas starts from the defaults: the font name goes first.
            Prev->Canvas()->Font().SetName(SheetFontName());
            StartPage();
        }
        DrawRow(i, k);
        ++k;
        if (k == RowsPerPage) {
            k = 0;
            if (i + 1 < Count)
                Prev->NewPage();
        }
    }
}

const QString &CellText(const TKel4LineRow &line, TLineCell cell)
{
    return line.Cells[size_t(cell)];
}

QString RemarkUnlessDate(const QString &biko)
{
    return IsDateText(biko) ? QString() : biko;
}

bool RecordHasSection(const QString &koukumei)
{
    // A blank name is no section either: printing "()" would only look like a fault.
    const QString name = koukumei.trimmed();
    return !name.isEmpty() && name != QStringView(NoSectionName);
}

QString SectionText(TSectionStyle style, const QString &kosyumei, const QString &koukumei,
                    const QString &sokuteiKoumoku)
{
    const bool section = RecordHasSection(koukumei);
    switch (style) {
    case TSectionStyle::ItemBox:
        return section ? QString(sokuteiKoumoku + u"\\\\("_s + koukumei + u')') : sokuteiKoumoku;
    case TSectionStyle::WorkTypeBox:
        return section ? QString(kosyumei + u"\\\\("_s + koukumei + u')') : kosyumei;
    case TSectionStyle::WorkTypeLine:
        return section ? QString(kosyumei + u'(' + koukumei + u")の"_s + sokuteiKoumoku)
                       : QString(kosyumei + u'の' + sokuteiKoumoku);
    }
    return {};
}

QString SectionText(TSectionStyle style, const TKelmo4Head &head)
{
    return SectionText(style, head.Kosyu->Kosyumei, head.Kouku->Koukumei, head.SokuteiKoumoku);
}

QString StandardValueText(const QString &limit, const QString &saTanni)
{
    if (limit.trimmed().isEmpty())
        return {};
    return FormatGeneral(TextToFloat(limit) / UnitFactor(saTanni));
}

QString SignedStandardText(const QString &limit, const QString &saTanni)
{
    const QString value = StandardValueText(limit, saTanni);
    return value.isEmpty() ? value : SignedText(value);
}

QString SignedStandardRange(const TKelmo4Head &head)
{
    return SignedStandardText(head.Kikakuti->KikakutiD1, head.SaTanni) + u" ～ "_s
           + SignedStandardText(head.Kikakuti->KikakutiU1, head.SaTanni) + u'(' + head.SaTanni + u')';
}

QString SignedAverageText(const TKelmo4Head &head)
{
    return SignedAverageText(head, head.Lines());
}

QString SignedAverageText(const TKelmo4Head &head, const QList<TKel4LineRow> &lines)
{
    return SignedText(RecordFigures::AverageDiffText(lines, head.Units())) + u'(' + head.SaTanni + u')';
}

QString SignedDiffRangeText(const TKelmo4Head &head)
{
    return SignedDiffRangeText(head, head.Lines());
}

QString SignedDiffRangeText(const TKelmo4Head &head, const QList<TKel4LineRow> &lines)
{
    QString low = RecordFigures::MinDiffText(lines, head.Units());
    QString high = RecordFigures::MaxDiffText(lines, head.Units());
    // Without any numeric difference the figures keep their starting values ±1e12.
    if (TextToFloat(low) >= 1e12 || TextToFloat(high) <= -1e12) {
        low.clear();
        high.clear();
    } else {
        low = SignedText(low);
        high = SignedText(high);
    }
    return low + u" ～ "_s + high + u'(' + head.SaTanni + u')';
}

QString JoinedValueText(const QString &design, const QString &measured, const QString &diff, bool trim)
{
    if (trim)
        return design.trimmed() + measured.trimmed() + diff.trimmed();
    return design + measured + diff;
}

bool DrawValueGroup(TPageCanvas *Canvas, const QString &design, const QString &measured,
                    const QString &diff, const TValueGroupBoxes &boxes, float Top, float Bottom)
{
    if (IsFloatText(design)) {
        DrawBoxText(Canvas, design, 2, boxes.DesignLeft, Top, boxes.DesignRight, Bottom, 0);
        DrawBoxText(Canvas, measured, 2, boxes.MeasuredLeft, Top, boxes.MeasuredRight, Bottom, 0);
        DrawBoxText(Canvas, diff, 2, boxes.DiffLeft, Top, boxes.DiffRight, Bottom, 0);
        return true;
    }
    DrawBoxText(Canvas, JoinedValueText(design, measured, diff, boxes.TrimJoined), 0, boxes.JoinedLeft, Top,
                boxes.JoinedRight, Bottom, 0);
    return false;
}

bool DrawValueGroup(TPageCanvas *Canvas, const TKel4LineRow &line, int place, const TValueGroupBoxes &boxes,
                    float Top, float Bottom)
{
    const size_t first = size_t(TLineCell::L0) + size_t(3 * place);
    return DrawValueGroup(Canvas, line.Cells[first], line.Cells[first + 1], line.Cells[first + 2], boxes, Top,
                          Bottom);
}

void DrawSeal(TPageCanvas *Canvas, float X, float Y)
{
    const int size = Canvas->Font().Size();
    DrawCircle(Canvas, X, Y, 0.2f);
    Canvas->Font().SetSize(8);
    DrawBoxText(Canvas, u"印"_s, 1, X - 0.25f, Y - 0.25f, X + 0.25f, Y + 0.25f, 0);
    Canvas->Font().SetSize(size);
}

void DrawFormItems(TPageCanvas *Canvas, std::span<const TFormItem> items)
{
    for (const TFormItem &item : items) {
        switch (item.Kind) {
        case TFormItem::PenWidth:
            Canvas->Pen().SetWidth(item.Value);
            break;
        case TFormItem::FontSize:
            Canvas->Font().SetSize(item.Value);
            break;
        case TFormItem::Box:
            DrawBox(Canvas, item.X1, item.Y1, item.X2, item.Y2);
            break;
        case TFormItem::Line:
            DrawLine(Canvas, item.X1, item.Y1, item.X2, item.Y2);
            break;
        case TFormItem::Text:
        case TFormItem::VerticalText:
            DrawBoxText(Canvas, QString::fromUtf16(item.Caption), item.Align, item.X1, item.Y1, item.X2, item.Y2,
                        item.Kind == TFormItem::VerticalText ? 1 : 0);
            break;
        case TFormItem::Seal:
            DrawSeal(Canvas, item.X1, item.Y1);
            break;
        case TFormItem::Rulings:
            for (int i = 0; i < item.Count; ++i) {
                const float y = item.Y1 + item.Pitch * float(i);
                DrawLine(Canvas, item.X1, y, item.X2, y);
            }
            break;
        }
    }
}

bool NotesWanted()
{
    return !DekigataDef().NoNotes();
}
