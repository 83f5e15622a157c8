#include "roadplan/uPrintFormationHeight.h"

#include "app/Errors.h"
#include "app/uCommon.h"
#include "printing/NkPrinter.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "printing/uPdfFileName.h"
#include "printing/uPrintView.h"
#include "roadplan/uFormationHeight.h"

#include <memory>

using namespace Qt::Literals::StringLiterals;
using namespace PlanLayout;

namespace {

// Grid columns 2 … 13, 2 cm each.
const char16_t *const kHeadings[] = {
    u"測点", u"距離", u"左計画高", u"左幅員", u"左勾配", u"中央計画高",
    u"右勾配", u"右幅員", u"右計画高", u"縦断勾配", u"左ﾄﾝﾎﾞ", u"右ﾄﾝﾎﾞ",
};
constexpr int kColumns = 12;
constexpr float kColumnWidth = 2.0f;
constexpr float kRowHeight = 0.5f;
constexpr float kBottom = 18.0f;

} // namespace

void DrawFormationPlan(TPrevX *Prev, const TGridCells &Cells)
{
    TPageCanvas *Canvas = Prev->Canvas();
    PrintOffsetX = -2.85f;
    PrintOffsetY = -1.5f;
    InitPrintScale();
    Canvas->Brush().SetColor(clWhite);
    Canvas->Brush().SetStyle(TBrushStyle::Solid);
    Canvas->FillRect(0, 0, Canvas->Width(), Canvas->Height());
    Canvas->Font().SetSize(10);

    for (int i = 0; i <= int(kBottom / kRowHeight); ++i) {
        const float y = float(i) * kRowHeight;
        DrawLine(Canvas, 0, y, kColumns * kColumnWidth, y);
    }
    for (int j = 0; j < kColumns; ++j) {
        const float x = float(j) * kColumnWidth;
        DrawBox(Canvas, x, 0, x + kColumnWidth, kBottom);
        DrawBoxText(Canvas, QString::fromUtf16(kHeadings[j]), 1, x, 0, x + kColumnWidth, kRowHeight, 0);
    }

    for (int r = 1; r <= PrintedRows && r <= Cells.Rows(); ++r) {
        if (!FormationPlan::RowInUse(Cells, r))
            continue;
        const float y = float(r - 1) * kRowHeight + kRowHeight;
        for (int j = 0; j < kColumns; ++j) {
            const int column = StationColumn + j;
            const float x = float(j) * kColumnWidth;
            QString text;
            int align = 2;
            if (column == StationColumn) {
                text = Cells.Cell(column, r).trimmed();
                align = 0;
            } else if (column == DistanceColumn) {
                text = Cells.Cell(column, r).trimmed();
            } else {
                text = FormatFixed(TextToFloat(Cells.Cell(column, r)), 3);
            }
            DrawBoxText(Canvas, text, align, x + 0.1f, y, x + kColumnWidth - 0.1f, y + kRowHeight, 0);
        }
    }
}

void DrawFormationPlanDocument(TPrevX *Prev, const TGridCells &Cells, const QString &Code)
{
    SetPaper(QString(), u"LAND"_s);
    Prev->SetTitle(u"路面計画"_s);
    Prev->SetFileTitle(DocumentFileTitle({Code, u"路面計画"_s}));
    Prev->BeginDoc();
    DrawFormationPlan(Prev, Cells);
    Prev->EndDoc();
}

void ExportFormationPlan(TPrevX *Prev, const QString &Code)
{
    TFormationHeight().CreateTableIfMissing();
    TPlanCells cells;
    if (FormationPlan::LoadPlan(Code.trimmed(), cells) == 0)
        throw EKelmoError(u"工事コード「%1」の路面計画は保存されていません。"_s.arg(Code.trimmed()));
    DrawFormationPlanDocument(Prev, cells, Code.trimmed());
}

void PreviewFormationPlan(QWidget *Owner, const TGridCells &Cells, const QString &Code)
{
    // The preview fits its zoom to the printer's orientation, so that comes first.
    SetPaper(QString(), u"LAND"_s);
    const auto preview = std::make_unique<TfrmPreView>(Owner);
    do {
        DrawFormationPlanDocument(preview->PrevX1, Cells, Code);
    } while (preview->exec() != QDialog::Rejected);
}
