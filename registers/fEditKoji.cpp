#include "registers/fEditKoji.h"

#include "app/uHelp.h"
#include "app/fListBox.h"
#include "app/uCommon.h"
#include "registers/fEditHacchusya.h"
#include "registers/fEditSimei.h"
#include "registers/fEditUkeoisya.h"
#include "registers/uHacchusya.h"
#include "registers/uKoji.h"
#include "registers/uSimei.h"
#include "registers/uUkeoisya.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;

TfrmEditKoji *frmEditKoji = nullptr;

namespace {
const QString kClose = u"閉じる"_s;
const QString kRegister = u"登録"_s;
} // namespace

TfrmEditKoji::TfrmEditKoji(QWidget *parent)
    : TRegisterWindow(parent)
    , Edit1(new QLineEdit(this))
    , Button1(new QPushButton(u"工事検索"_s, this))
    , Edit2(new QLineEdit(this))
    , ComboBox3(new TDropDownComboBox(this))
    , ComboBox2(new TDropDownComboBox(this))
    , ComboBox1(new TDropDownComboBox(this))
    , RadioGroup1(new QGroupBox(u"印刷様式"_s, this))
    , RadioButtons(new QButtonGroup(this))
    , Button2(new QPushButton(kClose, this))
    , m_koji(new TKoji(this))
{
    setWindowTitle(u"工事名の登録"_s);

    QMenu *file = AddMenu(u"ファイル"_s);
    N_New = file->addAction(u"新規"_s);
    N_PrintList = file->addAction(u"一覧印刷"_s);
    N_PrintList->setEnabled(false); // a project list print is not defined
    N_Delete = file->addAction(u"削除"_s);
    N_Close = file->addAction(u"閉じる"_s);
    QMenu *data = AddMenu(u"データ"_s);
    N_Simei = data->addAction(u"氏名"_s);
    N_Hacchusya = data->addAction(u"発注者"_s);
    N_Ukeoisya = data->addAction(u"請負者"_s);
    N_Help = MenuBar->addAction(u"ヘルプ"_s);
    SetHelpTopic(this, u"HID00000002"_s);

    LimitBytes(Edit1, 8);
    InputMethodOff(Edit1);
    LimitBytes(Edit2, 128);
    for (QComboBox *box : {ComboBox3, ComboBox2, ComboBox1}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
    }
    LimitBytes(ComboBox3->lineEdit(), TKoji::TableDef(), u"HACCHUSYA"_s);
    LimitBytes(ComboBox2->lineEdit(), TKoji::TableDef(), u"UKEOISYA"_s);
    LimitBytes(ComboBox1->lineEdit(), TKoji::TableDef(), u"DAIRININ"_s);
    auto *radios = new QHBoxLayout(RadioGroup1);
    const QStringList styles = {u"開発局"_s, u"土木現業所"_s, u"支庁"_s};
    for (int i = 0; i < styles.size(); ++i) {
        auto *radio = new QRadioButton(styles.at(i), RadioGroup1);
        RadioButtons->addButton(radio, i);
        radios->addWidget(radio);
    }
    RadioButtons->button(0)->setChecked(true);
    Button1->setAutoDefault(false);
    Button2->setAutoDefault(false);

    auto *codeRow = new QHBoxLayout;
    codeRow->addWidget(Edit1);
    codeRow->addWidget(Button1);
    codeRow->addStretch();
    Edit1->setFixedWidth(110);
    Edit2->setMinimumWidth(420);
    auto *form = new QFormLayout;
    form->addRow(u"工事コード"_s, codeRow);
    form->addRow(u"工事名"_s, Edit2);
    form->addRow(u"発注者名"_s, ComboBox3);
    form->addRow(u"請負者名"_s, ComboBox2);
    form->addRow(u"現場代理人"_s, ComboBox1);
    RootLayout->addLayout(form);
    RootLayout->addWidget(RadioGroup1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button2);
    RootLayout->addLayout(buttons);

    connect(N_New, &QAction::triggered, this, [this] {
        Edit1->clear();
        Edit2->clear();
        ComboBox3->setEditText(QString());
        ComboBox2->setEditText(QString());
        ComboBox1->setEditText(QString());
        Edit1->setFocus();
    });
    connect(N_Delete, &QAction::triggered, this, &TfrmEditKoji::DeleteClick);
    connect(N_Close, &QAction::triggered, this, &QWidget::close);
    connect(N_Simei, &QAction::triggered, this, &TfrmEditKoji::SimeiClick);
    connect(N_Hacchusya, &QAction::triggered, this, [this] {
        TfrmEditHacchusya dialog(this);
        dialog.exec();
    });
    connect(N_Ukeoisya, &QAction::triggered, this, [this] {
        TfrmEditUkeoisya dialog(this);
        dialog.exec();
    });
    connect(N_Help, &QAction::triggered, this, [this] { ShowHelpFor(this); });

    connect(Edit1, &QLineEdit::textChanged, this, &TfrmEditKoji::Changed);
    connect(Edit2, &QLineEdit::textChanged, this, &TfrmEditKoji::Changed);
    for (QComboBox *box : {ComboBox3, ComboBox2, ComboBox1})
        connect(box, &QComboBox::editTextChanged, this, &TfrmEditKoji::Changed);
    connect(RadioButtons, &QButtonGroup::buttonClicked, this, &TfrmEditKoji::Changed);

    connect(ComboBox3, &TDropDownComboBox::DropDown, this, [this] {
        QStringList names;
        if (Run([&] { m_koji->Hacchusya->GetList(names); }))
            ComboBox3->SetItemsKeepText(names);
    });
    connect(ComboBox3, &QComboBox::activated, this, [this] {
        Run([this] { m_koji->Hacchusya->LoadByName(ComboBox3->currentText()); });
    });
    connect(ComboBox2, &TDropDownComboBox::DropDown, this, [this] {
        QStringList names;
        if (Run([&] { m_koji->Ukeoisya->GetList(names); }))
            ComboBox2->SetItemsKeepText(names);
    });
    connect(ComboBox2, &QComboBox::activated, this, [this] {
        Run([this] { m_koji->Ukeoisya->LoadByName(ComboBox2->currentText()); });
    });
    connect(ComboBox1, &TDropDownComboBox::DropDown, this, [this] {
        QStringList names;
        if (Run([&] { m_koji->Dairinin->GetList(names); }))
            ComboBox1->SetItemsKeepText(names);
    });

    connect(Button1, &QPushButton::clicked, this, &TfrmEditKoji::SearchClick);
    connect(Button2, &QPushButton::clicked, this, &TfrmEditKoji::Button2Click);

    m_koji->CreateTableIfMissing();
    setFixedSize(sizeHint());
}

