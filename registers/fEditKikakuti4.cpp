#include "registers/fEditKikakuti4.h"

#include "app/RegistryUtility.h"
#include "app/fListBox.h"
#include "app/uCommon.h"
#include "app/uHelp.h"
#include "registers/fEditKosyu.h"
#include "registers/uKikakuti4.h"
#include "registers/uKikakutiList.h"
#include "registers/uKosyu.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;

TfrmEditKikakuti4 *frmEditKikakuti4 = nullptr;

namespace {
const QString kOwnStandardKey = u"JisyaKikakumei"_s;
}

TfrmEditKikakuti4::TfrmEditKikakuti4(QWidget *parent)
    : TRegisterWindow(parent)
    , RadioGroup1(new QGroupBox(u"区分"_s, this))
    , RadioButtons(new QButtonGroup(this))
    , ComboBox1(new TDropDownComboBox(this))
    , ComboBox2(new TDropDownComboBox(this))
    , LabelKoumoku(new QLabel(u"項目名"_s, this))
    , Edit2(new QLineEdit(this))
    , Edit3(new QLineEdit(this))
    , CheckBox1(new QCheckBox(u"合格判定値"_s, this))
    , Label1(new QLabel(u"条件"_s, this))
    , Edit1(new QLineEdit(this))
    , Edit4(new QLineEdit(this))
    , Edit5(new QLineEdit(this))
    , Edit6(new QLineEdit(this))
    , Button1(new QPushButton(u"登録"_s, this))
    , Button2(new QPushButton(u"閉じる"_s, this))
    , m_kikakuti(new TKikakuti4(this))
{
    setWindowTitle(u"規格値の登録"_s);

    QMenu *file = AddMenu(u"ファイル"_s);
    N_PrintList = file->addAction(u"一覧印刷"_s);
    N_Delete = file->addAction(u"削除"_s);
    N_Close = file->addAction(u"閉じる"_s);
    QMenu *data = AddMenu(u"データ"_s);
    N_Kosyu = data->addAction(u"工種データ"_s);
    SetHelpContext(this, 6);

    auto *radios = new QHBoxLayout(RadioGroup1);
    const QStringList classes = {u"開発局"_s, u"土木現業所"_s, u"支庁"_s};
    for (int i = 0; i < classes.size(); ++i) {
        auto *radio = new QRadioButton(classes.at(i), RadioGroup1);
        RadioButtons->addButton(radio, i);
        radios->addWidget(radio);
    }
    for (QComboBox *box : {ComboBox1, ComboBox2}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMinimumWidth(240);
    }
    LimitBytes(ComboBox1->lineEdit(), TKikakuti4::TableDef(), u"KOSYUMEI"_s);
    LimitBytes(ComboBox2->lineEdit(), TKikakuti4::TableDef(), u"KOUMOKUMEI"_s);
    LimitBytes(Edit1, TKikakuti4::TableDef(), u"JOKEN"_s);
    LimitBytes(Edit2, TKikakuti4::TableDef(), u"KIKAKUTIU1"_s);
    LimitBytes(Edit3, TKikakuti4::TableDef(), u"KIKAKUTID1"_s);
    LimitBytes(Edit5, TKikakuti4::TableDef(), u"KIKAKUTIU2"_s);
    LimitBytes(Edit6, TKikakuti4::TableDef(), u"KIKAKUTID2"_s);
    for (QLineEdit *edit : {Edit1, Edit2, Edit3, Edit5, Edit6})
        InputMethodOff(edit);
    LabelKoumoku->setCursor(Qt::PointingHandCursor);
    LabelKoumoku->setToolTip(u"登録済データの選択"_s);
    LabelKoumoku->installEventFilter(this);
    Button1->setEnabled(false);
    Button1->setAutoDefault(false);
    Button2->setAutoDefault(false);

    auto *names = new QGridLayout;
    names->addWidget(new QLabel(u"工種名"_s, this), 0, 0);
    names->addWidget(ComboBox1, 0, 1);
    names->addWidget(LabelKoumoku, 1, 0);
    names->addWidget(ComboBox2, 1, 1);
    names->setColumnStretch(1, 1);

    auto *official = new QGroupBox(u"規格値(㎜)"_s, this);
    auto *officialGrid = new QGridLayout(official);
    officialGrid->addWidget(new QLabel(u"上限値"_s, official), 0, 0);
    officialGrid->addWidget(Edit2, 0, 1);
    officialGrid->addWidget(new QLabel(u"下限値"_s, official), 1, 0);
    officialGrid->addWidget(Edit3, 1, 1);
    officialGrid->addWidget(CheckBox1, 2, 0, 1, 2);
    officialGrid->addWidget(Label1, 3, 0);
    officialGrid->addWidget(Edit1, 3, 1);

    auto *own = new QGroupBox(u"自社規格値"_s, this);
    auto *ownGrid = new QGridLayout(own);
    ownGrid->addWidget(Edit4, 0, 0, 1, 2);
    ownGrid->addWidget(new QLabel(u"上限値"_s, own), 1, 0);
    ownGrid->addWidget(Edit5, 1, 1);
    ownGrid->addWidget(new QLabel(u"下限値"_s, own), 2, 0);
    ownGrid->addWidget(Edit6, 2, 1);
    ownGrid->setRowStretch(3, 1);

    auto *limits = new QHBoxLayout;
    limits->addWidget(official);
    limits->addWidget(own);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    RootLayout->addWidget(RadioGroup1);
    RootLayout->addLayout(names);
    RootLayout->addLayout(limits);
    RootLayout->addLayout(buttons);

    connect(N_Delete, &QAction::triggered, this, [this] { Run([this] { m_kikakuti->Delete(); }); });
    connect(N_Close, &QAction::triggered, this, &QWidget::close);
    connect(N_PrintList, &QAction::triggered, this, [this] { Run([this] { PreviewKikakutiList(this); }); });
    connect(N_Kosyu, &QAction::triggered, this, [] { ShowRegisterWindow(frmEditKosyu); });

    connect(RadioButtons, &QButtonGroup::idClicked, this, [this](int id) { m_kikakuti->Kubun = id; });
    connect(ComboBox1, &TDropDownComboBox::DropDown, this, [this] {
        QStringList items;
        if (Run([&] { m_kikakuti->Kosyu->GetList(items); }))
            ComboBox1->SetItemsKeepText(items);
    });
    connect(ComboBox1, &QComboBox::activated, this, [this] {
        const bool found = Run([this] {
            m_kikakuti->Kosyu->LoadByName(ComboBox1->currentText());
            m_kikakuti->LoadByKey();
        });
        if (found)
            DataToForm();
    });
    connect(ComboBox2, &TDropDownComboBox::DropDown, this, [this] {
        QStringList items;
        if (Run([&] { m_kikakuti->GetItemList(items); }))
            ComboBox2->SetItemsKeepText(items);
    });
    connect(ComboBox2, &QComboBox::activated, this, [this] {
        const bool found = Run([this] {
            m_kikakuti->Koumokumei = ComboBox2->currentText();
            m_kikakuti->LoadByKey();
        });
        if (found)
            DataToForm();
    });
    connect(CheckBox1, &QCheckBox::clicked, this, [this] {
        Label1->setEnabled(CheckBox1->isChecked());
        Edit1->setEnabled(CheckBox1->isChecked());
        Changed();
    });
    for (QComboBox *box : {ComboBox1, ComboBox2})
        connect(box, &QComboBox::editTextChanged, this, &TfrmEditKikakuti4::Changed);
    for (QLineEdit *edit : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6})
        connect(edit, &QLineEdit::textChanged, this, &TfrmEditKikakuti4::Changed);
    connect(Button1, &QPushButton::clicked, this, &TfrmEditKikakuti4::RegisterClick);
    connect(Button2, &QPushButton::clicked, this, &QWidget::close);

    m_kikakuti->CreateTableIfMissing();
    setFixedSize(sizeHint());
}

