#include "exchange/uGridImport.h"

#include "app/SjisText.h"
#include "app/uCommon.h"
#include "app/uDatabase.h"
#include "measure/uGridCalc.h"
#include "measure/uKelmo4Line.h"

using namespace Qt::Literals::StringLiterals;
using namespace GridLayout;

namespace {
int ColumnOfHeading(const QString &text)
{
    const QString t = text.trimmed();
    for (int c = 1; c <= ColumnCount; ++c) {
        if (t == ColumnHeading(c))
            return c;
    }
    return 0;
}
} // namespace

TGridImport::TGridImport(QByteArray bytes)
    : m_bytes(std::move(bytes))
    , m_encoding(Csv::DetectEncoding(m_bytes))
{
    Detect();
}

void TGridImport::SetEncoding(TCsvEncoding encoding)
{
    m_encoding = encoding;
    Detect();
}

void TGridImport::Detect()
{
    m_records = Csv::Parse(m_bytes, m_encoding);
    // Blank lines at the end carry no row.
    while (!m_records.isEmpty() && m_records.last().IsBlank() && m_records.last().Problem.isEmpty())
        m_records.removeLast();
    SetHeadingLine(DetectedHeadingLine());
}

bool TGridImport::DetectedHeadingLine() const
{
    if (m_records.isEmpty() || !m_records.first().Problem.isEmpty())
        return false;
    for (const QString &field : m_records.first().Fields) {
        if (ColumnOfHeading(field) > 0)
            return true;
    }
    return false;
}

void TGridImport::SetHeadingLine(bool headingLine)
{
    m_headingLine = headingLine && !m_records.isEmpty();
    if (m_headingLine)
        MapByHeadings();
    else
        MapByPosition();
}

int TGridImport::FileColumns() const
{
    int n = 0;
    for (const TCsvRecord &r : m_records)
        n = qMax(n, int(r.Fields.size()));
    return n;
}

QString TGridImport::FileHeading(int fileColumn) const
{
    if (m_records.isEmpty() || fileColumn >= m_records.first().Fields.size())
        return QString();
    return m_records.first().Fields.at(fileColumn);
}

void TGridImport::MapByPosition()
{
    Mapping.clear();
    for (int i = 0; i < FileColumns(); ++i)
        Mapping << (i < ColumnCount ? i + 1 : 0);
}

void TGridImport::MapByHeadings()
{
    Mapping.clear();
    QList<bool> taken(ColumnCount + 1, false);
    for (int i = 0; i < FileColumns(); ++i) {
        const int c = ColumnOfHeading(FileHeading(i));
        // A heading that comes twice is read once, from its first column.
        Mapping << (c > 0 && !taken[c] ? c : 0);
        taken[c] = true;
    }
}

QList<TCsvRecord> TGridImport::DataRecords() const
{
    return m_headingLine ? m_records.mid(1) : m_records;
}

TGridImport::TPlan TGridImport::Plan(int startRow, int formType) const
{
    TPlan plan;
    plan.FirstRow = startRow;
    const QList<TCsvRecord> records = DataRecords();
    if (!records.isEmpty()) {
        plan.LastRow = startRow + int(records.size()) - 1;
        plan.TooMany = plan.LastRow > RowCount;
    }
    // The outer groups are hidden for thickness and width: values there would be stored
    // unseen, so they are not read.
    const bool centreOnly = formType == 1 || formType == 2;
    QList<int> mapping = Mapping;
    QList<bool> used(ColumnCount + 1, false);
    for (int i = 0; i < mapping.size(); ++i) {
        const int c = mapping.at(i);
        if (c <= 0 || c > ColumnCount)
            continue;
        if (used[c]) {
            plan.Notes << u"「%1」には複数の列が割り当てられています。最初の列だけを読みます。"_s.arg(ColumnHeading(c));
            mapping[i] = 0;
        } else if (centreOnly && (GroupOf(c) == 0 || GroupOf(c) == 2)) {
            plan.Notes << u"様式が「%1」のため「%2」の列は読みません（左・右の列は使いません）。"_s.arg(
                formType == 1 ? u"厚さ"_s : u"幅"_s, ColumnHeading(c));
            mapping[i] = 0;
        }
        used[c] = true;
    }
    const TTableDef &def = TKelmo4Line::TableDef();
    const QStringList &fields = Kel4LineCellFields();
    for (qsizetype k = 0; k < records.size(); ++k) {
        const TCsvRecord &record = records.at(k);
        if (!record.Problem.isEmpty()) {
            plan.Problems << TProblem{record.Line, record.Problem};
            continue;
        }
        TEntry entry;
        entry.Row = startRow + int(k);
        entry.Line = record.Line;
        QString problem;
        // A mapped column the line does not reach is empty there, as in the spreadsheet.
        for (int i = 0; i < mapping.size(); ++i) {
            const int c = mapping.at(i);
            if (c <= 0)
                continue;
            QString text = i < record.Fields.size() ? record.Fields.at(i) : QString();
            if (GroupOf(c) >= 0)
                text = HalfWidthNumberText(text.trimmed());
            const int bytes = SjisText::ByteLength(text);
            const TFieldDef *field = def.Field(fields.at(c - 1));
            if (bytes < 0) {
                problem = u"「%1」の「%2」に Shift-JIS にない文字「%3」があり、登録できません"_s.arg(
                    ColumnHeading(c), text, SjisText::FirstUnencodable(text));
                break;
            }
            if (field && bytes > field->Size) {
                problem = u"「%1」の「%2」が長すぎます（%3 バイトまで、全角は 1 文字 2 バイト）"_s.arg(
                    ColumnHeading(c), text, QString::number(field->Size));
                break;
            }
            entry.Cells << qMakePair(c, text);
        }
        if (!problem.isEmpty())
            plan.Problems << TProblem{record.Line, problem};
        else
            plan.Entries << entry;
    }
    return plan;
}
