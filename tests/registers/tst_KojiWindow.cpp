// "工事名の登録" with its person, client and contractor dialogs, driven as a user would.
#include "WindowDriver.h"
#include "app/ByteLimit.h"
#include "app/uDatabase.h"
#include "registers/fEditHacchusya.h"
#include "registers/fEditKoji.h"
#include "registers/fEditSimei.h"
#include "registers/fEditUkeoisya.h"
#include "registers/uHacchusya.h"
#include "registers/uKoji.h"
#include "registers/uSimei.h"
#include "registers/uUkeoisya.h"
#include "support/TestEnv.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace WindowDriver;

namespace {
QStringList Rows(const QString &sql, const QStringList &columns)
{
    TQuery q(sql);
    q.Open();
    QStringList rows;
    for (; !q.Eof(); q.Next()) {
        QStringList cells;
        for (const QString &c : columns)
            cells.append(q.FieldText(c));
        rows.append(cells.join(u'|'));
    }
    return rows;
}

QStringList Projects()
{
    return Rows(u"select * from Koji1 order by Code"_s,
                {u"CODE"_s, u"KOJIMEI"_s, u"HACCHUSYA"_s, u"UKEOISYA"_s, u"DAIRININ"_s, u"YOSHIKI"_s});
}

void ClickRadio(QButtonGroup *group, int id)
{
    QTest::mouseClick(group->button(id), Qt::LeftButton, {}, QPoint(6, group->button(id)->height() / 2));
}

void Retype(QWidget *edit, const QString &text)
{
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    Type(edit, text);
}

void SaveProject(const QString &code, const QString &name)
{
    TKoji koji;
    koji.CreateTableIfMissing();
    koji.Code = code;
    koji.Kojimei = name;
    koji.Hacchusya->Hacchusyamei = u"網走開発建設部"_s;
    koji.Dairinin->Simei = u"佐藤"_s;
    koji.Yoshiki = 2;
    koji.Save();
}
} // namespace

class TestKojiWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void registerAProject();
    void activationDropsUnsavedEdits();
    void refusedSaveKeepsWhatWasTyped();
    void searchAndEmptyChoice();
    void deleteAsksAndKeepsScreen();
    void personDialogHandsTheNameBack();
    void editorsLimitBytes_data();
    void editorsLimitBytes();
    void personWindow();
    void contractorWindow();
    void clientWindow();

private:
    TTestEnv *m_env = nullptr;
    TfrmEditKoji *m_window = nullptr;
};

void TestKojiWindow::init()
{
    m_env = new TTestEnv;
    m_window = new TfrmEditKoji;
}

void TestKojiWindow::cleanup()
{
    delete m_window;
    delete m_env;
}

