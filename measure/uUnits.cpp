#include "measure/uUnits.h"

#include "app/uCommon.h"

#include <cmath>

using namespace Qt::Literals::StringLiterals;

double UnitFactor(const QString &unit)
{
    if (unit == u"ｍ"_s)
        return 1000;
    if (unit == u"㎝"_s)
        return 10;
    return 1;
}

int DecimalsFor(double factor, double step)
{
    if (!(step > 0))
        step = 1;
    // The quotients are powers of ten written in decimal (1000 / 0.1); the small margin
    // keeps a binary result such as 2.9999999999999996 from losing a decimal.
    const double l = std::floor(std::log10(factor / step) + 1e-9);
    if (!std::isfinite(l) || l < 0)
        return 0;
    // Beyond 15 decimals a double holds no further digits.
    return int(std::fmin(l, 15));
}

int Dec(const QString &unit, const QString &output)
{
    return DecimalsFor(UnitFactor(unit), TextToFloat(output));
}
