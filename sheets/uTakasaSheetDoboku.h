#pragma once

class TKelmo4Head;
class TPrevX;

// The height data sheet of print style 1 (土木現業所), "…のでき形測定表": A4 landscape,
// 17 rows per page, closed by the units line of the record being printed.

// The empty form of one page; the units line shows the record's units.
void DrawTakasaFrameDoboku(TPrevX *Prev, const TKelmo4Head &Head);
void PrintTakasaSheetDoboku(TPrevX *Prev, const TKelmo4Head &Head, int FirstNo);
