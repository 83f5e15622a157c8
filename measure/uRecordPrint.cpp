#include "measure/uRecordPrint.h"

#include "measure/uKelmo4Head.h"
#include "printing/uPdfFileName.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/ukouku.h"

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

QString RecordFileTitle(const TKelmo4Head &head, const QString &form)
{
    return DocumentFileTitle({head.Koji->Code, head.Kosyu->Kosyumei, head.Kouku->Koukumei, head.SokuteiKoumoku, form});
}
