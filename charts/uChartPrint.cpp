#include "charts/uChartPrint.h"

#include "app/Errors.h"
#include "charts/uControlChartTable.h"
#include "charts/uFrequencyTable.h"
#include "charts/uSummaryFigure.h"
#include "charts/uXControlChart.h"
#include "measure/uKelmo4Head.h"
#include "measure/uRecordPrint.h"
#include "printing/NkPrinter.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "printing/uPrintView.h"
#include "registers/uKoji.h"

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {
bool IsTableStyle(const TKelmo4Head &Head)
{
    return Head.Koji->Yoshiki > 1;
}
} // namespace

void DrawChartDocument(TPrevX *Prev, const TKelmo4Head &Head, bool Weight)
{
    SetPaper(u"A4"_s, u"LAND"_s);
    Prev->SetTitle(IsTableStyle(Head) ? u"出来形管理図表"_s : u"Ｘ管理図"_s);
    Prev->SetFileTitle(RecordFileTitle(Head, u"管理図"_s));
    Prev->BeginDoc();
    if (IsTableStyle(Head))
        DrawControlChartTable(Prev, Head, Weight);
    else
        DrawXControlChart(Prev, Head);
    Prev->EndDoc();
}

void DrawHistogramDocument(TPrevX *Prev, const TKelmo4Head &Head, bool Weight)
{
    SetPaper(u"A4"_s, IsTableStyle(Head) ? u"LAND"_s : u"PORT"_s);
    Prev->SetTitle(IsTableStyle(Head) ? u"度数表"_s : u"でき形測定取りまとめ図"_s);
    Prev->SetFileTitle(RecordFileTitle(Head, u"ヒストグラム"_s));
    Prev->BeginDoc();
    if (IsTableStyle(Head))
        DrawFrequencyTable(Prev, Head, Weight);
    else
        DrawSummaryFigure(Prev, Head);
    Prev->EndDoc();
}

void PrintControlChart(const TKelmo4Head &Head, bool Weight, QWidget *Parent)
{
    const std::unique_ptr<TfrmPreView> preview = std::make_unique<TfrmPreView>(Parent);
    DrawChartDocument(preview->PrevX1, Head, Weight);
    preview->exec();
}

void PrintHistogram(const TKelmo4Head &Head, bool Weight, QWidget *Parent)
{
    // The preview fits its zoom to the printer's orientation, so that comes first.
    NkPrinter().SetOrientation(IsTableStyle(Head) ? QPageLayout::Landscape : QPageLayout::Portrait);
    NkPrinter().ApplySettings();
    const std::unique_ptr<TfrmPreView> preview = std::make_unique<TfrmPreView>(Parent);
    DrawHistogramDocument(preview->PrevX1, Head, Weight);
    preview->exec();
}

void LoadRecordForPrint(TKelmo4Head &Head, int ID)
{
    Head.CreateTableIfMissing();
    Head.LoadByID(ID);
    if (Head.ID != ID || ID <= 0)
        throw EKelmoError(u"測定データ（ID "_s + QString::number(ID) + u"）が見つかりません。"_s);
}

void PlugChartPrintRoutines()
{
    SetRecordPrintRoutine(TRecordForm::Histogram, [](QWidget *parent, TKelmo4Head &head, bool weight) {
        PrintHistogram(head, weight, parent);
    });
    SetRecordPrintRoutine(TRecordForm::ControlChart, [](QWidget *parent, TKelmo4Head &head, bool weight) {
        PrintControlChart(head, weight, parent);
    });
}
