// CSV files from anywhere: reading never fails hard, every readable record written again
// reads back as the same fields, and the way into the grid stays inside the grid's columns.
#include "FuzzSupport.h"

#include "exchange/uCsv.h"
#include "exchange/uGridImport.h"
#include "measure/uGridCalc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const TCsvEncoding encoding = Csv::DetectEncoding(bytes);
    QList<QStringList> rows;
    for (const TCsvRecord &record : Csv::Parse(bytes, encoding)) {
        if (record.Problem.isEmpty())
            rows << record.Fields;
    }
    const QList<TCsvRecord> back = Csv::Parse(Csv::Compose(rows, TCsvEncoding::Utf8), TCsvEncoding::Utf8);
    FUZZ_CHECK(back.size() == rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i)
        FUZZ_CHECK(back.at(i).Problem.isEmpty() && back.at(i).Fields == rows.at(i));

    const TGridImport import(bytes);
    const TGridImport::TPlan plan = import.Plan(1, 0);
    for (const TGridImport::TEntry &entry : plan.Entries) {
        FUZZ_CHECK(entry.Row >= 1);
        for (const auto &cell : entry.Cells)
            FUZZ_CHECK(cell.first >= 1 && cell.first <= GridLayout::ColumnCount);
    }
    FUZZ_CHECK(plan.TooMany == (plan.LastRow > GridLayout::RowCount));
    return 0;
}
