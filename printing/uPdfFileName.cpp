#include "printing/uPdfFileName.h"

#include "app/RegistryUtility.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

namespace {
QString SafePart(const QString &part)
{
    QString safe;
    safe.reserve(part.size());
    for (const QChar c : part) {
        // Forbidden on Windows or Unix file systems, so that a copy can be taken anywhere.
        const bool bad = c.unicode() < 0x20 || u"\\/:*?\"<>|"_s.contains(c);
        safe += bad ? QChar(u'_') : c;
    }
    // Windows drops trailing dots and spaces, which would merge names.
    while (!safe.isEmpty() && (safe.back() == u'.' || safe.back().isSpace()))
        safe.chop(1);
    return safe.trimmed();
}
} // namespace

QString DocumentFileTitle(const QStringList &parts)
{
    QStringList kept;
    for (const QString &part : parts) {
        const QString trimmed = part.trimmed();
        if (trimmed.isEmpty() || trimmed == u"#"_s)
            continue;
        const QString safe = SafePart(trimmed);
        if (!safe.isEmpty())
            kept.append(safe);
    }
    return kept.join(u'_');
}

QString LastPdfFolderSetting()
{
    return u"LastPdfFolder"_s;
}

QString ProposedPdfPath(const QString &fileTitle)
{
    QString folder = ReadSetting(LastPdfFolderSetting());
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            folder = QDir::homePath();
    }
    const QString name = fileTitle.isEmpty() ? u"ケルモ４"_s : fileTitle;
    return QDir(folder).filePath(name + u".pdf"_s);
}

void RememberPdfFolder(const QString &fileName)
{
    WriteSetting(LastPdfFolderSetting(), QFileInfo(fileName).absolutePath());
}
