#pragma once

class TKelmo4Head;
class TPrevX;

// "様式（３）" 測定結果表: the height data sheet of print style 0 (開発局), A4 portrait,
// 21 rows per page, with the summary block of standard, count, average and differences.

// The empty form of one page on Prev's current page.
void DrawTakasaFrameKaihatu(TPrevX *Prev);
// Every line of the record, frame and header on each page.
void PrintTakasaSheetKaihatu(TPrevX *Prev, const TKelmo4Head &Head, int FirstNo);
