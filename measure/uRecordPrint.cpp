#include "measure/uRecordPrint.h"

#include <array>

namespace {
std::array<TRecordPrintRoutine, 3> &Routines()
{
    static std::array<TRecordPrintRoutine, 3> routines;
    return routines;
}
} // namespace

void SetRecordPrintRoutine(TRecordForm form, TRecordPrintRoutine routine)
{
    Routines()[size_t(form)] = std::move(routine);
}

const TRecordPrintRoutine &RecordPrintRoutine(TRecordForm form)
{
    return Routines()[size_t(form)];
}
