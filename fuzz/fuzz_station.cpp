// Station numbering: the station text and the interval are split at the first NUL byte;
// whatever they hold, the result keeps the prefix and the suffix around the number.
#include "FuzzSupport.h"

#include "app/uCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype nul = bytes.indexOf('\0');
    const QString station = QString::fromUtf8(nul < 0 ? bytes : bytes.left(nul));
    const QString interval = nul < 0 ? QString() : QString::fromUtf8(bytes.mid(nul + 1));
    const QString result = AddToStationText(station, interval);
    qsizetype start = 0;
    while (start < station.size() && !(station.at(start) >= u'0' && station.at(start) <= u'9'))
        ++start;
    FUZZ_CHECK(result.startsWith(station.left(start)));
    qsizetype end = start;
    while (end < station.size() && station.at(end) >= u'0' && station.at(end) <= u'9')
        ++end;
    FUZZ_CHECK(result.endsWith(station.mid(end)));
    return 0;
}
