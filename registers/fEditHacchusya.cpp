#include "registers/fEditHacchusya.h"

#include "app/uHelp.h"
#include "registers/uHacchusya.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

TfrmEditHacchusya *frmEditHacchusya = nullptr;

TfrmEditHacchusya::TfrmEditHacchusya(QWidget *parent)
    : TRegisterWindow(parent)
    , ComboBox1(new TDropDownComboBox(this))
    , Edit1(new QLineEdit(this))
    , Button1(new QPushButton(u"登録(&O)"_s, this))
    , m_hacchusya(new THacchusya(this))
{
    setWindowTitle(u"発注者の登録"_s);

    QMenu *file = AddMenu(u"ファイル"_s);
    N_New = file->addAction(u"新規"_s);
    N_Delete = file->addAction(u"削除"_s);
    N_Close = file->addAction(u"閉じる"_s);
    N_Help = MenuBar->addAction(u"ヘルプ"_s);
    SetHelpTopic(this, u"HID00000003"_s);

    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMinimumWidth(260);
    LimitBytes(ComboBox1->lineEdit(), THacchusya::TableDef(), u"HACCHUSYAMEI"_s);
    LimitBytes(Edit1, THacchusya::TableDef(), u"SYOKUSIMEI"_s);
    Button1->setAutoDefault(false);

    auto *form = new QFormLayout;
    form->addRow(u"発注者名"_s, ComboBox1);
    form->addRow(u"職氏名"_s, Edit1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    RootLayout->addLayout(form);
    RootLayout->addLayout(buttons);

    connect(N_New, &QAction::triggered, this, [this] {
        m_hacchusya->Clear();
        DataToForm();
    });
    connect(N_Delete, &QAction::triggered, this, [this] {
        Run([this] {
            FormToData();
            m_hacchusya->Delete();
        });
    });
    connect(N_Close, &QAction::triggered, this, &QWidget::close);
    connect(N_Help, &QAction::triggered, this, [this] { ShowHelpFor(this); });
    connect(ComboBox1, &TDropDownComboBox::DropDown, this, [this] {
        QStringList names;
        if (Run([&] { m_hacchusya->GetList(names); }))
            ComboBox1->SetItemsKeepText(names);
    });
    connect(ComboBox1, &QComboBox::activated, this, [this] {
        if (Run([this] { m_hacchusya->LoadByName(ComboBox1->currentText()); }))
            DataToForm();
    });
    connect(Button1, &QPushButton::clicked, this, [this] {
        Run([this] {
            FormToData();
            m_hacchusya->Save();
        });
    });

    m_hacchusya->CreateTableIfMissing();
    setFixedSize(sizeHint());
}

void TfrmEditHacchusya::DataToForm()
{
    ComboBox1->setEditText(m_hacchusya->Hacchusyamei);
    Edit1->setText(m_hacchusya->SyokuSimei);
}

void TfrmEditHacchusya::FormToData()
{
    // The client shown keeps the counter it was loaded with, so that a change made by
    // another program since is refused; another name typed is looked up now.
    const QString name = ComboBox1->currentText();
    if (!m_hacchusya->Version.IsLoaded() || name != m_hacchusya->Hacchusyamei)
        m_hacchusya->LoadByName(name);
    m_hacchusya->SyokuSimei = Edit1->text();
}
