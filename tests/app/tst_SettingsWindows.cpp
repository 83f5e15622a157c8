#include "app/AppPaths.h"
#include "app/RegistryUtility.h"
#include "app/SjisText.h"
#include "app/IniFile.h"
#include "app/uDataPath.h"
#include "app/uDataSource.h"
#include "app/uDatabase.h"
#include "app/uDekigataDef.h"
#include "app/uFolderControls.h"
#include "app/uFolderDialog.h"
#include "app/uSpread.h"
#include "app/uuSetDataPath.h"
#include "support/ModalAnswer.h"
#include "support/TestEnv.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <functional>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Every waiting answer hangs here, so a test's leftovers never answer the next test's boxes.

// Types any text, full-width characters included, into the widget that has the keyboard.
void TypeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

void TypeIntoCell(TSpread *grid, int col, int row, const QString &text)
{
    grid->SetActiveCell(col, row);
    QTest::sendKeyEvent(QTest::Click, grid->viewport(), Qt::Key_unknown, QString(text.at(0)),
                        Qt::NoModifier);
    QWidget *editor = grid->window()->focusWidget();
    QVERIFY(qobject_cast<QLineEdit *>(editor));
    TypeText(editor, text.mid(1));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

// Chooses the folder and presses the accept button. Under load the dialog may not know the
// folder yet and answer with a message instead of closing: the message is dismissed and the
// press repeated until the dialog closes.
void ChooseFolder(QFileDialog *files, const QString &folder)
{
    QTimer dismiss;
    dismiss.setInterval(20);
    QObject::connect(&dismiss, &QTimer::timeout, [files] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != files && modal->inherits("QMessageBox"))
            static_cast<QDialog *>(modal)->reject();
    });
    dismiss.start();
    for (int attempt = 0; attempt < 100 && files->isVisible(); ++attempt) {
        files->selectFile(folder);
        static_cast<QDialog *>(files)->accept();
        if (files->isVisible())
            QTest::qWait(50);
    }
    if (files->isVisible())
        files->reject();
}

QPoint CellCenter(TSpread *grid, int col, int row)
{
    return grid->visualRect(grid->Model()->index(row - 1, col - 1)).center();
}

void ClickCheck(QCheckBox *box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

void AnswerColor(const QColor &color)
{
    WhenModal("QColorDialog", [color](QWidget *w) {
        auto *dialog = static_cast<QColorDialog *>(w);
        dialog->setCurrentColor(color);
        dialog->accept();
    });
}

QString OnlyDirectory(const QString &folder)
{
    return QDir::cleanPath(folder);
}

// Answers the next message box with Button and keeps its text.
void AnswerMessage(QString *text, QMessageBox::StandardButton button = QMessageBox::Ok)
{
    WhenModal("QMessageBox", [text, button](QWidget *w) {
        auto *box = static_cast<QMessageBox *>(w);
        *text = box->text();
        box->button(button)->click();
    });
}

// A port on 127.0.0.1 that nothing listens on: one the system hands out, let go again.
int ClosedPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}

} // namespace

class TestSettingsWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { qDeleteAll(ModalWaiters().children()); }
    void defaultsWithoutFile();
    void roundingSetting_data();
    void roundingSetting();
    void defaultsEditedAndReopened();
    void companyNameCut_data();
    void companyNameCut();
    void colourBlock();
    void shortFileMessage();
    void aliasFailureShowsFailed();
    void environmentWindow();
    void environmentWindowServer();
    void folderDialog();
};

