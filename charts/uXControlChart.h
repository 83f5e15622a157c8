#pragma once

class TKelmo4Head;
class TPageCanvas;
class TPrevX;

// The X control chart "Ｘ管理図" of print styles 0 and 1: landscape A4 pages of 20 columns,
// drawn between BeginDoc and EndDoc on Prev. A record without lines leaves the one page
// empty.
void DrawXControlChart(TPrevX *Prev, const TKelmo4Head &Head);
// The fixed form of one page, with the heavy grid lines on the value 0 at ZeroY.
void DrawXChartFrame(TPageCanvas *Canvas, double ZeroY);
