#include "support/ParadoxFixture.h"
#include "support/TestEnv.h"

#include "app/uDatabase.h"
#include "app/uParadoxFile.h"
#include "measure/fEditDekigata.h"
#include "measure/uKelmo4Head.h"
#include "measure/uKelmo4Line.h"
#include "registers/uKoji.h"
#include "startup/fParadoxImport.h"
#include "startup/uExport.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextStream>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {

void WriteOldFolder(const QString &folder, int lines)
{
    QDir().mkpath(folder);
    const QList<ParadoxFixture::TColumn> koji = ParadoxFixture::ColumnsOf(TKoji::TableDef());
    QVERIFY(ParadoxFixture::Write(folder + u"Koji1.DB"_s, koji, ParadoxFixture::SampleRows(koji, 3)));
    const QList<ParadoxFixture::TColumn> line = ParadoxFixture::ColumnsOf(TKelmo4Line::TableDef());
    QVERIFY(ParadoxFixture::Write(folder + u"Kel4Line.db"_s, line, ParadoxFixture::SampleRows(line, lines)));
}

void WriteDefaults(const QString &path, char fill)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(472, fill));
}

QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int Export(const QStringList &args, QString *out, QString *err)
{
    QTextStream o(out);
    QTextStream e(err);
    return RunExport(args, o, e);
}

} // namespace

class TestParadoxImportWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTheFolderAndTakesItOver();
    void failureShownInTheWindow();
    void escapeStopsARunningImport();
    void folderWithoutOldTables();
    void mainWindowMenuEntry();
    void offeredAtStart_data();
    void offeredAtStart();
    void commandLine_data();
    void commandLine();
};

void TestParadoxImportWindow::showsTheFolderAndTakesItOver()
{
    TTestEnv env;
    const QString data = env.DataFolder();
    WriteOldFolder(data, 3000);
    WriteDefaults(data + u"DekigataDef"_s, 'd');

    TfrmParadoxImport window(data);
    window.show();
    QVERIFY(window.Memo1->toPlainText().contains(u"Kel4Line.db　3000 件"_s));
    QVERIFY(window.Memo1->toPlainText().contains(u"Koji1.DB　3 件"_s));
    QVERIFY(window.Memo1->toPlainText().contains(u"paradox-backup"_s));
    QVERIFY(window.btnImport->isEnabled());
    QVERIFY(window.chkDekigataDef->isEnabled());
    QVERIFY(window.chkDekigataDef->isChecked());
    window.chkDekigataDef->setChecked(false);

    QTest::mouseClick(window.btnImport, Qt::LeftButton);
    QVERIFY(window.Imported());
    QCOMPARE(window.ProgressBar1->value(), 1000);
    QVERIFY(window.lblProgress->text().contains(u"3003 件"_s));
    const QString summary = window.Memo1->toPlainText();
    QVERIFY2(summary.contains(u"Kel4Line: 3000 件"_s), qPrintable(summary));
    QVERIFY(summary.contains(u"DekigataDef: 取り込まないよう選ばれました。"_s));
    QVERIFY(summary.contains(u"旧データになかったテーブル: Kel4Head、Kosyu4"_s));
    QVERIFY(!window.btnImport->isEnabled());
    QVERIFY(!QFileInfo::exists(u"DekigataDef"_s));
    if (!qEnvironmentVariableIsEmpty("KELMO4_SHOT"))
        window.grab().save(qEnvironmentVariable("KELMO4_SHOT"));
}

void TestParadoxImportWindow::failureShownInTheWindow()
{
    TTestEnv env;
    const QString data = env.DataFolder();
    WriteOldFolder(data, 400);
    QFile cut(data + u"Kel4Line.db"_s);
    QVERIFY(cut.resize(cut.size() - 3000));

    TfrmParadoxImport window(data);
    QTest::mouseClick(window.btnImport, Qt::LeftButton);
    QVERIFY(!window.Imported());
    const QString text = window.Memo1->toPlainText();
    QVERIFY2(text.contains(u"データフォルダは元のままです"_s) && text.contains(u"Kel4Line"_s) && text.contains(u"途中で切れています"_s), qPrintable(text));
    // The folder is as it was, so the import can be tried again once the file is mended.
    QVERIFY(window.btnImport->isEnabled());
    QVERIFY(window.btnClose->isEnabled());
    QVERIFY(QFileInfo::exists(data + u"Koji1.DB"_s));
}

