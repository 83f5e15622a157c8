#include "app/uApplication.h"

#include "app/AppPaths.h"
#include "app/Errors.h"
#include "app/uDataSource.h"

#include <QDir>
#include <QFont>
#include <QMessageBox>

using namespace Qt::Literals::StringLiterals;

TKelmoApplication::TKelmoApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // No display name: the window system would append it to every caption. The desktop
    // entry names the program in the task bar.
    setApplicationName(u"kelmo4"_s);
    setDesktopFileName(u"kelmo4"_s);
    RegisterFontSubstitutions();
    // The Japanese fonts ask for grid-fitting at small sizes, which drops the period of
    // "10.550" below the digits, where it reads as a comma. Unhinted glyphs keep it on the
    // baseline; every window's font inherits this unless it says otherwise.
    QFont unhinted = font();
    unhinted.setHintingPreference(QFont::PreferNoHinting);
    setFont(unhinted);
    installEventFilter(&m_manners);
}

bool TKelmoApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const EKelmoError &e) {
        ShowErrorMessage(e.Message());
    } catch (const std::exception &e) {
        ShowErrorMessage(QString::fromUtf8(e.what()));
    }
    return false;
}

void ShowErrorMessage(const QString &message)
{
    QMessageBox::critical(QApplication::activeWindow(), u"ケルモ４"_s, message);
}

void ShowSetAliasFailed(QWidget *parent, const QString &folder)
{
    QMessageBox box(QMessageBox::Information, u"ケルモ４"_s, u"Failed"_s, QMessageBox::Ok, parent);
    box.setInformativeText(u"データフォルダ「%1」を設定ファイル「%2」に書き込めませんでした。"
                           "設定ファイルとそのフォルダに書き込めるか確かめて、もう一度設定してください。"_s.arg(
                               QDir::toNativeSeparators(folder), QDir::toNativeSeparators(AppPaths::AliasFile())));
    box.exec();
}

void ShowSetAliasFailed(QWidget *parent, const TDataSource &source)
{
    if (!source.IsServer()) {
        ShowSetAliasFailed(parent, source.Folder);
        return;
    }
    QMessageBox box(QMessageBox::Information, u"ケルモ４"_s, u"Failed"_s, QMessageBox::Ok, parent);
    box.setInformativeText(u"データの場所（%1）を設定ファイル「%2」に書き込めませんでした。"
                           "設定ファイルとそのフォルダに書き込めるか確かめて、もう一度設定してください。"_s.arg(
                               source.Describe(), QDir::toNativeSeparators(AppPaths::AliasFile())));
    box.exec();
}

void RegisterFontSubstitutions()
{
    QFont::insertSubstitution(u"ＭＳ 明朝"_s, u"IPAMincho"_s);
    QFont::insertSubstitution(u"ＭＳ ゴシック"_s, u"IPAGothic"_s);
    QFont::insertSubstitution(u"ＭＳ Ｐゴシック"_s, u"IPAPGothic"_s);
    QFont::insertSubstitution(u"ＭＳ Ｐ明朝"_s, u"IPAPMincho"_s);
}
