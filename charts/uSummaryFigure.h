#pragma once

class TKelmo4Head;
class TPrevX;

// The as-built summary figure "でき形測定取りまとめ図" of print styles 0 and 1: one portrait
// A4 page, drawn between BeginDoc and EndDoc on Prev.
void DrawSummaryFigure(TPrevX *Prev, const TKelmo4Head &Head);
