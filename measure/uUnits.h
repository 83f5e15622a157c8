#pragma once

#include <QString>

// Units of values and differences. Every computation goes through millimetres: a value
// times the factor of its unit is millimetres, millimetres divided by the target unit's
// factor is the result.

// Millimetres per unit: "ｍ" 1000, "㎝" 10, anything else (also "㎜", empty, "m") 1.
double UnitFactor(const QString &unit);

// Decimals of a figure in Unit when Output (millimetres) is its significant step: the
// integer part of log10(UnitFactor(Unit) / Output), never below 0. An output unit that is
// empty, zero or negative counts as 1 mm.
int Dec(const QString &unit, const QString &output);

// The same rule on numbers: integer part of log10(factor / step), not below 0; a step that
// is not positive counts as 1.
int DecimalsFor(double factor, double step);
