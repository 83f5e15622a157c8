#include "app/uuSetDataPath.h"

#include "app/RegistryUtility.h"
#include "app/uActivation.h"
#include "app/uApplication.h"
#include "app/uCommon.h"
#include "app/uDatabase.h"
#include "app/uFolderDialog.h"
#include "app/uHelp.h"
#include "app/uSpread.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

TfrmSetDataPath *frmSetDataPath = nullptr;

namespace {
QString OnOff(const QCheckBox *box)
{
    return box->isChecked() ? u"TRUE"_s : u"FALSE"_s;
}
} // namespace

TfrmSetDataPath::TfrmSetDataPath(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
    , Edit1(new QLineEdit(this))
    , Button2(new QPushButton(u"パス"_s, this))
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
    setFixedSize(378, 158);
    SetHelpTopic(this, u"setdatapath"_s);

    Edit1->setGeometry(8, 10, 290, 22);
    Button2->setGeometry(304, 9, 66, 24);
    CheckBox1->setGeometry(8, 42, 200, 20);

    GroupBox1->setGeometry(8, 68, 230, 52);
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
    Panel1->setGeometry(246, 68, 124, 52);
    CheckBox2->setGeometry(4, 4, 116, 20);
    CheckBox3->setGeometry(4, 28, 116, 20);
    Panel1->hide();

    BitBtn1->setGeometry(290, 126, 80, 26);
    BitBtn1->setDefault(true);

    connect(Button2, &QPushButton::clicked, this, &TfrmSetDataPath::Button2Click);
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

void TfrmSetDataPath::FormActivate()
{
    Edit1->setText(GetAliasPath(u"TOMARUK"_s));
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

void TfrmSetDataPath::BitBtn1Click()
{
    if (!SetAliasPath(u"TOMARUK"_s, Edit1->text()))
        ShowSetAliasFailed(this, Edit1->text());
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
