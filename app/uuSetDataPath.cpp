#include "app/uuSetDataPath.h"

#include "app/RegistryUtility.h"
#include "app/uActivation.h"
#include "app/uApplication.h"
#include "app/uCommon.h"
#include "app/uDataSource.h"
#include "app/uDatabase.h"
#include "app/uFolderDialog.h"
#include "app/uHelp.h"
#include "app/uSpread.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QEvent>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;

TfrmSetDataPath *frmSetDataPath = nullptr;

namespace {
const QString kAlias = u"TOMARUK"_s;
const QString kDefaultPort = u"5432"_s;

QString OnOff(const QCheckBox *box)
{
    return box->isChecked() ? u"TRUE"_s : u"FALSE"_s;
}

QLabel *FieldLabel(const QString &text, QWidget *parent, int x, int y, int w)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(x, y, w, 18);
    return label;
}
} // namespace

TfrmSetDataPath::TfrmSetDataPath(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
    , GroupBox2(new QGroupBox(u"データの場所"_s, this))
    , RadioButton1(new QRadioButton(u"フォルダ"_s, GroupBox2))
    , Edit1(new QLineEdit(GroupBox2))
    , Button2(new QPushButton(u"パス"_s, GroupBox2))
    , RadioButton2(new QRadioButton(u"サーバー (PostgreSQL)"_s, GroupBox2))
    , Edit4(new QLineEdit(GroupBox2))
    , Edit5(new QLineEdit(GroupBox2))
    , Edit6(new QLineEdit(GroupBox2))
    , Edit7(new QLineEdit(GroupBox2))
    , Label1(new QLabel(GroupBox2))
    , Button3(new QPushButton(u"接続テスト"_s, GroupBox2))
    , CheckBox1(new QCheckBox(u"社印を使わない"_s, this))
    , GroupBox1(new QGroupBox(u"温度範囲"_s, this))
    , Edit2(new QLineEdit(GroupBox1))
    , Edit3(new QLineEdit(GroupBox1))
    , Panel1(new QWidget(this))
    , CheckBox2(new QCheckBox(u"使用/未使用"_s, Panel1))
    , CheckBox3(new QCheckBox(u"率の印刷"_s, Panel1))
    , BitBtn1(new QPushButton(u"OK"_s, this))
{
    setWindowTitle(u"環境設定"_s);
    setFixedSize(378, 338);
    SetHelpTopic(this, u"setdatapath"_s);

    GroupBox2->setGeometry(8, 4, 362, 208);
    RadioButton1->setGeometry(8, 20, 200, 20);
    Edit1->setGeometry(26, 42, 256, 22);
    Button2->setGeometry(288, 41, 66, 24);
    RadioButton2->setGeometry(8, 70, 200, 20);
    auto *kinds = new QButtonGroup(this);
    kinds->addButton(RadioButton1);
    kinds->addButton(RadioButton2);
    RadioButton1->setChecked(true);
    m_serverFields = {FieldLabel(u"サーバー名"_s, GroupBox2, 26, 95, 84), Edit4,
                      FieldLabel(u"ポート"_s, GroupBox2, 266, 95, 40), Edit5,
                      FieldLabel(u"データベース"_s, GroupBox2, 26, 121, 84), Edit6,
                      FieldLabel(u"ユーザー"_s, GroupBox2, 26, 147, 84), Edit7, Label1};
    Edit4->setGeometry(112, 92, 150, 22);
    Edit5->setGeometry(308, 92, 46, 22);
    Edit5->setValidator(new QIntValidator(1, 65535, Edit5));
    Edit5->setText(kDefaultPort);
    Edit6->setGeometry(112, 118, 150, 22);
    Edit7->setGeometry(112, 144, 150, 22);
    Edit7->setPlaceholderText(u"ログイン名"_s);
    Label1->setGeometry(26, 170, 328, 34);
    Label1->setWordWrap(true);
    Label1->setText(u"パスワードは ~/.pgpass か環境変数 PGPASSWORD から読みます（このプログラムには保存しません）。"_s);
    Button3->setGeometry(270, 142, 84, 26);

    CheckBox1->setGeometry(8, 220, 200, 20);

    GroupBox1->setGeometry(8, 246, 230, 52);
    auto *neri = new QLabel(u"出荷"_s, GroupBox1);
    neri->setGeometry(10, 24, 30, 18);
    Edit2->setGeometry(40, 22, 60, 22);
    auto *siki = new QLabel(u"施工"_s, GroupBox1);
    siki->setGeometry(120, 24, 30, 18);
    Edit3->setGeometry(150, 22, 60, 22);
    for (QLineEdit *swatch : {Edit2, Edit3}) {
        swatch->setReadOnly(true);
        swatch->setToolTip(u"ダブルクリックで色を選びます"_s);
        swatch->installEventFilter(this);
    }

    // The panel of two further switches is kept but not offered.
    Panel1->setGeometry(246, 246, 124, 52);
    CheckBox2->setGeometry(4, 4, 116, 20);
    CheckBox3->setGeometry(4, 28, 116, 20);
    Panel1->hide();

    BitBtn1->setGeometry(290, 306, 80, 26);
    BitBtn1->setDefault(true);
    ShowKind();

    connect(RadioButton1, &QRadioButton::toggled, this, &TfrmSetDataPath::ShowKind);
    connect(Button2, &QPushButton::clicked, this, &TfrmSetDataPath::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TfrmSetDataPath::Button3Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmSetDataPath::BitBtn1Click);
    new TActivationWatch(this, [this] {
        CenterInWorkArea(this);
        FormActivate();
    });
}

void TfrmSetDataPath::ShowSwatch(QLineEdit *swatch, int color)
{
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Base, ColorFromBgr(quint32(color)));
    swatch->setPalette(palette);
}