void TestKojiWindow::registerAProject()
{
    TUkeoisya contractor;
    contractor.Ukeoisyamei = u"道東建設"_s;
    contractor.Jusyo = u"北見市"_s;
    contractor.Save();

    Activate(m_window);
    QCOMPARE(m_window->Button2->text(), u"閉じる"_s);
    QCOMPARE(m_window->RadioButtons->checkedId(), 0);
    Type(m_window->Edit1, u" 0007 "_s);
    QCOMPARE(m_window->Button2->text(), u"登録"_s);
    Type(m_window->Edit2, u"一般国道改良工事"_s);
    Type(m_window->ComboBox3, u"新しい局"_s);
    QCOMPARE(ChooseInCombo(m_window->ComboBox2, u"道東建設"_s), QStringList{u"道東建設"_s});
    QCOMPARE(m_window->ComboBox2->currentText(), u"道東建設"_s);
    Type(m_window->ComboBox1, u"山田"_s);
    ClickRadio(m_window->RadioButtons, 1);
    QTest::mouseClick(m_window->Button2, Qt::LeftButton);

    QCOMPARE(m_window->Button2->text(), u"閉じる"_s);
    QCOMPARE(Projects(), QStringList{u"0007|一般国道改良工事|新しい局|道東建設|山田|1"_s});
    QCOMPARE(Rows(u"select * from Hacchusya"_s, {u"HACCHUSYAMEI"_s}), QStringList{u"新しい局"_s});
    QCOMPARE(Rows(u"select * from Ukeoisya"_s, {u"UKEOISYAMEI"_s, u"JUSYO"_s}), QStringList{u"道東建設|北見市"_s});
    QCOMPARE(Rows(u"select * from Simei"_s, {u"SIMEI"_s}), QStringList{u"山田"_s});

    // The button in the clean state closes.
    QTest::mouseClick(m_window->Button2, Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
}

void TestKojiWindow::activationDropsUnsavedEdits()
{
    SaveProject(u"0001"_s, u"元の工事名"_s);
    Activate(m_window);
    AnswerPicker(u"0001:元の工事名"_s);
    QTest::mouseClick(m_window->Button1, Qt::LeftButton);
    Activate(m_window); // back from the picker
    QCOMPARE(m_window->Edit2->text(), u"元の工事名"_s);
    QCOMPARE(m_window->RadioButtons->checkedId(), 2);
    Type(m_window->Edit2, u"追記"_s);
    QCOMPARE(m_window->Button2->text(), u"登録"_s);

    // To another window and back: the edit gives way to the project as loaded.
    QWidget other;
    Activate(&other);
    Activate(m_window);
    QCOMPARE(m_window->Edit2->text(), u"元の工事名"_s);
    QCOMPARE(m_window->Button2->text(), u"閉じる"_s);
}

void TestKojiWindow::refusedSaveKeepsWhatWasTyped()
{
    Activate(m_window);
    Type(m_window->Edit1, u"0001"_s);
    Type(m_window->Edit2, u"工事"_s);
    const QString longClient = QString(12, QChar(u'局')); // 24 bytes: fits the register, not the project
    // Typing stops at the project's 20 bytes; a longer text can only come from the program.
    Type(m_window->ComboBox3, longClient);
    QCOMPARE(m_window->ComboBox3->currentText(), QString(10, QChar(u'局')));
    m_window->ComboBox3->setEditText(longClient);
    QString message;
    AnswerBox(QMessageBox::Ok, &message);
    QTest::mouseClick(m_window->Button2, Qt::LeftButton);
    QVERIFY2(message.contains(u"発注者名"_s) && message.contains(u"HACCHUSYA"_s), qPrintable(message));
    QVERIFY(Projects().isEmpty());
    QVERIFY(Rows(u"select * from Hacchusya"_s, {u"HACCHUSYAMEI"_s}).isEmpty());

    Activate(m_window);
    QCOMPARE(m_window->ComboBox3->currentText(), longClient);
    QCOMPARE(m_window->Edit1->text(), u"0001"_s);
    QCOMPARE(m_window->Button2->text(), u"登録"_s);
}

void TestKojiWindow::searchAndEmptyChoice()
{
    SaveProject(u"0001"_s, u"工事A"_s);
    SaveProject(u"0010"_s, u"工事B"_s);
    Activate(m_window);
    QString caption;
    QStringList offered;
    AnswerPicker(u"0001:工事A"_s, &caption, &offered);
    QTest::mouseClick(m_window->Button1, Qt::LeftButton);
    QCOMPARE(caption, u"工事選択"_s);
    QCOMPARE(offered, (QStringList{u"0010:工事B"_s, u"0001:工事A"_s}));
    QCOMPARE(m_window->Edit1->text(), u"0001"_s);
    QCOMPARE(m_window->ComboBox3->currentText(), u"網走開発建設部"_s);
    QCOMPARE(m_window->ComboBox1->currentText(), u"佐藤"_s);
    QCOMPARE(m_window->Button2->text(), u"閉じる"_s);

    AnswerPicker(QString());
    QTest::mouseClick(m_window->Button1, Qt::LeftButton);
    QVERIFY(m_window->Edit1->text().isEmpty());
    QVERIFY(m_window->Edit2->text().isEmpty());
    QCOMPARE(m_window->RadioButtons->checkedId(), 2); // the style stays
}

void TestKojiWindow::deleteAsksAndKeepsScreen()
{
    SaveProject(u"0001"_s, u"工事A"_s);
    Activate(m_window);
    AnswerPicker(u"0001:工事A"_s);
    QTest::mouseClick(m_window->Button1, Qt::LeftButton);

    QString text;
    QString title;
    AnswerBox(QMessageBox::Cancel, &text, &title);
    m_window->N_Delete->trigger();
    QCOMPARE(text, u"本当に削除しますか？"_s);
    QVERIFY(title.isEmpty());
    QCOMPARE(Projects().size(), 1);

    AnswerBox(QMessageBox::Ok);
    m_window->N_Delete->trigger();
    QVERIFY(Projects().isEmpty());
    QCOMPARE(m_window->Edit2->text(), u"工事A"_s);
    // Any edit, then 登録, writes it back.
    Type(m_window->Edit2, u"再"_s);
    QTest::mouseClick(m_window->Button2, Qt::LeftButton);
    QCOMPARE(Projects(), QStringList{u"0001|工事A再|網走開発建設部||佐藤|2"_s});
}

void TestKojiWindow::personDialogHandsTheNameBack()
{
    Activate(m_window);
    WhenModal([](QWidget *modal) {
        auto *dialog = qobject_cast<TfrmEditSimei *>(modal);
        QVERIFY(dialog);
        Type(dialog->Edit1, u"すずき"_s);
        Type(dialog->Edit2, u"鈴木"_s);
        QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    }, m_window);
    m_window->N_Simei->trigger();
    QCOMPARE(m_window->ComboBox1->currentText(), u"鈴木"_s);
    QCOMPARE(Rows(u"select * from Simei"_s, {u"FURIGANA"_s, u"SIMEI"_s}), QStringList{u"すずき|鈴木"_s});
    // Coming back from its own dialog does not reload the window.
    Activate(m_window);
    QCOMPARE(m_window->ComboBox1->currentText(), u"鈴木"_s);
    QCOMPARE(m_window->Button2->text(), u"登録"_s);
}

void TestKojiWindow::editorsLimitBytes_data()
{
    QTest::addColumn<int>("edit"); // 1, 2: project code and name; 3: a person's reading
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("notice");
    QTest::newRow("code, single-byte") << 1 << u"123456789"_s << QString() << u"12345678"_s << QString();
    QTest::newRow("code, full-width") << 1 << u"あいうえお"_s << QString() << u"あいうえ"_s << QString();
    QTest::newRow("code, mixed") << 1 << u"A1あいうX"_s << QString() << u"A1あいう"_s << QString();
    QTest::newRow("name, 128 bytes") << 2 << QString(70, QChar(u'工')) << QString() << QString(64, QChar(u'工'))
                                     << QString();
    QTest::newRow("reading, typed") << 3 << u"あいうえおかきくけ"_s << QString() << u"あいうえおかきく"_s << QString();
    QTest::newRow("reading, pasted after a typed letter") << 3 << u"a"_s << u"あいうえおかきくけ"_s
                                                          << u"aあいうえおかき"_s
                                                          << u"16 バイト（全角 8 文字）を超える分を切り捨てました。"_s;
    QTest::newRow("reading, pasted into a full field") << 3 << u"あいうえおかきく"_s << u"xy"_s << u"あいうえおかきく"_s
                                                       << u"16 バイト（全角 8 文字）を超える分を切り捨てました。"_s;
    QTest::newRow("reading, pasted with a character it cannot store") << 3 << QString() << u"たな😀か"_s
                                                                      << u"たなか"_s
                                                                      << u"使えない文字「😀」を取り除きました。"_s;
}

void TestKojiWindow::editorsLimitBytes()
{
    QFETCH(int, edit);
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    QFETCH(QString, notice);
    TfrmEditSimei person;
    QWidget *window = edit == 3 ? static_cast<QWidget *>(&person) : m_window;
    Activate(window);
    QLineEdit *target = edit == 1 ? m_window->Edit1 : edit == 2 ? m_window->Edit2 : person.Edit1;
    Type(target, typed);
    if (!pasted.isEmpty()) {
        QApplication::clipboard()->setText(pasted);
        QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
    }
    QCOMPARE(target->text(), kept);
    QCOMPARE(qobject_cast<const TByteLengthValidator *>(target->validator())->Notice(), notice);
}

void TestKojiWindow::personWindow()
{
    TfrmEditSimei window;
    Activate(&window);
    Type(window.Edit1, u" たなか"_s);
    Type(window.Edit2, u"田中 "_s);
    QTest::mouseClick(window.Button1, Qt::LeftButton);
    QVERIFY(window.isVisible()); // non-modal: stays open
    Retype(window.Edit1, u"たなか"_s);
    Retype(window.Edit2, u"田仲"_s);
    QTest::mouseClick(window.Button1, Qt::LeftButton);
    Retype(window.Edit1, QString());
    Retype(window.Edit2, u"阿部"_s);
    QTest::mouseClick(window.Button1, Qt::LeftButton);
    QCOMPARE(Rows(u"select * from Simei order by Furigana"_s, {u"FURIGANA"_s, u"SIMEI"_s}),
             (QStringList{u"たなか|田中"_s, u"たなか|田仲"_s, u"阿部|阿部"_s}));

    QString caption;
    QStringList offered;
    AnswerPicker(u"田中"_s, &caption, &offered);
    QTest::mouseClick(window.Button2, Qt::LeftButton);
    QCOMPARE(caption, u"氏名の選択"_s);
    QCOMPARE(offered.size(), 3);
    QCOMPARE(offered.last(), u"阿部"_s);
    QCOMPARE(window.Edit1->text(), u"たなか"_s);

    // 新規 empties the fields, but 削除 deletes the person last shown; 田仲 shares the
    // reading and stays.
    window.N_New->trigger();
    QVERIFY(window.Edit1->text().isEmpty() && window.Edit2->text().isEmpty());
    window.N_Delete->trigger();
    QCOMPARE(Rows(u"select * from Simei order by Simei"_s, {u"SIMEI"_s}), (QStringList{u"田仲"_s, u"阿部"_s}));
}

void TestKojiWindow::contractorWindow()
{
    TKoji koji; // the project record makes sure of the table
    TfrmEditUkeoisya window;
    Activate(&window);
    Type(window.ComboBox1, u" 北海建設 "_s);
    window.Edit2->setFocus();
    QCOMPARE(window.Edit2->text(), u" 北海建設 "_s);
    Type(window.Edit1, u" 札幌市 "_s);
    QTest::mouseClick(window.CheckBox1, Qt::LeftButton, {}, QPoint(6, window.CheckBox1->height() / 2));
    QTest::mouseClick(window.Button1, Qt::LeftButton);
    QCOMPARE(Rows(u"select * from Ukeoisya"_s, {u"UKEOISYAMEI"_s, u"JUSYO"_s, u"KAISYA"_s, u"JVFLAG"_s}),
             QStringList{u"北海建設|札幌市|北海建設|1"_s});

    // A filled company name is left alone on entering it.
    window.N_New->trigger();
    QVERIFY(window.ComboBox1->currentText().isEmpty());
    QCOMPARE(ChooseInCombo(window.ComboBox1, u"北海建設"_s), QStringList{u"北海建設"_s});
    QCOMPARE(window.Edit1->text(), u"札幌市"_s);
    QVERIFY(window.CheckBox1->isChecked());
    Retype(window.Edit2, u"北海建設株式会社"_s);
    window.Edit1->setFocus();
    window.Edit2->setFocus();
    QCOMPARE(window.Edit2->text(), u"北海建設株式会社"_s);
    QTest::mouseClick(window.Button1, Qt::LeftButton);
    window.N_Delete->trigger();
    QVERIFY(Rows(u"select * from Ukeoisya"_s, {u"UKEOISYAMEI"_s}).isEmpty());
    QCOMPARE(window.Edit2->text(), u"北海建設株式会社"_s);
}

void TestKojiWindow::clientWindow()
{
    TKoji koji;
    TfrmEditHacchusya window;
    Activate(&window);
    Type(window.ComboBox1, u"旭川開発建設部"_s);
    Type(window.Edit1, u"所長"_s);
    QTest::mouseClick(window.Button1, Qt::LeftButton);
    window.N_New->trigger();
    QVERIFY(window.Edit1->text().isEmpty());
    ChooseInCombo(window.ComboBox1, u"旭川開発建設部"_s);
    QCOMPARE(window.Edit1->text(), u"所長"_s);
    Retype(window.Edit1, u"次長"_s);
    QTest::mouseClick(window.Button1, Qt::LeftButton);
    QCOMPARE(Rows(u"select * from Hacchusya"_s, {u"HACCHUSYAMEI"_s, u"SYOKUSIMEI"_s}),
             QStringList{u"旭川開発建設部|次長"_s});
}

QTEST_MAIN(TestKojiWindow)
#include "tst_KojiWindow.moc"
