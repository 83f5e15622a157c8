#pragma once

#include <QString>

class QWidget;
class TKelmo4Head;
class TPrevX;

// The six data-sheet layouts: height, and thickness or width, for each print style.
enum class TDataSheetLayout {
    TakasaKaihatu, // height, 開発局
    TakasaDoboku,  // height, 土木現業所
    TakasaSityo,   // height, 支庁
    AtusaKaihatu,  // thickness/width, 開発局
    AtusaDoboku,   // thickness/width, 土木現業所
    AtusaSityo,    // thickness/width, 支庁
};

// The layout a record is printed in, with the paper orientation ("port" or "land") and the
// rows on one page. The paper is always A4.
struct TDataSheetChoice
{
    TDataSheetLayout Layout = TDataSheetLayout::TakasaKaihatu;
    QString Orientation;
    int RowsPerPage = 0;
};

// By the record's form type (0 高さ, 1 厚さ, 2 幅) and the project's print style; any other
// pair gets the 開発局 height sheet.
TDataSheetChoice ChooseDataSheet(int yosiki, int yoshiki);
TDataSheetChoice ChooseDataSheet(const TKelmo4Head &Head);

// Draws every page of the record in the chosen layout on Prev, which has an open document;
// starts on its current page and adds pages with NewPage. FirstNo is the running number of
// the first line; Weight is the main window's "重さ" box.
void PrintDataSheetContents(const TDataSheetChoice &choice, TPrevX *Prev, const TKelmo4Head &Head, int FirstNo,
                            bool Weight);

// The whole document on Prev: A4 in the chosen orientation, BeginDoc, the pages, EndDoc.
void DrawDataSheetDocument(TPrevX *Prev, const TKelmo4Head &Head, bool Weight);

// The main window's "ﾃﾞｰﾀｼｰﾄ" after it has registered the record: paper, preview window,
// pages, shown modally and released when it closes.
void ShowDataSheet(const TKelmo4Head &Head, bool Weight, QWidget *Parent);

// The exporter's "datasheet" form: loads the record by its ID and draws its document.
// Raises EKelmoError when there is no such record.
void ExportDataSheet(int RecordId, bool Weight, TPrevX *Prev);

// Plugs ShowDataSheet into the main window's "ﾃﾞｰﾀｼｰﾄ" button.
void PlugInDataSheet();