void TfrmEditKikakuti4::FormActivate()
{
    const QString name = ReadSetting(kOwnStandardKey);
    Edit4->setText(name.isEmpty() ? u"自社規格"_s : name);
}

bool TfrmEditKikakuti4::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == LabelKoumoku && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        PickRegistered();
        return true;
    }
    return TRegisterWindow::eventFilter(watched, event);
}

void TfrmEditKikakuti4::DataToForm()
{
    if (QAbstractButton *radio = RadioButtons->button(m_kikakuti->Kubun)) {
        radio->setChecked(true);
    } else if (RadioButtons->checkedButton()) {
        RadioButtons->setExclusive(false);
        RadioButtons->checkedButton()->setChecked(false);
        RadioButtons->setExclusive(true);
    }
    ComboBox1->setEditText(m_kikakuti->Kosyu->Kosyumei);
    ComboBox2->setEditText(m_kikakuti->Koumokumei);
    Edit2->setText(m_kikakuti->KikakutiU1);
    Edit3->setText(m_kikakuti->KikakutiD1);
    CheckBox1->setChecked(m_kikakuti->GokakuHantei);
    Label1->setEnabled(m_kikakuti->GokakuHantei);
    Edit1->setEnabled(m_kikakuti->GokakuHantei);
    Edit1->setText(m_kikakuti->Joken);
    Edit5->setText(m_kikakuti->KikakutiU2);
    Edit6->setText(m_kikakuti->KikakutiD2);
}

void TfrmEditKikakuti4::FormToData()
{
    m_kikakuti->Kubun = RadioButtons->checkedId(); // -1 while no class is chosen
    m_kikakuti->Kosyu->LoadByName(ComboBox1->currentText());
    m_kikakuti->Koumokumei = ComboBox2->currentText();
    m_kikakuti->KikakutiU1 = Edit2->text();
    m_kikakuti->KikakutiD1 = Edit3->text();
    m_kikakuti->GokakuHantei = CheckBox1->isChecked();
    m_kikakuti->Joken = Edit1->text();
    WriteSetting(kOwnStandardKey, Edit4->text());
    m_kikakuti->KikakutiU2 = Edit5->text();
    m_kikakuti->KikakutiD2 = Edit6->text();
}

void TfrmEditKikakuti4::Changed()
{
    Button1->setEnabled(true);
}

void TfrmEditKikakuti4::PickRegistered()
{
    Run([this] {
        TfrmListBox picker(this);
        picker.setWindowTitle(u"登録済データの選択"_s);
        QStringList items;
        m_kikakuti->GetList(items);
        picker.ListBox1->addItems(items);
        if (picker.exec() != QDialog::Accepted)
            return;
        const QString choice = picker.Result();
        m_kikakuti->Kosyu->LoadByName(ItemCode(choice));
        m_kikakuti->Koumokumei = ItemName(choice);
        m_kikakuti->LoadByKey();
        DataToForm();
        Button1->setEnabled(false);
    });
}

bool TfrmEditKikakuti4::RegisterClick()
{
    const bool saved = Run([this] {
        FormToData();
        m_kikakuti->Save();
    });
    if (saved)
        Button1->setEnabled(false);
    return saved;
}

void TfrmEditKikakuti4::reject()
{
    if (Button1->isEnabled()) {
        switch (AskYesNoCancel(this, u"未登録データを保存しますか"_s)) {
        case QMessageBox::Yes:
            if (!RegisterClick())
                return;
            break;
        case QMessageBox::No:
            break;
        default:
            return;
        }
    }
    TRegisterWindow::reject();
}
