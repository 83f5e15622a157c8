#pragma once

#include <QString>
#include <QTemporaryDir>

// A private home for one test: HOME and the XDG folders point into a temporary folder, so
// settings, the alias configuration, DekigataDef and the tables never touch a real user's
// files. The working folder becomes the current directory, as at program start.
class TTestEnv
{
public:
    TTestEnv();
    ~TTestEnv();
    TTestEnv(const TTestEnv &) = delete;
    TTestEnv &operator=(const TTestEnv &) = delete;

    QString Root() const { return m_dir.path(); }
    QString DataFolder() const; // the alias folder, with "/"
    // Points the alias at a fresh subfolder of the root (created) and returns it.
    QString UseDataFolder(const QString &name);

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
    QByteArray m_oldConfig;
    QByteArray m_oldData;
    QString m_oldCurrent;
};