void TestParadoxImportWindow::escapeStopsARunningImport()
{
    TTestEnv env;
    const QString data = env.DataFolder();
    WriteOldFolder(data, 3000);
    const QStringList before = QDir(data).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

    TfrmParadoxImport window(data);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Pressed while the rows are read: the window's progress lets the key in.
    bool pressed = false;
    QTimer::singleShot(0, &window, [&] {
        pressed = true;
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    QVERIFY(!window.RunImport());
    QVERIFY(pressed);
    QVERIFY(window.isVisible());
    QVERIFY2(window.Memo1->toPlainText().contains(u"中止"_s), qPrintable(window.Memo1->toPlainText()));
    QCOMPARE(QDir(data).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
    // Once it has stopped, Escape closes the window as usual.
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
}

void TestParadoxImportWindow::folderWithoutOldTables()
{
    TTestEnv env;
    const QString data = env.DataFolder();
    QDir().mkpath(data);
    TfrmParadoxImport window(data);
    QVERIFY(window.Memo1->toPlainText().contains(u"旧形式（Paradox）のテーブルがありません"_s));
    QVERIFY(!window.btnImport->isEnabled());
    QVERIFY(!window.chkDekigataDef->isEnabled());
}

void TestParadoxImportWindow::mainWindowMenuEntry()
{
    TTestEnv env;
    TfrmEditDekigata window;
    QAction *entry = nullptr;
    for (QAction *menu : window.menuBar()->actions()) {
        if (menu->text() != u"ファイル"_s)
            continue;
        for (QAction *a : menu->menu()->actions()) {
            if (a->text() == u"旧データの取り込み…"_s)
                entry = a;
        }
    }
    QVERIFY(entry);
    QCOMPARE(entry, window.actImportParadox);
    QVERIFY(!entry->isEnabled());
    ConnectParadoxImportMenu(&window);
    QVERIFY(entry->isEnabled());

    // The entry opens the window on the data folder; it is closed again from a timer.
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<TfrmParadoxImport *>(QApplication::activeModalWidget());
        opened = dialog != nullptr;
        if (dialog)
            dialog->btnClose->click();
    });
    entry->trigger();
    QVERIFY(opened);
}

void TestParadoxImportWindow::offeredAtStart_data()
{
    QTest::addColumn<bool>("oldTables");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("goOn");
    QTest::newRow("nothing old") << false << QString() << true;
    QTest::newRow("user ends the program") << true << u"終了"_s << false;
    QTest::newRow("user takes the data over") << true << u"取り込む…"_s << true;
}

void TestParadoxImportWindow::offeredAtStart()
{
    QFETCH(bool, oldTables);
    QFETCH(QString, answer);
    QFETCH(bool, goOn);
    TTestEnv env;
    const QString data = env.DataFolder();
    if (oldTables) {
        WriteOldFolder(data, 20);
        WriteDefaults(data + u"DekigataDef"_s, 'd');
    }

    // Answers whichever modal window is up: the question box, then the import window.
    QString asked;
    QString summary;
    int waited = 0;
    QTimer answering;
    connect(&answering, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            asked = box->text();
            for (QAbstractButton *b : box->buttons()) {
                if (b->text() == answer)
                    b->click();
            }
        } else if (auto *window = qobject_cast<TfrmParadoxImport *>(modal)) {
            // The answer in the box was the one confirmation: the window runs by itself.
            if (window->Imported() && window->btnClose->isEnabled()) {
                summary = window->Memo1->toPlainText();
                window->btnClose->click();
            } else if (++waited > 1000 && window->btnClose->isEnabled()) {
                // Never started: give up, and end the program at the next question.
                answer = u"終了"_s;
                window->btnClose->click();
            }
        }
    });
    answering.start(20);
    QCOMPARE(OfferParadoxImportAtStart(), goOn);
    answering.stop();
    if (oldTables)
        QVERIFY2(asked.contains(u"旧形式（Paradox）のテーブルがあります（2 個）"_s), qPrintable(asked));
    QCOMPARE(HasParadoxTables(data), oldTables && !goOn);
    if (oldTables && goOn) {
        QVERIFY2(asked.contains(u"DekigataDef も取り込みます"_s), qPrintable(asked));
        QVERIFY2(summary.contains(u"Kel4Line: 20 件"_s), qPrintable(summary));
        QCOMPARE(FileBytes(u"DekigataDef"_s), QByteArray(472, 'd'));
    }
}

void TestParadoxImportWindow::commandLine_data()
{
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<bool>("cut");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("expected");
    QTest::newRow("taken over") << QStringList() << false << 0 << u"Kel4Line: 1200 件"_s;
    QTest::newRow("damaged file") << QStringList() << true << kExportFailure << u"「Kel4Line.db」が途中で切れています"_s;
    QTest::newRow("with a form") << QStringList{u"--form"_s, u"summary"_s} << false << kExportUsageError
                                 << u"--import-paradox には --data-dir のほかは指定できません。"_s;
}

void TestParadoxImportWindow::commandLine()
{
    QFETCH(QStringList, extra);
    QFETCH(bool, cut);
    QFETCH(int, status);
    QFETCH(QString, expected);

    TTestEnv env;
    const QString old = env.Root() + u"/old/"_s;
    WriteOldFolder(old, 1200);
    WriteDefaults(old + u"DekigataDef"_s, 'c');
    if (cut) {
        QFile f(old + u"Kel4Line.db"_s);
        QVERIFY(f.resize(f.size() - 5000));
    }
    const QString target = env.Root() + u"/target/"_s;
    QDir().mkpath(target);

    QString out, err;
    const int result = Export(QStringList{u"--data-dir"_s, target, u"--import-paradox"_s, old} + extra, &out, &err);
    QCOMPARE(result, status);
    const QString all = out + err;
    QVERIFY2(all.contains(expected), qPrintable(all));
    if (status == 0) {
        QVERIFY(out.contains(u"Kel4Line を取り込んでいます…"_s));
        QVERIFY(out.contains(u"1203 / 1203 件"_s));
        QVERIFY(QFileInfo::exists(target + u"Kel4Line.db"_s));
        QVERIFY(QFileInfo::exists(old + u"Kel4Line.db"_s)); // the old folder is only read
        QFile defaults(u"DekigataDef"_s);
        QVERIFY(defaults.open(QIODevice::ReadOnly));
        QCOMPARE(defaults.readAll(), QByteArray(472, 'c'));
    } else {
        QCOMPARE(QDir(target).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
        QVERIFY(!QFileInfo::exists(u"DekigataDef"_s));
    }
}

QTEST_MAIN(TestParadoxImportWindow)
#include "tst_ParadoxImportWindow.moc"
