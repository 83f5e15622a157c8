#include "support/TestEnv.h"

#include "app/AppPaths.h"
#include "app/uDatabase.h"
#include "app/uDekigataDef.h"

#include <QDir>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

TTestEnv::TTestEnv()
    : m_oldHome(qgetenv("HOME"))
    , m_oldConfig(qgetenv("XDG_CONFIG_HOME"))
    , m_oldData(qgetenv("XDG_DATA_HOME"))
    , m_oldCurrent(QDir::currentPath())
{
    TDatabase::Close();
    qputenv("HOME", QFile::encodeName(m_dir.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + u"/config"_s));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path() + u"/data"_s));
    QStandardPaths::setTestModeEnabled(true);
    AppPaths::EnterWorkingFolder();
    DekigataDef().Clear();
}

TTestEnv::~TTestEnv()
{
    TDatabase::Close();
    QDir::setCurrent(m_oldCurrent);
    qputenv("HOME", m_oldHome);
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
    qputenv("XDG_DATA_HOME", m_oldData);
    DekigataDef().Clear();
}

QString TTestEnv::DataFolder() const
{
    return GetAliasPath(u"tomaruk"_s);
}

QString TTestEnv::UseDataFolder(const QString &name)
{
    const QString folder = m_dir.path() + u'/' + name;
    QDir().mkpath(folder);
    SetAliasPath(u"tomaruk"_s, folder);
    return GetAliasPath(u"tomaruk"_s);
}
