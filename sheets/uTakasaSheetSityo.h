#pragma once

class TKelmo4Head;
class TPrevX;

// "様式（２－２）" 測定結果一覧表: the height data sheet of print style 2 (支庁), A4 landscape,
// 17 rows per page, with project, work type, contractor and measurer in its header. Prints
// the remarks whatever they hold.

void DrawTakasaFrameSityo(TPrevX *Prev);
void PrintTakasaSheetSityo(TPrevX *Prev, const TKelmo4Head &Head, int FirstNo);
