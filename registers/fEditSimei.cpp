#include "registers/fEditSimei.h"

#include "app/uHelp.h"
#include "app/fListBox.h"
#include "registers/uSimei.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

using namespace Qt::Literals::StringLiterals;

TfrmEditSimei *frmEditSimei = nullptr;

TfrmEditSimei::TfrmEditSimei(QWidget *parent)
    : TRegisterWindow(parent)
    , Edit1(new QLineEdit(this))
    , Edit2(new QLineEdit(this))
    , Button2(new QPushButton(u"氏名検索"_s, this))
    , Button1(new QPushButton(u"登録"_s, this))
    , StatusBar1(new QStatusBar(this))
    , m_simei(new TSimei(this))
{
    setWindowTitle(u"氏名の登録"_s);

    QMenu *file = AddMenu(u"ファイル"_s);
    N_New = file->addAction(u"新規"_s);
    N_Delete = file->addAction(u"削除"_s);
    N_Close = file->addAction(u"閉じる"_s);
    N_Help = MenuBar->addAction(u"ヘルプ"_s);
    SetHelpTopic(this, u"HID00000005"_s);

    Button1->setAutoDefault(false);
    Button2->setAutoDefault(false);
    Edit1->setMinimumWidth(200);
    LimitBytes(Edit1, TSimei::TableDef(), u"FURIGANA"_s);
    LimitBytes(Edit2, TSimei::TableDef(), u"SIMEI"_s);

    auto *form = new QFormLayout;
    form->addRow(u"ふりがな"_s, Edit1);
    form->addRow(u"氏名"_s, Edit2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button2);
    buttons->addStretch();
    buttons->addWidget(Button1);
    RootLayout->addLayout(form);
    RootLayout->addLayout(buttons);
    RootLayout->addWidget(StatusBar1);
    StatusBar1->setSizeGripEnabled(false);

    connect(N_New, &QAction::triggered, this, [this] {
        Edit1->clear();
        Edit2->clear();
        Edit1->setFocus();
    });
    // Deletes the person as last loaded or saved, not what the fields show.
    connect(N_Delete, &QAction::triggered, this, [this] { Run([this] { m_simei->Delete(); }); });
    connect(N_Close, &QAction::triggered, this, &QWidget::close);
    connect(N_Help, &QAction::triggered, this, [this] { ShowHelpFor(this); });
    connect(Button2, &QPushButton::clicked, this, &TfrmEditSimei::SearchClick);
    connect(Button1, &QPushButton::clicked, this, &TfrmEditSimei::RegisterClick);

    setFixedSize(sizeHint());
}

void TfrmEditSimei::DataToForm()
{
    Edit1->setText(m_simei->Furigana);
    Edit2->setText(m_simei->Simei);
}

void TfrmEditSimei::FormToData()
{
    m_simei->Furigana = Edit1->text();
    m_simei->Simei = Edit2->text();
}

void TfrmEditSimei::SearchClick()
{
    Run([this] {
        TfrmListBox picker(this);
        picker.setWindowTitle(u"氏名の選択"_s);
        QStringList names;
        m_simei->GetList(names);
        picker.ListBox1->addItems(names);
        if (picker.exec() != QDialog::Accepted)
            return;
        m_simei->LoadByName(picker.Result());
        DataToForm();
    });
}

void TfrmEditSimei::RegisterClick()
{
    const bool saved = Run([this] {
        FormToData();
        m_simei->Save();
    });
    if (!saved)
        return;
    // Opened from the project window, the dialog closes and hands the name over.
    if (isModal())
        accept();
}
