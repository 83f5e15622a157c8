// Number and date texts: no input crashes, a strict number converts the same way leniently,
// and the general format of a number reads back as the same number to 15 digits.
#include "FuzzSupport.h"

#include "app/uCommon.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = FuzzText(data, size);
    const double lenient = TextToFloat(text);
    FUZZ_CHECK(std::isfinite(lenient));
    const double orMax = TextToFloatOrMax(text);
    if (IsFloatText(text)) {
        FUZZ_CHECK(std::isfinite(orMax));
        const QString general = FormatGeneral(orMax);
        FUZZ_CHECK(IsFloatText(general));
        const double back = TextToFloatOrMax(general);
        FUZZ_CHECK(std::fabs(back - orMax) <= std::fabs(orMax) * 1e-14);
        for (int n = 0; n <= 4; ++n) {
            FUZZ_CHECK(std::isfinite(RoundTo(n, orMax)));
            FUZZ_CHECK(IsFloatText(FormatFixed(orMax, n)) || std::fabs(orMax) >= 1e300);
        }
    } else {
        FUZZ_CHECK(orMax == 1e12);
    }
    const QDate date = TextToDate(text);
    FUZZ_CHECK(date.isValid() == IsDateText(text));
    if (date.isValid())
        FUZZ_CHECK(TextToDate(DateToText(date)) == date);
    (void)SignedText(text);
    (void)ItemCode(text);
    (void)ItemName(text);
    (void)Format80Percent(lenient);
    (void)TruncToInt(lenient);
    return 0;
}
