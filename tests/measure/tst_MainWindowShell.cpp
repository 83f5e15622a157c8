#include "app/AppPaths.h"
#include "app/fVerInfo.h"
#include "app/uDataPath.h"
#include "app/uCommon.h"
#include "app/uDekigataDef.h"
#include "app/uHelp.h"
#include "app/uSpread.h"
#include "measure/fEditDekigata.h"
#include "measure/uDropDownBox.h"
#include "support/ModalAnswer.h"
#include "support/TestEnv.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>
#include <functional>

using namespace Qt::Literals::StringLiterals;

// Catches what the program hands to the desktop instead of starting a browser.
class TUrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> Urls;
public Q_SLOTS:
    void Open(const QUrl &url) { Urls << url; }
};

namespace {

// "ファイル: 印刷 | - | ..." for every menu of the bar, hidden entries marked.
QStringList MenuTexts(QMenuBar *bar)
{
    QStringList menus;
    for (QAction *top : bar->actions()) {
        QStringList entries;
        for (QAction *entry : top->menu()->actions()) {
            QString text = entry->isSeparator() ? u"-"_s : entry->text();
            if (!entry->isVisible())
                text += u"(hidden)"_s;
            entries << text;
        }
        menus << top->text() + u": "_s + entries.join(u" | "_s);
    }
    return menus;
}

} // namespace

class TestMainWindowShell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(u"file"_s); }
    void cleanup();
    void captionSizeAndStatusBar();
    void menus_data();
    void menus();
    void defaultsWindowIsModalAndReloads();
    void aboutBoxDoesNotWait();
    void helpPages_data();
    void helpPages();
    void helpPagesExist();

private:
    TUrlCatcher m_catcher;
};

void TestMainWindowShell::initTestCase()
{
    QDesktopServices::setUrlHandler(u"file"_s, &m_catcher, "Open");
    InstallHelpKey();
}

void TestMainWindowShell::cleanup()
{
    qDeleteAll(ModalWaiters().children());
    m_catcher.Urls.clear();
}

void TestMainWindowShell::captionSizeAndStatusBar()
{
    TTestEnv env;
    TfrmEditDekigata window;
    QCOMPARE(window.windowTitle(), u"ケルモ"_s);
    QCOMPARE(window.width(), 924);
    QCOMPARE(window.height() - window.menuBar()->sizeHint().height(), 420);
    const int widths[5] = {100, 35, 25, 50, 50};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(window.StatusPanels[i]->width(), widths[i]);
    QCOMPARE(window.StatusPanels[0]->alignment(), Qt::AlignCenter);
    QCOMPARE(window.StatusPanels[0]->text(), u"Ver."_s + ProgramVersionText());
    QCOMPARE(window.centralWidget()->toolTip(),
             u"工事名の登録はメニューの「データ～工事の登録」から行ってください。"_s);
}

void TestMainWindowShell::menus_data()
{
    QTest::addColumn<QString>("simcity");
    QTest::addColumn<QString>("simulation");
    QTest::newRow("switch absent") << QString() << u"Simulation(hidden)"_s;
    QTest::newRow("switch wrong") << u"9865"_s << u"Simulation(hidden)"_s;
    QTest::newRow("switch on") << u"9864"_s << u"Simulation"_s;
}

