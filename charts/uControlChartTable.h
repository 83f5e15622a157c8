#pragma once

class QString;
class TKelmo4Head;
class TPageCanvas;
class TPrevX;

// The as-built control chart table "出来形管理図表" (様式(2-2)) of print style 2: landscape
// A4 pages of 20 columns, drawn between BeginDoc and EndDoc on Prev. Weight is the main
// window's "重さ" box: the unit then reads "t". A record without lines leaves the one page
// empty.
void DrawControlChartTable(TPrevX *Prev, const TKelmo4Head &Head, bool Weight);
// The fixed form of one page, with the heavy grid lines on the value 0 at ZeroY.
void DrawChartTableFrame(TPageCanvas *Canvas, const QString &UnitText, double ZeroY);
