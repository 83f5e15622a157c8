#include "app/fListBox.h"
#include "app/fProgressBar.h"
#include "app/fSmallListBox.h"
#include "app/fVerInfo.h"
#include "app/uCommon.h"
#include "app/uWindowManners.h"

#include <QDesktopServices>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>
#include <QtTest>

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

class TestSmallWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listBoxResult_data();
    void listBoxResult();
    void smallListBoxKeys_data();
    void smallListBoxKeys();
    void progressBar();
    void versionBox();
    void windowManners();
};

void TestSmallWindows::listBoxResult_data()
{
    QTest::addColumn<int>("select");   // row to select, -1 for none
    QTest::addColumn<bool>("doubleClick");
    QTest::addColumn<QString>("expected");
    QTest::newRow("OK without a selection gives the empty text") << -1 << false << QString();
    QTest::newRow("OK with a selection") << 1 << false << u"2:工区B"_s;
    QTest::newRow("double click chooses") << 2 << true << u"3:工区C"_s;
}

void TestSmallWindows::listBoxResult()
{
    QFETCH(int, select);
    QFETCH(bool, doubleClick);
    QFETCH(QString, expected);

    TfrmListBox box;
    QCOMPARE(box.windowTitle(), u"frmListBox"_s);
    QCOMPARE(box.size(), QSize(232, 308));
    QCOMPARE(box.Button1->text(), u"&OK"_s);
    box.ListBox1->addItems({u"1:工区A"_s, u"2:工区B"_s, u"3:工区C"_s});
    QTimer::singleShot(0, &box, [&] {
        if (select >= 0)
            box.ListBox1->setCurrentRow(select);
        if (doubleClick) {
            const QRect rect = box.ListBox1->visualItemRect(box.ListBox1->item(select));
            QTest::mouseClick(box.ListBox1->viewport(), Qt::LeftButton, {}, rect.center());
            QTest::mouseDClick(box.ListBox1->viewport(), Qt::LeftButton, {}, rect.center());
        } else {
            QTest::mouseClick(box.Button1, Qt::LeftButton);
        }
        // A dialog still open here would hang the test: close it as refused.
        if (box.isVisible())
            box.reject();
    });
    QCOMPARE(box.exec(), int(QDialog::Accepted));
    QCOMPARE(box.Result(), expected);
}

void TestSmallWindows::smallListBoxKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expectedResult");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Enter chooses") << int(Qt::Key_Return) << int(QDialog::Accepted) << u"左"_s;
    QTest::newRow("Escape leaves") << int(Qt::Key_Escape) << int(QDialog::Rejected) << u"左"_s;
}

void TestSmallWindows::smallListBoxKeys()
{
    QFETCH(int, key);
    QFETCH(int, expectedResult);
    QFETCH(QString, expected);

    TfrmSmallListBox box;
    QVERIFY(box.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(box.size(), QSize(171, 132));
    box.ListBox1->addItems({u"中"_s, u"左"_s, u"右"_s});
    QTimer::singleShot(0, &box, [&] {
        box.ListBox1->setCurrentRow(1);
        QTest::keyClick(box.ListBox1, Qt::Key(key));
        if (box.isVisible())
            box.done(-1);
    });
    QCOMPARE(box.exec(), expectedResult);
    // The caller reads the result only on OK; Escape leaves it unread.
    QCOMPARE(box.Result(), expected);
}

void TestSmallWindows::progressBar()
{
    TfrmProgressBar window;
    QCOMPARE(window.windowTitle(), u"進行状況"_s);
    QCOMPARE(window.size(), QSize(279, 19));
    QCOMPARE(window.ProgressBar1->minimum(), 0);
    QCOMPARE(window.ProgressBar1->maximum(), 100);
    QVERIFY(!(window.windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(window.ProgressBar1->geometry(), QRect(0, 0, 279, 19));
}

void TestSmallWindows::versionBox()
{
    TUrlCatcher catcher;
    QDesktopServices::setUrlHandler(u"file"_s, &catcher, "Open");
    QDesktopServices::setUrlHandler(u"https"_s, &catcher, "Open");

    TFormVerInfo box;
    QCOMPARE(box.windowTitle(), u"バージョン情報"_s);
    QCOMPARE(box.size(), QSize(289, 92));
    QCOMPARE(box.Label1->text(), u"ケルモ"_s);
    QCOMPARE(box.Label2->text(), u"バージョン"_s);
    box.show();
    QCOMPARE(box.StaticText1->text(), u"Version:"_s + ProgramVersionText());
    QVERIFY(QRegularExpression(u"^Version:\\d+\\.\\d+\\.\\d+\\.\\d+$"_s)
                .match(box.StaticText1->text()).hasMatch());
    QTest::mouseClick(box.Button1, Qt::LeftButton);
    QCOMPARE(catcher.Urls.size(), 1);
    QCOMPARE(catcher.Urls.at(0), TFormVerInfo::HomePage());
    QVERIFY(QFileInfo::exists(catcher.Urls.at(0).toLocalFile()));

    QDesktopServices::unsetUrlHandler(u"file"_s);
    QDesktopServices::unsetUrlHandler(u"https"_s);
}

void TestSmallWindows::windowManners()
{
    TWindowManners manners;
    qApp->installEventFilter(&manners);
    QWidget main;
    main.setWindowTitle(u"ケルモ"_s);
    manners.SetMainWindow(&main);
    main.show();
    QDialog blank;   // an empty caption, no parent
    blank.show();
    QWidget named;
    named.setWindowTitle(u"工事名の登録"_s);
    named.show();
    QVERIFY(blank.windowHandle() && named.windowHandle());

    QCOMPARE(main.windowHandle()->title(), u"ケルモ"_s);
    QCOMPARE(main.windowHandle()->transientParent(), nullptr);
    QCOMPARE(blank.windowTitle(), QString());
    QCOMPARE(blank.windowHandle()->title(), u" "_s);
    QCOMPARE(blank.windowHandle()->transientParent(), main.windowHandle());
    QCOMPARE(named.windowHandle()->title(), u"工事名の登録"_s);
    QCOMPARE(named.windowHandle()->transientParent(), main.windowHandle());
    QVERIFY(!blank.isModal() && !named.isModal());

    // A caption emptied later loses the old title, and gains none.
    named.setWindowTitle(QString());
    QCOMPARE(named.windowHandle()->title(), u" "_s);
    qApp->removeEventFilter(&manners);
}

QTEST_MAIN(TestSmallWindows)
#include "tst_SmallWindows.moc"