void TestMainWindowShell::menus()
{
    QFETCH(QString, simcity);
    QFETCH(QString, simulation);
    TTestEnv env;
    if (!simcity.isNull()) {
        QDir().mkpath(QFileInfo(AppPaths::SimulationSwitchFile()).absolutePath());
        QFile file(AppPaths::SimulationSwitchFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Simcity=" + simcity.toLatin1() + "\n");
    }
    TfrmEditDekigata window;
    QCOMPARE(MenuTexts(window.menuBar()),
             (QStringList{
                 u"ファイル: 印刷 | - | 取りまとめ表の作成 | 旧データの取り込み… | CSV読み込み… | 書き出し… | - | データ削除 | 終了 | "_s + simulation,
                 u"編集: 行挿入 | 行削除 | 行コピー | 行貼付け | - | 一括変更"_s,
                 u"データ: 工事の登録 | 工種の登録 | 工区の登録 | 氏名の登録 | 規格値の登録 | - | 路面計画の入力"_s,
                 u"オプション: 標準値の登録 | プリンタの設定"_s,
                 u"ヘルプ: ケルモのヘルプ | サンプルデータで試す… | ケルモについて"_s}));
    QVERIFY(window.actDefaults->isEnabled());
    QVERIFY(window.actExit->isEnabled());
}

void TestMainWindowShell::defaultsWindowIsModalAndReloads()
{
    TTestEnv env;
    TfrmEditDekigata window;
    TfrmDataPath defaults;
    frmDataPath = &defaults;
    frmEditDekigata = &window;

    // A defaults file written elsewhere is what the main window's activation loads.
    TDekigataDef other;
    other.SetUnits(1, 1, u"ｍ"_s);
    other.Save(u"DekigataDef"_s);
    window.FormActivate();
    QCOMPARE(DekigataDef().Units(1, 1), u"ｍ"_s);
    window.ComboBox6->SetText(u"基準高"_s);

    bool wasModal = false;
    WhenModal("TfrmDataPath", [&](QWidget *w) {
        wasModal = w->isModal();
        QCOMPARE(defaults.vaSpread1->CellText(1, 1), u"ｍ"_s);
        defaults.vaSpread1->SetCellText(2, 1, u"㎜"_s);
        QTest::mouseClick(defaults.Button1, Qt::LeftButton);
    });
    window.actDefaults->trigger();
    QVERIFY(wasModal);
    QVERIFY(!defaults.isVisible());
    QCOMPARE(DekigataDef().Units(2, 1), u"㎜"_s);
    QCOMPARE(QFileInfo(u"DekigataDef"_s).size(), 472);
    // An empty record shows the new defaults at once; its item stays.
    QCOMPARE(window.ComboBox8->Text(), u"㎜"_s);
    QCOMPARE(window.ComboBox6->Text(), u"基準高"_s);

    frmDataPath = nullptr;
    frmEditDekigata = nullptr;
}

void TestMainWindowShell::aboutBoxDoesNotWait()
{
    TTestEnv env;
    TfrmEditDekigata window;
    TFormVerInfo about;
    FormVerInfo = &about;
    window.actAbout->trigger(); // returns at once: nothing waits for the box
    QVERIFY(about.isVisible());
    QVERIFY(!about.isModal());
    QCOMPARE(about.StaticText1->text(), u"Version:"_s + ProgramVersionText());
    FormVerInfo = nullptr;
}

void TestMainWindowShell::helpPages_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("page");
    QTest::newRow("menu entry opens the contents") << u"menu"_s << u"index.html"_s;
    QTest::newRow("F1 in the main window") << u"main"_s << u"context-20.html"_s;
    QTest::newRow("F1 in the defaults window") << u"defaults"_s << u"context-8.html"_s;
    QTest::newRow("F1 in a window without a page") << u"plain"_s << u"index.html"_s;
}

void TestMainWindowShell::helpPages()
{
    QFETCH(QString, where);
    QFETCH(QString, page);
    TTestEnv env;
    TfrmEditDekigata window;
    TfrmDataPath defaults;
    QWidget plain;
    if (where == u"menu"_s) {
        window.actHelp->trigger();
    } else {
        QWidget *target = where == u"main"_s ? static_cast<QWidget *>(&window)
            : where == u"defaults"_s         ? static_cast<QWidget *>(&defaults)
                                             : &plain;
        target->show();
        QVERIFY(QTest::qWaitForWindowExposed(target));
        QTest::keyClick(target, Qt::Key_F1);
    }
    QCOMPARE(m_catcher.Urls.size(), 1);
    QCOMPARE(m_catcher.Urls.at(0), QUrl::fromLocalFile(AppPaths::HelpFolder() + u'/' + page));
}

void TestMainWindowShell::helpPagesExist()
{
    // Every page a window names is there, and each page links back to the contents.
    for (const QString &page : {u"index.html"_s, u"context-20.html"_s, u"context-8.html"_s,
                                u"setdatapath.html"_s}) {
        QFile file(AppPaths::HelpFolder() + u'/' + page);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(page));
        const QString html = QString::fromUtf8(file.readAll());
        QVERIFY(html.contains(u"<html lang=\"ja\">"_s));
        if (page != u"index.html"_s)
            QVERIFY2(html.contains(u"href=\"index.html\""_s), qPrintable(page));
    }
}

QTEST_MAIN(TestMainWindowShell)
#include "tst_MainWindowShell.moc"
