#include "support/PdfTools.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

bool HavePdfTools()
{
    return !QStandardPaths::findExecutable(u"pdfinfo"_s).isEmpty()
        && !QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty();
}

TPdfInfo ReadPdfInfo(const QString &fileName)
{
    TPdfInfo info;
    QProcess process;
    process.start(u"pdfinfo"_s, {u"-f"_s, u"1"_s, u"-l"_s, u"9999"_s, fileName});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return info;
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    const QRegularExpression pages(u"^Pages:\\s+(\\d+)"_s, QRegularExpression::MultilineOption);
    const QRegularExpression size(u"^Page\\s+\\d+ size:\\s+([\\d.]+) x ([\\d.]+) pts"_s,
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = pages.match(text);
    if (!m.hasMatch())
        return info;
    info.Read = true;
    info.Pages = m.captured(1).toInt();
    auto it = size.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch s = it.next();
        info.PageSizes.append(QSizeF(s.captured(1).toDouble(), s.captured(2).toDouble()));
    }
    return info;
}

QString PdfPageText(const QString &fileName, int page)
{
    QProcess process;
    process.start(u"pdftotext"_s,
                  {u"-f"_s, QString::number(page), u"-l"_s, QString::number(page), fileName, u"-"_s});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    QString text = QString::fromUtf8(process.readAllStandardOutput());
    text.remove(QRegularExpression(u"\\s"_s));
    return text;
}
