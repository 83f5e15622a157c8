#include "app/RegistryUtility.h"

#include "app/AppPaths.h"
#include "app/Errors.h"
#include "app/IniFile.h"

#include <QDir>

using namespace Qt::Literals::StringLiterals;

QString ReadSetting(const QString &name)
{
    TIniFile store(AppPaths::SettingsFile());
    store.Touch();
    return store.Read(QString(), name);
}

void WriteSetting(const QString &name, const QString &value)
{
    TIniFile store(AppPaths::SettingsFile());
    // A setting the user chose must not vanish without a word.
    if (!store.Write(QString(), name, value))
        throw EFileError(u"設定ファイル「"_s + QDir::toNativeSeparators(store.FileName())
                         + u"」に書き込めないため、設定を保存できませんでした。"
                           u"フォルダの書き込み権限と、同じ名前のフォルダがないことを確かめてください。"_s);
}

bool SettingIsOn(const QString &name)
{
    return ReadSetting(name) == u"TRUE"_s;
}

bool IsSimulationEnabled()
{
    TIniFile store(AppPaths::SimulationSwitchFile());
    store.Touch();
    return store.Read(QString(), u"Simcity"_s) == u"9864"_s;
}
