#include "charts/fSetHistgram.h"
#include "printing/UpDown.h"
#include "support/TestEnv.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {

QStringList Labels(const TfrmSethistgram &d)
{
    QStringList texts;
    for (const QLabel *label : d.Label)
        texts << label->text();
    return texts;
}

void Click(TUpDown *spinner, bool up, int times = 1)
{
    for (int i = 0; i < times; ++i)
        QTest::mouseClick(up ? spinner->UpButton() : spinner->DownButton(), Qt::LeftButton);
}

} // namespace

class TestSetHistgram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = new TTestEnv; }
    void cleanup()
    {
        delete m_env;
        m_env = nullptr;
    }

    void layout();
    void initialLabels();
    void spinnerMovesItsBar_data();
    void spinnerMovesItsBar();
    void allZero();
    void heightsKeptBetweenShowings();

private:
    TTestEnv *m_env = nullptr;
};

void TestSetHistgram::layout()
{
    TfrmSethistgram d;
    QCOMPARE(d.windowTitle(), u"ヒストグラムの設定"_s);
    QCOMPARE(d.size(), QSize(384, 307));
    QCOMPARE(d.Button1->text(), u"OK"_s);
    QCOMPARE(d.Button1->pos(), QPoint(304, 280));
    QCOMPARE(d.Button2->text(), u"キャンセル"_s);
    QCOMPARE(d.Button2->pos(), QPoint(224, 280));
    const int heights[] = {10, 20, 30, 50, 100, 200, 100, 50, 30, 20, 10};
    for (int i = 0; i < TfrmSethistgram::BarCount; ++i) {
        QCOMPARE(d.Shape[i]->geometry(), QRect(16 + 32 * i, 218 - heights[i], 33, heights[i]));
        QCOMPARE(d.UpDown[i]->pos(), QPoint(24 + 32 * i, 224));
        QCOMPARE(d.UpDown[i]->Position(), heights[i]);
        QCOMPARE(d.Label[i]->pos(), QPoint(24 + 32 * i, 256));
    }
}

void TestSetHistgram::initialLabels()
{
    TfrmSethistgram d;
    QCOMPARE(Labels(d), (QStringList{u"2"_s, u"3"_s, u"5"_s, u"8"_s, u"16"_s, u"32"_s, u"16"_s, u"8"_s,
                                     u"5"_s, u"3"_s, u"2"_s}));
    QCOMPARE(d.BarPercent(5), 32.0f);
    QCOMPARE(d.LabelPercents(), (QList<int>{2, 3, 5, 8, 16, 32, 16, 8, 5, 3, 2}));
}

void TestSetHistgram::spinnerMovesItsBar_data()
{
    QTest::addColumn<int>("bar");
    QTest::addColumn<bool>("up");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("height");
    QTest::addColumn<QStringList>("labels");

    QTest::newRow("first bar down to 0 (total 610)")
        << 0 << false << 1 << 0
        << QStringList{u"0"_s, u"3"_s, u"5"_s, u"8"_s, u"16"_s, u"33"_s, u"16"_s, u"8"_s, u"5"_s, u"3"_s, u"2"_s};
    QTest::newRow("first bar stops at 0") << 0 << false << 3 << 0
        << QStringList{u"0"_s, u"3"_s, u"5"_s, u"8"_s, u"16"_s, u"33"_s, u"16"_s, u"8"_s, u"5"_s, u"3"_s, u"2"_s};
    QTest::newRow("middle bar stops at 200") << 5 << true << 2 << 200
        << QStringList{u"2"_s, u"3"_s, u"5"_s, u"8"_s, u"16"_s, u"32"_s, u"16"_s, u"8"_s, u"5"_s, u"3"_s, u"2"_s};
    QTest::newRow("last bar up to 50 (total 660)") << 10 << true << 4 << 50
        << QStringList{u"2"_s, u"3"_s, u"5"_s, u"8"_s, u"15"_s, u"30"_s, u"15"_s, u"8"_s, u"5"_s, u"3"_s, u"8"_s};
}

void TestSetHistgram::spinnerMovesItsBar()
{
    QFETCH(int, bar);
    QFETCH(bool, up);
    QFETCH(int, clicks);
    QFETCH(int, height);
    QFETCH(QStringList, labels);

    TfrmSethistgram d;
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    Click(d.UpDown[bar], up, clicks);
    QCOMPARE(d.UpDown[bar]->Position(), height);
    // The bar grows upward from the base line; a bar of height 0 is gone.
    QCOMPARE(d.Shape[bar]->y() + d.Shape[bar]->height(), 218);
    QCOMPARE(d.Shape[bar]->height(), height);
    QCOMPARE(d.Shape[bar]->isVisible(), height > 0);
    QCOMPARE(Labels(d), labels);
}

void TestSetHistgram::allZero()
{
    TfrmSethistgram d;
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    for (TUpDown *spinner : d.UpDown)
        Click(spinner, false, 20);
    QCOMPARE(Labels(d), QStringList(11, u"0"_s));
    QCOMPARE(d.LabelPercents(), QList<int>(11, 0));
    // Raising one bar again gives it everything.
    Click(d.UpDown[3], true);
    QCOMPARE(d.Label[3]->text(), u"100"_s);
    QCOMPARE(d.Label[4]->text(), u"0"_s);
}

void TestSetHistgram::heightsKeptBetweenShowings()
{
    TfrmSethistgram d;
    for (int round = 0; round < 2; ++round) {
        QTimer::singleShot(0, [&d, round] {
            if (round == 0)
                Click(d.UpDown[0], false);
            QTest::mouseClick(round == 0 ? d.Button1 : d.Button2, Qt::LeftButton);
        });
        const int result = d.exec();
        QCOMPARE(result, round == 0 ? int(QDialog::Accepted) : int(QDialog::Rejected));
    }
    QCOMPARE(d.UpDown[0]->Position(), 0);
    QCOMPARE(d.Label[0]->text(), u"0"_s);
    QCOMPARE(d.Label[5]->text(), u"33"_s);
}

QTEST_MAIN(TestSetHistgram)
#include "tst_SetHistgram.moc"
