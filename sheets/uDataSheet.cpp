#include "sheets/uDataSheet.h"

#include "app/Errors.h"
#include "charts/uChartPrint.h"
#include "measure/uKelmo4Head.h"
#include "measure/uRecordPrint.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "printing/uPrintView.h"
#include "registers/uKoji.h"
#include "sheets/uAtusaSheetDoboku.h"
#include "sheets/uAtusaSheetKaihatu.h"
#include "sheets/uAtusaSheetSityo.h"
#include "sheets/uTakasaSheetDoboku.h"
#include "sheets/uTakasaSheetKaihatu.h"
#include "sheets/uTakasaSheetSityo.h"

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

struct TSelectionRow
{
    bool Height; // form type 0; otherwise 1 or 2
    int Yoshiki;
    TDataSheetLayout Layout;
    const char16_t *Orientation;
    int RowsPerPage;
};

constexpr TSelectionRow kSelection[] = {
    {true, 0, TDataSheetLayout::TakasaKaihatu, u"port", 21},
    {true, 1, TDataSheetLayout::TakasaDoboku, u"land", 17},
    {true, 2, TDataSheetLayout::TakasaSityo, u"land", 17},
    {false, 0, TDataSheetLayout::AtusaKaihatu, u"port", 17},
    {false, 1, TDataSheetLayout::AtusaDoboku, u"port", 16},
    {false, 2, TDataSheetLayout::AtusaSityo, u"land", 24},
};

TDataSheetChoice ChoiceOf(const TSelectionRow &row)
{
    return {row.Layout, QString::fromUtf16(row.Orientation), row.RowsPerPage};
}

} // namespace

TDataSheetChoice ChooseDataSheet(int yosiki, int yoshiki)
{
    if (yosiki >= 0 && yosiki <= 2) {
        for (const TSelectionRow &row : kSelection) {
            if (row.Height == (yosiki == 0) && row.Yoshiki == yoshiki)
                return ChoiceOf(row);
        }
    }
    return ChoiceOf(kSelection[0]);
}

TDataSheetChoice ChooseDataSheet(const TKelmo4Head &Head)
{
    return ChooseDataSheet(Head.Yosiki, Head.Koji->Yoshiki);
}

void PrintDataSheetContents(const TDataSheetChoice &choice, TPrevX *Prev, const TKelmo4Head &Head, int FirstNo,
                            bool Weight)
{
    switch (choice.Layout) {
    case TDataSheetLayout::TakasaKaihatu:
        PrintTakasaSheetKaihatu(Prev, Head, FirstNo);
        return;
    case TDataSheetLayout::TakasaDoboku:
        PrintTakasaSheetDoboku(Prev, Head, FirstNo);
        return;
    case TDataSheetLayout::TakasaSityo:
        PrintTakasaSheetSityo(Prev, Head, FirstNo);
        return;
    case TDataSheetLayout::AtusaKaihatu:
        PrintAtusaSheetKaihatu(Prev, Head, FirstNo);
        return;
    case TDataSheetLayout::AtusaDoboku:
        PrintAtusaSheetDoboku(Prev, Head, FirstNo);
        return;
    case TDataSheetLayout::AtusaSityo:
        PrintAtusaSheetSityo(Prev, Head, FirstNo, Weight);
        return;
    }
}

void DrawDataSheetDocument(TPrevX *Prev, const TKelmo4Head &Head, bool Weight)
{
    const TDataSheetChoice choice = ChooseDataSheet(Head);
    SetPaper(u"A4"_s, choice.Orientation);
    Prev->SetFileTitle(RecordFileTitle(Head, u"データシート"_s));
    Prev->BeginDoc();
    PrintDataSheetContents(choice, Prev, Head, 1, Weight);
    Prev->EndDoc();
}

void ShowDataSheet(const TKelmo4Head &Head, bool Weight, QWidget *Parent)
{
    // The preview fits its zoom to the printer's orientation, so that comes first.
    SetPaper(u"A4"_s, ChooseDataSheet(Head).Orientation);
    auto preview = std::make_unique<TfrmPreView>(Parent);
    DrawDataSheetDocument(preview->PrevX1, Head, Weight);
    preview->exec();
}

void ExportDataSheet(int RecordId, bool Weight, TPrevX *Prev)
{
    TKelmo4Head head;
    LoadRecordForPrint(head, RecordId);
    DrawDataSheetDocument(Prev, head, Weight);
}

void PlugInDataSheet()
{
    SetRecordPrintRoutine(TRecordForm::DataSheet,
                          [](QWidget *parent, TKelmo4Head &head, bool weight) { ShowDataSheet(head, weight, parent); });
}
