// Ranges "a_b": any text gives finite bounds, two given numbers come out ordered, and a
// random value stays within them.
#include "FuzzSupport.h"

#include "app/uCommon.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = FuzzText(data, size);
    const double lower = RangeLower(text);
    const double upper = RangeUpper(text);
    FUZZ_CHECK(std::isfinite(lower) && std::isfinite(upper));
    const qsizetype bar = text.indexOf(u'_');
    if (bar > 0 && bar + 1 < text.size() && IsFloatText(text.left(bar)) && IsFloatText(text.mid(bar + 1)))
        FUZZ_CHECK(lower <= upper);
    if (lower <= upper) {
        const double v = RandomInRange(text);
        FUZZ_CHECK(v >= lower && (v < upper || lower == upper || v - upper <= std::fabs(upper) * 1e-15));
    }
    return 0;
}
