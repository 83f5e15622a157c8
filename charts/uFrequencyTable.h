#pragma once

class TKelmo4Head;
class TPrevX;

// The frequency table "度数表" of print style 2: one landscape A4 page, drawn between
// BeginDoc and EndDoc on Prev. Weight is the main window's "重さ" box: the average's unit
// then reads "t".
void DrawFrequencyTable(TPrevX *Prev, const TKelmo4Head &Head, bool Weight);
