#pragma once

class TKelmo4Head;
class TPrevX;

// "様式－３" …のでき形測定表: the thickness and width data sheet of print style 1
// (土木現業所), A4 portrait, 16 tall rows per page with a wide remarks column.

void DrawAtusaFrameDoboku(TPrevX *Prev);
void PrintAtusaSheetDoboku(TPrevX *Prev, const TKelmo4Head &Head, int FirstNo);
