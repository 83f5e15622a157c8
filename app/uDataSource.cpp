#include "app/uDataSource.h"

#include "app/AppPaths.h"
#include "app/IniFile.h"
#include "app/uDatabase.h"

#include <QDir>
#include <QHash>

using namespace Qt::Literals::StringLiterals;

namespace {
QString WithSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QHash<QString, TDataSource> &AliasOverrides()
{
    static QHash<QString, TDataSource> overrides;
    return overrides;
}

bool IsServerDriver(const QString &driver)
{
    return driver.compare(u"QPSQL"_s, Qt::CaseInsensitive) == 0;
}
} // namespace

QString TDataSource::Describe() const
{
    if (!IsServer())
        return QDir::toNativeSeparators(Folder);
    return u"サーバー %1:%2 のデータベース %3（ユーザー %4）"_s.arg(Host, QString::number(Port), Database,
                                                              User.isEmpty() ? u"既定"_s : User);
}

QString TDataSource::Problem() const
{
    if (!IsServer())
        return Folder.isEmpty() ? u"データフォルダが指定されていません。"_s : QString();
    QStringList missing;
    if (Host.trimmed().isEmpty())
        missing.append(u"サーバー名（Host）"_s);
    if (Database.trimmed().isEmpty())
        missing.append(u"データベース名（Database）"_s);
    if (!missing.isEmpty())
        return u"%1が指定されていません。「環境設定」で指定してください。"_s.arg(missing.join(u"と"_s));
    if (Port <= 0 || Port > 65535)
        return u"ポート番号 %1 は使えません。1 から 65535 までの番号を指定してください（PostgreSQL の既定は 5432 です）。"_s.arg(Port);
    return QString();
}

bool TDataSource::operator==(const TDataSource &other) const
{
    if (Kind != other.Kind)
        return false;
    if (!IsServer())
        return Folder == other.Folder;
    return Host == other.Host && Port == other.Port && Database == other.Database && User == other.User;
}

TDataSource GetAliasSource(const QString &alias)
{
    const auto found = AliasOverrides().constFind(alias.toLower());
    if (found != AliasOverrides().constEnd())
        return found.value();
    TIniFile config(AppPaths::AliasFile());
    const QString group = alias.toLower();
    TDataSource source;
    const QString path = config.Read(group, u"Path"_s, false);
    source.Folder = WithSlash(path.isEmpty() ? AppPaths::DefaultDataFolder() : path);
    if (IsServerDriver(config.Read(group, u"Driver"_s, false))) {
        source.Kind = TDataSource::TKind::Server;
        source.Host = config.Read(group, u"Host"_s, false).trimmed();
        const QString port = config.Read(group, u"Port"_s, false).trimmed();
        bool ok = true;
        source.Port = port.isEmpty() ? 5432 : port.toInt(&ok);
        if (!ok)
            source.Port = -1; // reported by Problem()
        source.Database = config.Read(group, u"Database"_s, false).trimmed();
        source.User = config.Read(group, u"User"_s, false).trimmed();
    }
    return source;
}

bool SetAliasSource(const QString &alias, const TDataSource &source)
{
    TDatabase::Close();
    AliasOverrides().remove(alias.toLower());
    TIniFile config(AppPaths::AliasFile());
    if (!source.IsServer()) {
        return config.WriteGroup(alias.toLower(), {{u"Path"_s, source.Folder},
                                                   {u"Driver"_s, QString()},
                                                   {u"Host"_s, QString()},
                                                   {u"Port"_s, QString()},
                                                   {u"Database"_s, QString()},
                                                   {u"User"_s, QString()}});
    }
    // The folder is kept, so switching back to a folder offers the one used before.
    return config.WriteGroup(alias.toLower(), {{u"Driver"_s, u"QPSQL"_s},
                                               {u"Host"_s, source.Host},
                                               {u"Port"_s, QString::number(source.Port)},
                                               {u"Database"_s, source.Database},
                                               {u"User"_s, source.User}});
}

void OverrideAliasSource(const QString &alias, const TDataSource &source)
{
    TDatabase::Close();
    AliasOverrides().insert(alias.toLower(), source);
}

void EndAliasOverride(const QString &alias)
{
    TDatabase::Close();
    AliasOverrides().remove(alias.toLower());
}

bool IsAliasOverridden(const QString &alias)
{
    return AliasOverrides().contains(alias.toLower());
}

void OverrideAliasPath(const QString &alias, const QString &folder)
{
    if (folder.isEmpty()) {
        EndAliasOverride(alias);
        return;
    }
    TDataSource source;
    source.Folder = WithSlash(QDir(folder).absolutePath());
    OverrideAliasSource(alias, source);
}

QString GetAliasPath(const QString &alias)
{
    return GetAliasSource(alias).Folder;
}

bool SetAliasPath(const QString &alias, const QString &folder)
{
    TDatabase::Close();
    AliasOverrides().remove(alias.toLower());
    TIniFile config(AppPaths::AliasFile());
    // Choosing a folder makes the alias a folder again.
    return config.WriteGroup(alias.toLower(), {{u"Path"_s, folder},
                                               {u"Driver"_s, QString()}});
}
