#include "measure/uToleranceShares.h"

#include "app/uCommon.h"
#include "measure/uUnits.h"

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {
// Values compare as whole millionths of a millimetre, so a difference exactly on a band
// ("12.5" against 25 × 0.5) is decided by its decimal text, not by binary rounding. Beyond
// 1e11 mm a value saturates: no standard is anywhere near, and ten times it still fits.
constexpr int kScaleDigits = 6;
constexpr std::int64_t kSaturated = 100'000'000'000'000'000; // 1e17 millionths

// A text IsFloatText accepts (sign, digits, one point, exponent), times 10^Shift, in
// millionths, rounded half away from zero.
std::int64_t Scaled(const QString &text, int shift)
{
    const QChar *p = text.constData();
    const QChar *end = p + text.size();
    bool negative = false;
    if (p != end && (*p == u'+' || *p == u'-'))
        negative = *p++ == u'-';
    // The significant digits; more than 19 only matter for saturation, so they are counted.
    char digits[19];
    long long digitCount = 0;
    int fractionDigits = 0;
    bool inFraction = false;
    for (; p != end && *p != u'e' && *p != u'E'; ++p) {
        if (*p == u'.') {
            inFraction = true;
            continue;
        }
        if (inFraction)
            ++fractionDigits;
        // Leading zeros carry nothing; the fraction count keeps their place.
        if (digitCount == 0 && *p == u'0')
            continue;
        if (digitCount < (long long)sizeof digits)
            digits[digitCount] = char(p->unicode() - u'0');
        ++digitCount;
    }
    int exponent = 0;
    if (p != end)
        exponent = QStringView(p + 1, end).toInt();
    // digits × 10^power is the value in millionths.
    const long long power = (long long)exponent - fractionDigits + kScaleDigits + shift;
    const long long kept = digitCount + power; // digits left of the point
    if (digitCount == 0 || kept < 0)
        return 0;
    if (kept > 17)
        return negative ? -kSaturated : kSaturated;
    const long long stored = std::min(digitCount, (long long)sizeof digits);
    std::int64_t v = 0;
    for (long long i = 0; i < kept; ++i)
        v = v * 10 + (i < stored ? digits[i] : 0);
    if (kept < stored && digits[kept] >= 5)
        ++v;
    v = std::min(v, kSaturated);
    return negative ? -v : v;
}

int ShiftOf(const QString &unit)
{
    const double factor = UnitFactor(unit);
    return factor == 1000 ? 3 : factor == 10 ? 1 : 0;
}

bool IsNumber(const QString &text, QString *trimmed)
{
    *trimmed = text.trimmed();
    return IsFloatText(*trimmed);
}
} // namespace

TToleranceShares::TToleranceShares(const QString &diffUnit, const QString &upper, const QString &lower,
                                   const QString &upper2, const QString &lower2)
    : m_upper(Limit(upper))
    , m_lower(Limit(lower))
    , m_upper2(Limit(upper2))
    , m_lower2(Limit(lower2))
    , m_hasStandard(m_upper.Given || m_lower.Given)
    , m_hasOwn(m_upper2.Given || m_lower2.Given)
    , m_shift(ShiftOf(diffUnit))
{
}

TToleranceShares::TBound TToleranceShares::Limit(const QString &text)
{
    QString trimmed;
    if (text.trimmed().isEmpty())
        return {};
    if (IsNumber(text, &trimmed))
        return {true, Scaled(trimmed, 0)};
    // Read as the charts read a limit for their lines.
    const double mm = std::clamp(TextToFloat(text) * 1e6, -double(kSaturated), double(kSaturated));
    return {true, std::int64_t(std::llround(mm))};
}

TToleranceMark TToleranceShares::Mark(const QString &diff) const
{
    QString trimmed;
    return IsNumber(diff, &trimmed) ? MarkOfNumber(trimmed) : TToleranceMark();
}

TToleranceMark TToleranceShares::MarkOfNumber(const QString &number) const
{
    TToleranceMark mark;
    const std::int64_t d = Scaled(number, m_shift);
    // Tenths of the standard, and never beyond the standard itself: with a negative upper
    // (or positive lower) standard, k × U lies outside U, and the bands must still nest.
    const auto inside = [&](int tenths) {
        const bool belowUpper = !m_upper.Given || (10 * d <= tenths * m_upper.Value && d <= m_upper.Value);
        const bool aboveLower = !m_lower.Given || (10 * d >= tenths * m_lower.Value && d >= m_lower.Value);
        return belowUpper && aboveLower;
    };
    if (m_hasStandard) {
        mark.Band = inside(5)    ? TToleranceBand::Within50
                    : inside(8)  ? TToleranceBand::Within80
                    : inside(10) ? TToleranceBand::Within100
                                 : TToleranceBand::Outside;
    }
    mark.OutsideOwn = m_hasOwn
                      && ((m_upper2.Given && d > m_upper2.Value) || (m_lower2.Given && d < m_lower2.Value));
    return mark;
}

TToleranceMark TToleranceShares::Add(const QString &diff)
{
    QString trimmed;
    if (!IsNumber(diff, &trimmed))
        return {};
    const TToleranceMark mark = MarkOfNumber(trimmed);
    ++m_count;
    switch (mark.Band) {
    case TToleranceBand::Within50:
        ++m_within50;
        [[fallthrough]];
    case TToleranceBand::Within80:
        ++m_within80;
        [[fallthrough]];
    case TToleranceBand::Within100:
        ++m_within100;
        break;
    case TToleranceBand::Outside:
    case TToleranceBand::NotCounted:
        break;
    }
    if (mark.OutsideOwn)
        ++m_outsideOwn;
    return mark;
}

void TToleranceShares::AddLine(const TKel4LineRow &line)
{
    for (int column : {5, 8, 11})
        Add(line.Cell(column));
}

int TToleranceShares::Outside() const
{
    return m_hasStandard ? m_count - m_within100 : 0;
}

QString TToleranceShares::ShareText(int part, int whole)
{
    if (whole <= 0)
        return QString();
    // Tenths of a percent, rounded half up in whole numbers.
    const std::int64_t tenths = (std::int64_t(part) * 2000 + whole) / (2 * std::int64_t(whole));
    return u"%1.%2"_s.arg(tenths / 10).arg(tenths % 10);
}