void TfrmEditKoji::FormActivate()
{
    // Whatever was typed and not registered gives way to the project as last loaded.
    if (Run([this] { m_koji->CreateTableIfMissing(); }))
        DataToForm();
}

void TfrmEditKoji::DataToForm()
{
    Edit1->setText(m_koji->Code);
    Edit2->setText(m_koji->Kojimei);
    ComboBox3->setEditText(m_koji->Hacchusya->Hacchusyamei);
    ComboBox2->setEditText(m_koji->Ukeoisya->Ukeoisyamei);
    ComboBox1->setEditText(m_koji->Dairinin->Simei);
    if (QAbstractButton *radio = RadioButtons->button(m_koji->Yoshiki)) {
        radio->setChecked(true);
    } else {
        RadioButtons->setExclusive(false);
        if (RadioButtons->checkedButton())
            RadioButtons->checkedButton()->setChecked(false);
        RadioButtons->setExclusive(true);
    }
    Button2->setText(kClose);
}

void TfrmEditKoji::FormToData()
{
    m_koji->Code = Edit1->text();
    m_koji->Kojimei = Edit2->text();
    // Loaded by name, the records bring their details along, so the save below rewrites
    // them unchanged, or registers a new name with empty details.
    m_koji->Hacchusya->LoadByName(ComboBox3->currentText());
    m_koji->Ukeoisya->LoadByName(ComboBox2->currentText());
    m_koji->Dairinin->LoadByName(ComboBox1->currentText());
    m_koji->Yoshiki = RadioButtons->checkedId();
}

void TfrmEditKoji::Changed()
{
    Button2->setText(kRegister);
}

void TfrmEditKoji::SearchClick()
{
    Run([this] {
        TfrmListBox picker(this);
        picker.setWindowTitle(u"工事選択"_s);
        QStringList items;
        m_koji->GetList(items);
        picker.ListBox1->addItems(items);
        if (picker.exec() != QDialog::Accepted)
            return;
        m_koji->LoadByCode(ItemCode(picker.Result()));
        DataToForm();
    });
}

void TfrmEditKoji::Button2Click()
{
    if (Button2->text() != kRegister) {
        close();
        return;
    }
    const bool saved = Run([this] {
        FormToData();
        m_koji->Save();
    });
    // A refused save keeps the typed values on screen, still unregistered.
    if (saved)
        Button2->setText(kClose);
}

void TfrmEditKoji::DeleteClick()
{
    if (!ConfirmDelete(this))
        return;
    Run([this] {
        FormToData();
        m_koji->Delete();
    });
}

void TfrmEditKoji::SimeiClick()
{
    TfrmEditSimei dialog(this);
    if (dialog.exec() == QDialog::Accepted)
        ComboBox1->setEditText(dialog.Edit2->text());
}