void TestSettingsWindows::defaultsWithoutFile()
{
    TTestEnv env;
    WriteSetting(u"ShichoKasouLine"_s, u"TRUE"_s);
    WriteSetting(u"80percent"_s, u"true"_s); // only "TRUE" counts
    TfrmDataPath window;
    QCOMPARE(window.windowTitle(), u"標準値の登録"_s);
    QCOMPARE(window.size(), QSize(384, 429));
    window.FormActivate();

    // The first activation creates the file; the colours are the standard palette.
    QCOMPARE(QFileInfo(u"DekigataDef"_s).size(), 472);
    for (int k = 1; k <= 6; ++k)
        for (int t = 1; t <= 3; ++t)
            QCOMPARE(window.vaSpread1->CellText(k, t), QString());
    QCOMPARE(window.vaSpread1->CellText(1, 0), u"設計単位"_s);
    QCOMPARE(window.vaSpread1->CellText(0, 3), u"幅"_s);
    for (int c = 1; c <= 41; ++c)
        QCOMPARE(window.vaSpread2->CellBackColor(c, 1), TDekigataDef::StandardColor(c));
    for (int c = 1; c <= 9; ++c)
        QCOMPARE(window.vaSpread3->CellBackColor(c, 1), TDekigataDef::StandardColor(41 + c));
    QCOMPARE(window.vaSpread2->CellText(1, 0), u"-20"_s);
    QCOMPARE(window.vaSpread2->CellText(21, 0), u"0"_s);
    QCOMPARE(window.vaSpread2->CellText(41, 0), u"20"_s);
    QCOMPARE(window.vaSpread2->ColWidth(0), 0);
    QCOMPARE(window.vaSpread3->CellText(9, 0), u"80%"_s);
    QCOMPARE(window.DirectoryListBox1->Directory(), OnlyDirectory(env.DataFolder()));
    QCOMPARE(window.DriveComboBox1->Drive(), u"/"_s);
    QVERIFY(window.CheckBox2->isChecked());
    QVERIFY(!window.CheckBox3->isChecked());
    QVERIFY(!window.CheckBox1->isChecked());
    QCOMPARE(window.Edit1->text(), QString());
    QVERIFY(!window.FileListBox1->isEnabled());
    QCOMPARE(window.RadioGroupIndex(), 0);
}

void TestSettingsWindows::roundingSetting_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("index");
    QTest::newRow("absent") << QString() << 0;
    QTest::newRow("3.7 truncates") << u"3.7"_s << 3;
    QTest::newRow("garbled") << u"x"_s << 0;
    QTest::newRow("beyond the last item") << u"7"_s << 3;
    QTest::newRow("cut up") << u"1"_s << 1;
}

void TestSettingsWindows::roundingSetting()
{
    QFETCH(QString, stored);
    QFETCH(int, index);
    TTestEnv env;
    if (!stored.isNull())
        WriteSetting(u"K4_80%_ROUND"_s, stored);
    TfrmDataPath window;
    window.FormActivate();
    QCOMPARE(window.RadioGroupIndex(), index);
    // The choice shown is the choice stored.
    QCOMPARE(ReadSetting(u"K4_80%_ROUND"_s), QString::number(index));

    // A click stores at once, without OK.
    auto *button = window.RadioGroup1->findChildren<QRadioButton *>().at(2);
    window.show();
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    QCOMPARE(ReadSetting(u"K4_80%_ROUND"_s), u"2"_s);
}

