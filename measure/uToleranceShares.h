#pragma once

#include "measure/uKelmo4Line.h"

#include <QString>

#include <cstdint>

// How the differences of a record sit inside its standard values: the 50 % and 80 % bands,
// the standard itself and the company's own standard. Limits are millimetre texts, a blank
// side has no bound; differences are texts in the difference unit, and only those that
// read as numbers count ("欠測" is none).
enum class TToleranceBand {
    NotCounted, // not a number, or the record has no standard
    Within50,
    Within80,   // inside 80 %, outside 50 %
    Within100,  // inside the standard, outside 80 %
    Outside,
};

struct TToleranceMark
{
    TToleranceBand Band = TToleranceBand::NotCounted;
    bool OutsideOwn = false; // outside the company's own standard, when it has one
};

class TToleranceShares
{
public:
    TToleranceShares(const QString &diffUnit, const QString &upper, const QString &lower, const QString &upper2,
                     const QString &lower2);

    // Where one difference lies; counts it when it is a number.
    TToleranceMark Add(const QString &diff);
    void AddLine(const TKel4LineRow &line);
    // The same without counting.
    TToleranceMark Mark(const QString &diff) const;

    // False when both sides of the standard are blank: no bands ("規格値なし").
    bool HasStandard() const { return m_hasStandard; }
    bool HasOwnStandard() const { return m_hasOwn; }

    // Numeric differences; each band count includes the inner ones.
    int Count() const { return m_count; }
    int Within50() const { return m_within50; }
    int Within80() const { return m_within80; }
    int WithinStandard() const { return m_within100; }
    int Outside() const;
    int OutsideOwn() const { return m_outsideOwn; }

    // Part of Whole in percent, one decimal, rounded half up, no "%"; empty when Whole is 0.
    static QString ShareText(int part, int whole);

private:
    struct TBound
    {
        bool Given = false;
        std::int64_t Value = 0; // millionths of a millimetre
    };

    TBound m_upper, m_lower, m_upper2, m_lower2;
    bool m_hasStandard = false;
    bool m_hasOwn = false;
    int m_shift = 0; // decimal digits from the difference unit to millimetres
    int m_count = 0;
    int m_within50 = 0;
    int m_within80 = 0;
    int m_within100 = 0;
    int m_outsideOwn = 0;

    static TBound Limit(const QString &text);
    // A text IsFloatText accepts.
    TToleranceMark MarkOfNumber(const QString &number) const;
};
