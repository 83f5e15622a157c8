#pragma once

#include <QString>

class TKelmo4Head;
class TPrevX;

// "様式（２）" 測定結果表: the thickness and width data sheet of print style 0 (開発局), A4
// portrait, 17 rows of centre values per page, with design range, standard range, count,
// differences and the comparison with the standard (合格判定値との対比).

void DrawAtusaFrameKaihatu(TPrevX *Prev);
void PrintAtusaSheetKaihatu(TPrevX *Prev, const TKelmo4Head &Head, int FirstNo);

// The comparison of the signed average with the standard values (signed, in the difference
// unit); an empty text when neither limit is given.
QString ComparisonText(const QString &average, const QString &lower, const QString &upper);
// "min～max(unit)", or "max(unit)" when the two are the same.
QString DesignRangeText(const QString &minText, const QString &maxText, const QString &unit);