void TestSettingsWindows::defaultsEditedAndReopened()
{
    TTestEnv env;
    const QString otherFolder = env.Root() + u"/other"_s;
    QDir().mkpath(otherFolder);

    TfrmDataPath window;
    WhenModal("TfrmDataPath", [&](QWidget *) {
        TypeIntoCell(window.vaSpread1, 1, 1, u"ｍｍ"_s);
        TypeIntoCell(window.vaSpread1, 5, 2, u"0.1"_s);
        TypeIntoCell(window.vaSpread1, 6, 3, u"20"_s);
        ClickCheck(window.CheckBox1);
        ClickCheck(window.CheckBox3);
        window.Edit1->setFocus();
        TypeText(window.Edit1, u"北海道舗装"_s);
        window.DirectoryListBox1->SetDirectory(otherFolder);
        AnswerColor(QColor(255, 0, 0));
        QTest::mouseDClick(window.vaSpread3->viewport(), Qt::LeftButton, {},
                           CellCenter(window.vaSpread3, 2, 1));
        QTest::mouseClick(window.Button1, Qt::LeftButton);
    });
    QCOMPARE(window.exec(), int(QDialog::Accepted));

    QCOMPARE(QFileInfo(u"DekigataDef"_s).size(), 472);
    QCOMPARE(DekigataDef().Units(1, 1), u"ｍｍ"_s);
    QCOMPARE(SjisText::ByteLength(DekigataDef().Units(1, 1)), 4);
    QCOMPARE(DekigataDef().Units(5, 2), u"0.1"_s);
    QCOMPARE(DekigataDef().Units(6, 3), u"20"_s);
    QCOMPARE(DekigataDef().Colors(43), 0x000000FFu);
    QCOMPARE(DekigataDef().Colors(42), TDekigataDef::StandardColor(42));
    QVERIFY(DekigataDef().NoNotes());
    QCOMPARE(DekigataDef().CompanyName(), u"北海道舗装"_s);
    QCOMPARE(ReadSetting(u"80percent"_s), u"TRUE"_s);
    QCOMPARE(ReadSetting(u"ShichoKasouLine"_s), u"FALSE"_s);
    QCOMPARE(GetAliasPath(u"tomaruk"_s), otherFolder + u'/');

    // Edits left without OK are lost; what OK stored comes back from the file.
    DekigataDef().Clear();
    WhenModal("TfrmDataPath", [&](QWidget *) {
        QCOMPARE(window.vaSpread1->CellText(1, 1), u"ｍｍ"_s);
        TypeIntoCell(window.vaSpread1, 1, 1, u"㎝"_s);
        window.reject();
    });
    QCOMPARE(window.exec(), int(QDialog::Rejected));
    WhenModal("TfrmDataPath", [&](QWidget *) { window.reject(); });
    window.exec();
    QCOMPARE(window.vaSpread1->CellText(1, 1), u"ｍｍ"_s);
    QCOMPARE(window.vaSpread1->CellText(6, 3), u"20"_s);
    QVERIFY(window.CheckBox1->isChecked());
    QVERIFY(window.CheckBox3->isChecked());
    QCOMPARE(window.Edit1->text(), u"北海道舗装"_s);
    QCOMPARE(window.vaSpread3->CellBackColor(2, 1), 0x000000FFu);
    QCOMPARE(window.DirectoryListBox1->Directory(), otherFolder);
    QCOMPARE(window.vaSpread2->FirstVisibleCol(), 15);
}

void TestSettingsWindows::companyNameCut_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    const QString twenty = QString(20, u'舗');
    QTest::newRow("40 bytes keep 32") << twenty << QString(16, u'舗');
    QTest::newRow("never half a character") << u"A"_s + twenty << u"A"_s + QString(15, u'舗');
    QTest::newRow("32 bytes fit") << QString(16, u'あ') << QString(16, u'あ');
    QTest::newRow("half-width") << QString(40, u'k') << QString(32, u'k');
}

void TestSettingsWindows::companyNameCut()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    TTestEnv env;
    TfrmDataPath window;
    window.FormActivate();
    window.Edit1->setText(typed);
    window.Button1Click();
    QCOMPARE(DekigataDef().CompanyName(), stored);
    QFile file(u"DekigataDef"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(int(quint8(bytes.at(433))), SjisText::ByteLength(stored));
    QVERIFY(SjisText::ByteLength(stored) <= 32);
}

