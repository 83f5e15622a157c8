#include "app/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::Literals::StringLiterals;

namespace {
// Values may hold any text; line breaks and backslashes are escaped so one value is one line.
QString Escape(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        if (c == u'\\')
            out += u"\\\\"_s;
        else if (c == u'\n')
            out += u"\\n"_s;
        else if (c == u'\r')
            out += u"\\r"_s;
        else
            out += c;
    }
    return out;
}

QString Unescape(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\\' && i + 1 < value.size()) {
            const QChar n = value.at(++i);
            out += n == u'n' ? QChar(u'\n') : n == u'r' ? QChar(u'\r') : n;
        } else {
            out += c;
        }
    }
    return out;
}

constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;
} // namespace

TIniFile::TIniFile(QString fileName)
    : m_fileName(std::move(fileName))
{
}

QList<TIniFile::Entry> TIniFile::Load() const
{
    QList<Entry> entries;
    QFile file(m_fileName);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    // A settings file is small; anything huge is not ours and is read only in part. Asking
    // for no more than the file holds keeps each read from reserving the whole limit.
    const QString text = QString::fromUtf8(file.read(qBound<qint64>(0, file.size(), kMaxFileSize)));
    QString group;
    const QStringList lines = text.split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0 || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        entries.append({group, line.left(eq), Unescape(line.mid(eq + 1))});
    }
    return entries;
}

QString TIniFile::Read(const QString &group, const QString &key, bool caseSensitiveGroup) const
{
    const Qt::CaseSensitivity cs = caseSensitiveGroup ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QList<Entry> entries = Load();
    // The last of repeated keys wins, as when the file was edited by hand.
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
        if (entries[i].Key == key && entries[i].Group.compare(group, cs) == 0)
            return entries[i].Value;
    }
    return QString();
}

bool TIniFile::Contains(const QString &group, const QString &key) const
{
    const QList<Entry> entries = Load();
    for (const Entry &e : entries) {
        if (e.Key == key && e.Group == group)
            return true;
    }
    return false;
}

bool TIniFile::Write(const QString &group, const QString &key, const QString &value)
{
    QList<Entry> entries = Load();
    bool found = false;
    for (Entry &e : entries) {
        if (e.Key == key && e.Group == group) {
            e.Value = value;
            found = true;
        }
    }
    if (!found)
        entries.append({group, key, value});

    if (!QDir().mkpath(QFileInfo(m_fileName).absolutePath()))
        return false;

    QString text;
    // Top-level keys first, then each group in the order first met.
    QStringList groups;
    for (const Entry &e : entries) {
        if (!groups.contains(e.Group))
            groups.append(e.Group);
    }
    groups.removeAll(QString());
    groups.prepend(QString());
    for (const QString &g : groups) {
        bool any = false;
        for (const Entry &e : entries) {
            if (e.Group != g)
                continue;
            if (!any && !g.isEmpty())
                text += u'[' + g + u"]\n"_s;
            any = true;
            text += e.Key + u'=' + Escape(e.Value) + u'\n';
        }
    }

    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text.toUtf8());
    return file.commit();
}

bool TIniFile::Touch()
{
    if (QFileInfo::exists(m_fileName))
        return true;
    if (!QDir().mkpath(QFileInfo(m_fileName).absolutePath()))
        return false;
    QFile file(m_fileName);
    return file.open(QIODevice::WriteOnly);
}
