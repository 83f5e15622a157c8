#include "app/IniFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QSettings>
#include <QTemporaryFile>
#include <QVariant>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {
// A settings file is small; of anything larger only the start is ours to read.
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

// Values by QSettings key: "key" at the top level, "group/key" in a group.
using TValues = QMap<QString, QVariant>;

struct TStamp
{
    bool Exists = false;
    qint64 Size = -1;
    QDateTime Modified;
    bool operator==(const TStamp &) const = default;
};

struct TCached
{
    TStamp Stamp;
    TValues Values;
};

QHash<QString, TCached> &Cache()
{
    static QHash<QString, TCached> cache;
    return cache;
}

TStamp StampOf(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.isFile())
        return {};
    return {true, info.size(), info.lastModified()};
}

QString PathOf(const QString &group, const QString &key)
{
    return group.isEmpty() ? key : group + u'/' + key;
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

// "%25" and the like, as QSettings spells such characters in keys; "%_" stays as it is.
QString UnescapeKey(const QString &key)
{
    QString out;
    for (qsizetype i = 0; i < key.size(); ++i) {
        bool ok = false;
        const uint code = key.at(i) == u'%' && i + 2 < key.size() ? QStringView(key).mid(i + 1, 2).toUInt(&ok, 16) : 0;
        if (ok) {
            out += QChar(char16_t(code));
            i += 2;
        } else {
            out += key.at(i);
        }
    }
    return out;
}

QStringList LinesOf(const QByteArray &bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return lines;
}

// QSettings never writes a key before the first group, nor an unquoted value holding
// ',', ';', '=', a bare '"' or blanks at its ends; the program's older files do.
bool IsOlderForm(const QStringList &lines)
{
    bool inGroup = false;
    for (const QString &line : lines) {
        if (line.startsWith(u'[')) {
            inGroup = true;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0 || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (!inGroup)
            return true;
        const QString value = line.mid(eq + 1);
        if (value.isEmpty() || value.startsWith(u'"'))
            continue;
        if (value.startsWith(u' ') || value.endsWith(u' ') || value.contains(u',') || value.contains(u';')
            || value.contains(u'='))
            return true;
        for (qsizetype i = value.indexOf(u'"'); i >= 0; i = value.indexOf(u'"', i + 1)) {
            if (value.at(i - 1) != u'\\')
                return true;
        }
    }
    return false;
}

TValues ParseOlderForm(const QStringList &lines)
{
    TValues values;
    QString group;
    for (const QString &line : lines) {
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            group = line.mid(1, line.size() - 2);
            // As in QSettings, [General] holds the top-level keys.
            if (group.compare(u"General"_s, Qt::CaseInsensitive) == 0)
                group.clear();
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0 || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        // The last of repeated keys wins, as when the file was edited by hand.
        values.insert(PathOf(group, UnescapeKey(line.left(eq))), Unescape(line.mid(eq + 1)));
    }
    return values;
}

TValues ParseWithQSettings(const QString &fileName)
{
    TValues values;
    QSettings settings(fileName, QSettings::IniFormat);
    const QStringList keys = settings.allKeys();
    for (const QString &key : keys)
        values.insert(key, settings.value(key));
    return values;
}

TValues ReadValues(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const bool whole = file.size() <= kMaxFileSize;
    const QByteArray bytes = file.read(qBound<qint64>(0, file.size(), kMaxFileSize));
    file.close();
    const QStringList lines = LinesOf(bytes);
    if (IsOlderForm(lines))
        return ParseOlderForm(lines);
    if (whole)
        return ParseWithQSettings(fileName);
    QTemporaryFile start;
    if (!start.open() || start.write(bytes) != bytes.size())
        return {};
    start.close();
    return ParseWithQSettings(start.fileName());
}

const TValues &Load(const QString &fileName)
{
    TCached &cached = Cache()[fileName];
    const TStamp stamp = StampOf(fileName);
    if (!(cached.Stamp == stamp)) {
        cached.Values = stamp.Exists ? ReadValues(fileName) : TValues();
        cached.Stamp = stamp;
    }
    return cached.Values;
}

QString TextOf(const QVariant &value)
{
    // A hand-written list ("a, b") is one text to the program.
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(u", "_s);
    return value.toString();
}

// Writes all values to a new file beside the old one, then puts it in the old one's place,
// so a failure anywhere leaves the old file whole.
bool Save(const QString &fileName, const TValues &values)
{
    const QFileInfo info(fileName);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    QTemporaryFile fresh(info.absoluteFilePath() + u".XXXXXX"_s);
    if (!fresh.open())
        return false;
    fresh.close();
    {
        QSettings settings(fresh.fileName(), QSettings::IniFormat);
        for (auto it = values.constBegin(); it != values.constEnd(); ++it)
            settings.setValue(it.key(), it.value());
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return false;
    }
    if (std::rename(QFile::encodeName(fresh.fileName()).constData(), QFile::encodeName(fileName).constData()) != 0)
        return false;
    fresh.setAutoRemove(false);
    return true;
}
} // namespace

TIniFile::TIniFile(QString fileName)
    : m_fileName(std::move(fileName))
{
}

QString TIniFile::Read(const QString &group, const QString &key, bool caseSensitiveGroup) const
{
    const TValues &values = Load(m_fileName);
    const auto found = values.constFind(PathOf(group, key));
    if (found != values.constEnd())
        return TextOf(found.value());
    if (caseSensitiveGroup || group.isEmpty())
        return QString();
    const QString wanted = PathOf(group, key);
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        if (it.key().compare(wanted, Qt::CaseInsensitive) == 0 && it.key().endsWith(u'/' + key))
            return TextOf(it.value());
    }
    return QString();
}

bool TIniFile::Contains(const QString &group, const QString &key) const
{
    return Load(m_fileName).contains(PathOf(group, key));
}

bool TIniFile::Write(const QString &group, const QString &key, const QString &value)
{
    TValues values = Load(m_fileName);
    values.insert(PathOf(group, key), value);
    if (!Save(m_fileName, values))
        return false;
    TCached &cached = Cache()[m_fileName];
    cached.Values = std::move(values);
    cached.Stamp = StampOf(m_fileName);
    return true;
}

bool TIniFile::WriteGroup(const QString &group, const QList<QPair<QString, QString>> &pairs)
{
    TValues values = Load(m_fileName);
    for (const auto &[key, value] : pairs) {
        if (value.isEmpty())
            values.remove(PathOf(group, key));
        else
            values.insert(PathOf(group, key), value);
    }
    if (!Save(m_fileName, values))
        return false;
    TCached &cached = Cache()[m_fileName];
    cached.Values = std::move(values);
    cached.Stamp = StampOf(m_fileName);
    return true;
}

bool TIniFile::Touch()
{
    const QFileInfo info(m_fileName);
    if (info.exists())
        return info.isFile();
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    QFile file(m_fileName);
    return file.open(QIODevice::WriteOnly);
}