void TestSettingsWindows::colourBlock()
{
    TTestEnv env;
    TfrmDataPath window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TSpread *grid = window.vaSpread2;
    grid->SetFirstVisibleCol(15);
    // Cells beside the block keep the colours they had (the palette of a new defaults file).
    const quint32 before15 = grid->CellBackColor(15, 1), before19 = grid->CellBackColor(19, 1);
    AnswerColor(QColor(0, 128, 255));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(grid, 16, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCenter(grid, 18, 1));
    for (int c = 16; c <= 18; ++c)
        QCOMPARE(grid->CellBackColor(c, 1), 0x00FF8000u);
    // ...and shows it at once, not a selection over it.
    QCOMPARE(grid->viewport()->grab().toImage().pixelColor(CellCenter(grid, 17, 1)), QColor(0, 128, 255));
    QCOMPARE(grid->CellBackColor(15, 1), before15);
    QCOMPARE(grid->CellBackColor(19, 1), before19);

    // A cancelled dialog changes nothing; the colour cells take no typing.
    WhenModal("QColorDialog", [](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(grid, 16, 1));
    QCOMPARE(grid->CellBackColor(16, 1), 0x00FF8000u);
    QCOMPARE(grid->CellText(16, 1), QString());

    window.Button1Click();
    QCOMPARE(DekigataDef().Colors(17), 0x00FF8000u);
    QCOMPARE(DekigataDef().Colors(18), 0x00FF8000u);
    QCOMPARE(DekigataDef().Colors(15), before15);
}

void TestSettingsWindows::shortFileMessage()
{
    TTestEnv env;
    {
        QFile file(u"DekigataDef"_s);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray bytes(400, '\0');
        bytes[65] = 2;
        bytes[66] = 'c';
        bytes[67] = 'm';
        file.write(bytes);
    }
    TfrmDataPath window;
    QString shown;
    WhenModal("QMessageBox", [&](QWidget *w) {
        auto *box = static_cast<QMessageBox *>(w);
        shown = box->windowTitle() + u'|' + box->text();
        box->accept();
    });
    window.FormActivate();
    QCOMPARE(shown, u"ケルモ４|「オプション」-「標準値の登録」を再度実行してください"_s);
    QCOMPARE(QFileInfo(u"DekigataDef"_s).size(), 472);
    QCOMPARE(window.vaSpread1->CellText(1, 1), u"cm"_s);

    // The file is whole now: no message the next time.
    shown.clear();
    WhenModal("QMessageBox", [&](QWidget *w) {
        shown = u"again"_s;
        static_cast<QDialog *>(w)->accept();
    });
    window.FormActivate();
    QTest::qWait(50);
    QCOMPARE(shown, QString());
}

void TestSettingsWindows::aliasFailureShowsFailed()
{
    TTestEnv env;
    TfrmDataPath window;
    window.FormActivate();
    // A folder where the configuration file should be: it cannot be written.
    QDir().mkpath(AppPaths::AliasFile());
    window.vaSpread1->SetCellText(2, 1, u"㎜"_s);
    QString shown, why;
    WhenModal("QMessageBox", [&](QWidget *w) {
        shown = static_cast<QMessageBox *>(w)->text();
        why = static_cast<QMessageBox *>(w)->informativeText();
        static_cast<QDialog *>(w)->accept();
    });
    window.Button1Click();
    QCOMPARE(shown, u"Failed"_s);
    QVERIFY2(why.contains(QDir::toNativeSeparators(AppPaths::AliasFile())), qPrintable(why));
    // The rest of OK still ran.
    QCOMPARE(DekigataDef().Units(2, 1), u"㎜"_s);
    QVERIFY(QFileInfo::exists(u"DekigataDef"_s));
    QCOMPARE(ReadSetting(u"80percent"_s), u"FALSE"_s);
}

void TestSettingsWindows::environmentWindow()
{
    TTestEnv env;
    WriteSetting(u"UnUseInkan"_s, u"TRUE"_s);
    WriteSetting(u"ColorOndoNeriRange"_s, u"255"_s);
    WriteSetting(u"ColorOndoSikiRange"_s, u"65280.9"_s);
    WriteSetting(u"UseRate"_s, u"TRUE"_s);
    TfrmSetDataPath window;
    QCOMPARE(window.windowTitle(), u"環境設定"_s);
    QCOMPARE(window.size(), QSize(378, 338));
    QVERIFY(!window.Panel1->isVisibleTo(&window));

    WhenModal("TfrmSetDataPath", [&](QWidget *) {
        QCOMPARE(window.Edit1->text(), env.DataFolder());
        QVERIFY(window.CheckBox1->isChecked());
        QVERIFY(!window.CheckBox2->isChecked());
        QVERIFY(window.CheckBox3->isChecked());
        QCOMPARE(window.NeriColor(), 255);
        QCOMPARE(window.SikiColor(), 65280);
        QCOMPARE(window.Edit2->palette().color(QPalette::Base), QColor(255, 0, 0));
        AnswerColor(QColor(0, 0, 255));
        QTest::mouseDClick(window.Edit3, Qt::LeftButton);
        ClickCheck(window.CheckBox1);
        // The alias file goes; OK with the path unchanged must write it again.
        QFile::remove(AppPaths::AliasFile());
        QTest::mouseClick(window.BitBtn1, Qt::LeftButton);
    });
    QCOMPARE(window.exec(), int(QDialog::Accepted));
    QCOMPARE(ReadSetting(u"ColorOndoSikiRange"_s), QString::number(0x00FF0000));
    QCOMPARE(ReadSetting(u"ColorOndoNeriRange"_s), u"255"_s);
    QCOMPARE(ReadSetting(u"UnUseInkan"_s), u"FALSE"_s);
    QCOMPARE(ReadSetting(u"UseSiyou"_s), u"FALSE"_s);
    QCOMPARE(ReadSetting(u"UseRate"_s), u"TRUE"_s);
    QVERIFY(QFileInfo::exists(AppPaths::AliasFile()));
    QCOMPARE(GetAliasPath(u"tomaruk"_s), env.DataFolder());
}

void TestSettingsWindows::environmentWindowServer()
{
    TTestEnv env;
    const QString folder = env.DataFolder();
    const int port = ClosedPort();
    QVERIFY(port > 0);
    TfrmSetDataPath window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.RadioButton1->isChecked());
    QVERIFY(!window.Edit4->isEnabled());
    QTest::mouseClick(window.RadioButton2, Qt::LeftButton, {}, QPoint(6, window.RadioButton2->height() / 2));
    QVERIFY(window.Edit4->isEnabled() && window.Edit7->isEnabled());
    QVERIFY(!window.Edit1->isEnabled() && !window.Button2->isEnabled());
    QCOMPARE(window.Edit5->text(), u"5432"_s);

    // Without a server name OK refuses: the window stays and nothing is saved.
    window.Edit6->setText(u"kelmo4"_s);
    QString shown;
    AnswerMessage(&shown);
    QTest::mouseClick(window.BitBtn1, Qt::LeftButton);
    QVERIFY2(shown.contains(u"サーバー名"_s), qPrintable(shown));
    QVERIFY(window.isVisible());
    QVERIFY(!GetAliasSource(u"tomaruk"_s).IsServer());

    // The test against a closed port tells why in Japanese.
    window.Edit4->setText(u"127.0.0.1"_s);
    window.Edit5->setText(QString::number(port));
    window.Edit7->setText(u"sato"_s);
    AnswerMessage(&shown);
    QTest::mouseClick(window.Button3, Qt::LeftButton);
    QVERIFY2(shown.contains(u"サーバーに接続できません"_s) && shown.contains(QString::number(port)),
             qPrintable(shown));

    // OK tries the server too; "No" keeps the window, "Yes" saves without a connection.
    AnswerMessage(&shown, QMessageBox::No);
    QTest::mouseClick(window.BitBtn1, Qt::LeftButton);
    QVERIFY2(shown.startsWith(u"接続できませんでした。"_s) && shown.endsWith(u"このまま保存しますか？"_s),
             qPrintable(shown));
    QVERIFY(window.isVisible());
    QVERIFY(!GetAliasSource(u"tomaruk"_s).IsServer());
    AnswerMessage(&shown, QMessageBox::Yes);
    QTest::mouseClick(window.BitBtn1, Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QCOMPARE(TIniFile(AppPaths::AliasFile()).Read(u"tomaruk"_s, u"Driver"_s, false), u"QPSQL"_s);
    TDataSource server;
    server.Kind = TDataSource::TKind::Server;
    server.Host = u"127.0.0.1"_s;
    server.Port = port;
    server.Database = u"kelmo4"_s;
    server.User = u"sato"_s;
    QVERIFY(GetAliasSource(u"tomaruk"_s) == server);

    // 標準値の登録 shows the server and its OK leaves the alias alone...
    TfrmDataPath defaults;
    defaults.FormActivate();
    QVERIFY2(defaults.ServerLabel->text().contains(u"127.0.0.1:%1"_s.arg(port)),
             qPrintable(defaults.ServerLabel->text()));
    QVERIFY(!defaults.DirectoryListBox1->isEnabled());
    defaults.Button1Click();
    QVERIFY(GetAliasSource(u"tomaruk"_s) == server);
    // ...unless the switch to the folder is asked for.
    defaults.FormActivate();
    defaults.CheckBox4->setChecked(true);
    QVERIFY(defaults.DirectoryListBox1->isEnabled());
    defaults.Button1Click();
    QCOMPARE(GetAliasSource(u"tomaruk"_s).Folder, folder);
    QVERIFY(!GetAliasSource(u"tomaruk"_s).IsServer());

    // Back in the window the server is shown; choosing the folder again restores it.
    QVERIFY(SetAliasSource(u"tomaruk"_s, server));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.FormActivate();
    QVERIFY(window.RadioButton2->isChecked());
    QCOMPARE(window.Edit5->text(), QString::number(port));
    QCOMPARE(window.Edit7->text(), u"sato"_s);
    QTest::mouseClick(window.RadioButton1, Qt::LeftButton, {}, QPoint(6, window.RadioButton1->height() / 2));
    QTest::mouseClick(window.BitBtn1, Qt::LeftButton);
    QVERIFY(!window.isVisible());
    const TDataSource back = GetAliasSource(u"tomaruk"_s);
    QVERIFY(!back.IsServer());
    QCOMPARE(back.Folder, folder);
    QCOMPARE(TIniFile(AppPaths::AliasFile()).Read(u"tomaruk"_s, u"Host"_s, false), QString());
}

void TestSettingsWindows::folderDialog()
{
    TTestEnv env;
    const QString start = env.Root() + u"/start"_s;
    const QString chosen = env.Root() + u"/start/chosen"_s;
    QDir().mkpath(chosen);

    TFolderDialog dialog;
    QCOMPARE(dialog.Title, u"フォルダーの選択"_s);
    QCOMPARE(dialog.Directory, QString());
    dialog.Directory = start;
    QString startedIn;
    WhenModal("QFileDialog", [&](QWidget *w) {
        auto *files = static_cast<QFileDialog *>(w);
        startedIn = files->windowTitle() + u'|' + files->selectedFiles().value(0);
        files->reject();
    });
    QVERIFY(!dialog.Execute());
    QCOMPARE(startedIn, u"フォルダーの選択|"_s + start);
    QCOMPARE(dialog.Directory, start);

    WhenModal("QFileDialog", [&](QWidget *w) {
        auto *files = static_cast<QFileDialog *>(w);
        files->setDirectory(start);
        ChooseFolder(files, chosen);
    });
    QVERIFY(dialog.Execute());
    QCOMPARE(dialog.Directory, chosen);

    // The environment window's "パス" puts the choice into its edit.
    TfrmSetDataPath window;
    window.FormActivate();
    window.Edit1->setText(start);
    WhenModal("QFileDialog", [&](QWidget *w) {
        ChooseFolder(static_cast<QFileDialog *>(w), chosen);
    });
    window.Button2Click();
    QCOMPARE(window.Edit1->text(), chosen);
}

QTEST_MAIN(TestSettingsWindows)
#include "tst_SettingsWindows.moc"
