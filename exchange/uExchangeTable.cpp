#include "exchange/uExchangeTable.h"

#include "app/Errors.h"
#include "exchange/uXlsxWriter.h"

#include <QDir>
#include <QSaveFile>

using namespace Qt::Literals::StringLiterals;

void TExchangeTable::WriteCsv(const QString &path, TCsvEncoding encoding) const
{
    QList<QStringList> lines;
    lines.reserve(Rows.size() + 1);
    lines << Headings;
    lines << Rows;
    const QByteArray bytes = Csv::Compose(lines, encoding);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw EFileError(u"CSV ファイル「%1」を保存できません（%2）。保存先のフォルダに書き込めるか確かめてください。"_s.arg(
            QDir::toNativeSeparators(path), file.errorString()));
}

void TExchangeTable::WriteXlsx(const QString &path) const
{
    // Sheet names may not hold []:*?/\ and are at most 31 characters.
    QString sheetName = Title;
    for (QChar &c : sheetName) {
        if (QStringLiteral("[]:*?/\\").contains(c))
            c = u'_';
    }
    TXlsxWriter xlsx(path, sheetName.left(31));
    int row = 0;
    if (!Title.isEmpty()) {
        xlsx.WriteText(row, 0, Title, true, false);
        row += 2;
    }
    for (const auto &[label, value] : Header) {
        xlsx.WriteText(row, 0, label, true);
        xlsx.WriteValue(row, 1, value, false);
        ++row;
    }
    if (!Header.isEmpty())
        ++row;
    for (int c = 0; c < Headings.size(); ++c)
        xlsx.WriteText(row, c, Headings.at(c), true);
    ++row;
    for (const QStringList &line : Rows) {
        for (int c = 0; c < line.size(); ++c)
            xlsx.WriteValue(row, c, line.at(c));
        ++row;
    }
    xlsx.Close();
}

void TExchangeTable::Write(const QString &path, TCsvEncoding encoding) const
{
    if (path.endsWith(u".xlsx"_s, Qt::CaseInsensitive))
        WriteXlsx(path);
    else
        WriteCsv(path, encoding);
}

QString TExchangeTable::PathWithSuffix(const QString &path, const QString &suffix)
{
    if (path.endsWith(suffix, Qt::CaseInsensitive))
        return path;
    for (const QString &other : {u".xlsx"_s, u".csv"_s}) {
        if (path.endsWith(other, Qt::CaseInsensitive))
            return path.left(path.size() - other.size()) + suffix;
    }
    return path + suffix;
}
