#include "app/AppPaths.h"
#include "app/uDataPath.h"
#include "app/uHelp.h"
#include "app/uuSetDataPath.h"
#include "charts/fSetHistgram.h"
#include "measure/fEditDekigata.h"
#include "measure/uChangeData.h"
#include "registers/fEditHacchusya.h"
#include "registers/fEditKikakuti4.h"
#include "registers/fEditKoji.h"
#include "registers/fEditKosyu.h"
#include "registers/fEditKouku.h"
#include "registers/fEditSimei.h"
#include "registers/fEditUkeoisya.h"
#include "roadplan/fEditFormationHeight.h"
#include "sheets/fEditDekigataTorimatome.h"
#include "sheets/uPrintSet.h"
#include "startup/fParadoxImport.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtTest>

#include <functional>
#include <memory>

using namespace Qt::Literals::StringLiterals;

using TWindowMaker = std::function<std::unique_ptr<QWidget>()>;
Q_DECLARE_METATYPE(TWindowMaker)

namespace {

QString SourceHelpFolder()
{
    return qEnvironmentVariable("KELMO4_SOURCE_DIR") + u"/help"_s;
}

QString ReadPage(const QString &file)
{
    QFile page(file);
    if (!page.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(page.readAll());
}

template <typename TWindow>
TWindowMaker Maker()
{
    return [] { return std::unique_ptr<QWidget>(new TWindow); };
}

} // namespace

class TestHelpPages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowOpensItsOwnPage_data();
    void windowOpensItsOwnPage();
    void linksResolve_data();
    void linksResolve();
};

void TestHelpPages::windowOpensItsOwnPage_data()
{
    QTest::addColumn<TWindowMaker>("make");
    QTest::newRow("出来形の入力") << Maker<TfrmEditDekigata>();
    QTest::newRow("一括変更") << Maker<TfrmChangeData>();
    QTest::newRow("標準値の登録") << Maker<TfrmDataPath>();
    QTest::newRow("環境設定") << Maker<TfrmSetDataPath>();
    QTest::newRow("工事名の登録") << Maker<TfrmEditKoji>();
    QTest::newRow("発注者の登録") << Maker<TfrmEditHacchusya>();
    QTest::newRow("請負者の登録") << Maker<TfrmEditUkeoisya>();
    QTest::newRow("氏名の登録") << Maker<TfrmEditSimei>();
    QTest::newRow("規格値の登録") << Maker<TfrmEditKikakuti4>();
    QTest::newRow("路面計画の入力") << Maker<TfrmEditFormationHeight>();
    QTest::newRow("出来形とりまとめ表") << Maker<TfrmEditDekigataTorimatome>();
    QTest::newRow("工種の登録") << Maker<TfrmEditKosyu>();
    QTest::newRow("工区データ") << Maker<TfrmEditKouku>();
    QTest::newRow("印刷データ選択") << Maker<TfrmPrintSet>();
    QTest::newRow("ヒストグラムの設定") << Maker<TfrmSethistgram>();
    QTest::newRow("旧データの取り込み") << TWindowMaker([] {
        return std::unique_ptr<QWidget>(std::make_unique<TfrmParadoxImport>(QDir::currentPath()));
    });
}

void TestHelpPages::windowOpensItsOwnPage()
{
    QFETCH(TWindowMaker, make);
    TTestEnv env;
    const std::unique_ptr<QWidget> window = make();
    // A page the window names but the folder lacks falls back to the contents.
    const QString page = QFileInfo(HelpPageFile(window.get())).fileName();
    QVERIFY2(page != u"index.html"_s, qPrintable(window->windowTitle()));
    QVERIFY2(QFileInfo::exists(SourceHelpFolder() + u'/' + page), qPrintable(page));
    // The window has its own page, so the page must not send F1 somewhere else.
    const QString html = ReadPage(SourceHelpFolder() + u'/' + page);
    for (const QString &claim : {u"専用のヘルプの項目はありません"_s, u"目次が開きます"_s, u"メイン画面の説明が開きます"_s})
        QVERIFY2(!html.contains(claim), qPrintable(page + u": "_s + claim));
}

void TestHelpPages::linksResolve_data()
{
    QTest::addColumn<QString>("page");
    const QStringList pages = QDir(SourceHelpFolder()).entryList({u"*.html"_s}, QDir::Files, QDir::Name);
    QVERIFY2(pages.contains(u"index.html"_s), qPrintable(SourceHelpFolder()));
    for (const QString &page : pages)
        QTest::newRow(qPrintable(page)) << page;
}

void TestHelpPages::linksResolve()
{
    QFETCH(QString, page);
    const QString folder = SourceHelpFolder();
    const QString html = ReadPage(folder + u'/' + page);
    QVERIFY(html.contains(u"<html lang=\"ja\">"_s));

    static const QRegularExpression link(u"(?:href|src)=\"([^\"]*)\""_s);
    QStringList targets;
    for (const QRegularExpressionMatch &m : link.globalMatch(html))
        targets << m.captured(1);
    for (const QString &target : std::as_const(targets)) {
        if (target.contains(u':'))
            continue; // another scheme: not ours to check
        const qsizetype hash = target.indexOf(u'#');
        const QString file = hash < 0 ? target : target.left(hash);
        const QString anchor = hash < 0 ? QString() : target.mid(hash + 1);
        const QString targetHtml = file.isEmpty() ? html : ReadPage(folder + u'/' + file);
        QVERIFY2(file.isEmpty() || QFileInfo::exists(folder + u'/' + file), qPrintable(target));
        if (!anchor.isEmpty())
            QVERIFY2(targetHtml.contains(u"id=\""_s + anchor + u'"'), qPrintable(target));
    }
    // Every page is reachable from the contents and leads back to it.
    if (page != u"index.html"_s) {
        QVERIFY2(targets.contains(u"index.html"_s), qPrintable(page));
        QVERIFY2(ReadPage(folder + u"/index.html"_s).contains(u"href=\""_s + page), qPrintable(page));
    }
}

QTEST_MAIN(TestHelpPages)
#include "tst_HelpPages.moc"
