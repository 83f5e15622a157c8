#pragma once

#include <QString>

class TKelmo4Head;
class TPrevX;

// "様式（２－１）" 測定結果一覧表: the thickness and width data sheet of print style 2 (支庁),
// A4 landscape, two tables of 12 rows side by side (24 rows per page), with the standard in
// column Ｄ at the first row of each table and "〃" below it.

// The empty form; the headings carry the units of values (A) and differences (C).
void DrawAtusaFrameSityo(TPrevX *Prev, const QString &UnitA, const QString &UnitC);
// FirstNo is the running number of the first line; Weight is the main window's "重さ" box,
// which turns both units of the headings into "t".
void PrintAtusaSheetSityo(TPrevX *Prev, const TKelmo4Head &Head, int FirstNo, bool Weight);

// Column Ｄ: lower "～" upper in the difference unit, general format; a blank limit is left
// out, and no limit at all gives an empty text.
QString StandardColumnText(const QString &lower, const QString &upper, const QString &saTanni);
