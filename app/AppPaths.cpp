#include "app/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

namespace AppPaths {

namespace {
QString ConfigHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString DataHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}
} // namespace

QString SettingsFile()
{
    return ConfigHome() + u"/tomaruk/tomaruk.ini"_s;
}

QString SimulationSwitchFile()
{
    return ConfigHome() + u"/RurEzer/RurEzer.ini"_s;
}

QString AliasFile()
{
    return ConfigHome() + u"/tomaruk/aliases.ini"_s;
}

QString WorkingFolder()
{
    return DataHome() + u"/tomaruk"_s;
}

QString DefaultDataFolder()
{
    return WorkingFolder() + u"/data"_s;
}

bool EnterWorkingFolder()
{
    const QString folder = WorkingFolder();
    return QDir().mkpath(folder) && QDir::setCurrent(folder);
}

QString HelpFolder()
{
    const QString built = QCoreApplication::applicationDirPath() + u"/../share/kelmo4/help"_s;
    if (QFileInfo::exists(built + u"/index.html"_s))
        return QDir::cleanPath(built);
    const QString installed = QStringLiteral(KELMO4_HELP_DIR);
    if (QFileInfo::exists(installed + u"/index.html"_s))
        return installed;
    return QStringLiteral(KELMO4_SOURCE_HELP_DIR);
}

} // namespace AppPaths