void TfrmSetDataPath::ShowKind()
{
    const bool server = RadioButton2->isChecked();
    Edit1->setEnabled(!server);
    Button2->setEnabled(!server);
    for (QWidget *field : std::as_const(m_serverFields))
        field->setEnabled(server);
}

TDataSource TfrmSetDataPath::TypedSource() const
{
    TDataSource source;
    source.Folder = Edit1->text();
    if (RadioButton2->isChecked()) {
        source.Kind = TDataSource::TKind::Server;
        source.Host = Edit4->text().trimmed();
        const QString port = Edit5->text().trimmed();
        bool ok = true;
        source.Port = port.isEmpty() ? kDefaultPort.toInt() : port.toInt(&ok);
        if (!ok)
            source.Port = -1; // Problem() names it
        source.Database = Edit6->text().trimmed();
        source.User = Edit7->text().trimmed();
    }
    return source;
}

QString TfrmSetDataPath::TrySource(const TDataSource &source)
{
    // A server that does not answer keeps the attempt up to the connection timeout.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString failure;
    try {
        failure = TestDataSource(source);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
    return failure;
}

void TfrmSetDataPath::FormActivate()
{
    const TDataSource source = GetAliasSource(kAlias);
    Edit1->setText(source.Folder);
    Edit4->setText(source.IsServer() ? source.Host : QString());
    Edit5->setText(source.IsServer() ? QString::number(source.Port) : kDefaultPort);
    Edit6->setText(source.IsServer() ? source.Database : QString());
    Edit7->setText(source.IsServer() ? source.User : QString());
    (source.IsServer() ? RadioButton2 : RadioButton1)->setChecked(true);
    ShowKind();
    CheckBox1->setChecked(ReadSetting(u"UnUseInkan"_s) == u"TRUE"_s);
    m_neriColor = TruncToInt(TextToFloat(ReadSetting(u"ColorOndoNeriRange"_s)));
    m_sikiColor = TruncToInt(TextToFloat(ReadSetting(u"ColorOndoSikiRange"_s)));
    ShowSwatch(Edit2, m_neriColor);
    ShowSwatch(Edit3, m_sikiColor);
    CheckBox2->setChecked(ReadSetting(u"UseSiyou"_s) == u"TRUE"_s);
    CheckBox3->setChecked(ReadSetting(u"UseRate"_s) == u"TRUE"_s);
}

void TfrmSetDataPath::Button2Click()
{
    TFolderDialog dialog;
    dialog.Directory = Edit1->text();
    if (dialog.Execute(this))
        Edit1->setText(dialog.Directory);
}

void TfrmSetDataPath::Button3Click()
{
    const TDataSource source = TypedSource();
    const QString failure = TrySource(source);
    if (failure.isEmpty())
        QMessageBox::information(this, u"ケルモ４"_s, u"接続できました。\n%1"_s.arg(source.Describe()));
    else
        QMessageBox::warning(this, u"ケルモ４"_s, failure);
}

void TfrmSetDataPath::BitBtn1Click()
{
    const TDataSource source = TypedSource();
    if (source.IsServer()) {
        if (const QString problem = source.Problem(); !problem.isEmpty()) {
            QMessageBox::warning(this, u"ケルモ４"_s, problem);
            return;
        }
        // A server may be set up before it runs, so a failed test only asks. The one
        // already in use is not tried again: saving the switches must not wait for it.
        if (!(source == GetAliasSource(kAlias))) {
            const QString failure = TrySource(source);
            if (!failure.isEmpty()
                && QMessageBox::question(this, u"ケルモ４"_s,
                                         u"接続できませんでした。\n%1\n\nこのまま保存しますか？"_s.arg(failure),
                                         QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                       != QMessageBox::Yes)
                return;
        }
    }
    if (!SetAliasSource(kAlias, source))
        ShowSetAliasFailed(this, source);
    WriteSetting(u"UnUseInkan"_s, OnOff(CheckBox1));
    WriteSetting(u"UseSiyou"_s, OnOff(CheckBox2));
    WriteSetting(u"UseRate"_s, OnOff(CheckBox3));
    WriteSetting(u"ColorOndoNeriRange"_s, QString::number(m_neriColor));
    WriteSetting(u"ColorOndoSikiRange"_s, QString::number(m_sikiColor));
    accept();
}

bool TfrmSetDataPath::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick && (watched == Edit2 || watched == Edit3)) {
        int &color = watched == Edit2 ? m_neriColor : m_sikiColor;
        QColorDialog dialog(ColorFromBgr(quint32(color)), this);
        dialog.setOption(QColorDialog::DontUseNativeDialog, true);
        if (dialog.exec() == QDialog::Accepted) {
            color = int(BgrFromColor(dialog.selectedColor()));
            ShowSwatch(static_cast<QLineEdit *>(watched), color);
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
