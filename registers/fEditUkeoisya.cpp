#include "registers/fEditUkeoisya.h"

#include "app/uHelp.h"
#include "registers/uUkeoisya.h"

#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

TfrmEditUkeoisya *frmEditUkeoisya = nullptr;

TfrmEditUkeoisya::TfrmEditUkeoisya(QWidget *parent)
    : TRegisterWindow(parent)
    , ComboBox1(new TDropDownComboBox(this))
    , Edit1(new QLineEdit(this))
    , Edit2(new QLineEdit(this))
    , Edit3(new QLineEdit(this))
    , CheckBox1(new QCheckBox(u"JVの代表会社である"_s, this))
    , Button1(new QPushButton(u"登録(&O)"_s, this))
    , m_ukeoisya(new TUkeoisya(this))
{
    setWindowTitle(u"請負者の登録"_s);

    QMenu *file = AddMenu(u"ファイル"_s);
    N_New = file->addAction(u"新規"_s);
    N_Delete = file->addAction(u"削除"_s);
    N_Close = file->addAction(u"閉じる"_s);
    N_Help = MenuBar->addAction(u"ヘルプ"_s);
    SetHelpTopic(this, u"HID00000004"_s);

    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMinimumWidth(340);
    LimitBytes(ComboBox1->lineEdit(), TUkeoisya::TableDef(), u"UKEOISYAMEI"_s);
    LimitBytes(Edit1, TUkeoisya::TableDef(), u"JUSYO"_s);
    LimitBytes(Edit2, TUkeoisya::TableDef(), u"KAISYA"_s);
    LimitBytes(Edit3, TUkeoisya::TableDef(), u"DAIHYOSYA"_s);
    Button1->setAutoDefault(false);

    auto *form = new QFormLayout;
    form->addRow(u"請負者名"_s, ComboBox1);
    form->addRow(u"住所"_s, Edit1);
    form->addRow(u"会社名"_s, Edit2);
    form->addRow(u"代表者"_s, Edit3);
    form->addRow(QString(), CheckBox1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    RootLayout->addLayout(form);
    RootLayout->addLayout(buttons);

    Edit2->installEventFilter(this);

    connect(N_New, &QAction::triggered, this, [this] {
        m_ukeoisya->Clear();
        DataToForm();
    });
    connect(N_Delete, &QAction::triggered, this, [this] {
        Run([this] {
            FormToData();
            m_ukeoisya->Delete();
        });
    });
    connect(N_Close, &QAction::triggered, this, &QWidget::close);
    connect(N_Help, &QAction::triggered, this, [this] { ShowHelpFor(this); });
    connect(ComboBox1, &TDropDownComboBox::DropDown, this, [this] {
        QStringList names;
        if (Run([&] { m_ukeoisya->GetList(names); }))
            ComboBox1->SetItemsKeepText(names);
    });
    connect(ComboBox1, &QComboBox::activated, this, [this] {
        if (Run([this] { m_ukeoisya->LoadByName(ComboBox1->currentText()); }))
            DataToForm();
    });
    connect(Button1, &QPushButton::clicked, this, [this] {
        Run([this] {
            FormToData();
            m_ukeoisya->Save();
        });
    });

    m_ukeoisya->CreateTableIfMissing();
    setFixedSize(sizeHint());
}

bool TfrmEditUkeoisya::eventFilter(QObject *watched, QEvent *event)
{
    // The company is most often the contractor itself.
    if (watched == Edit2 && event->type() == QEvent::FocusIn && Edit2->text().isEmpty())
        Edit2->setText(ComboBox1->currentText());
    return TRegisterWindow::eventFilter(watched, event);
}

void TfrmEditUkeoisya::DataToForm()
{
    ComboBox1->setEditText(m_ukeoisya->Ukeoisyamei);
    Edit1->setText(m_ukeoisya->Jusyo);
    Edit2->setText(m_ukeoisya->Kaisya);
    Edit3->setText(m_ukeoisya->Daihyosya);
    CheckBox1->setChecked(m_ukeoisya->JVFlag);
}

void TfrmEditUkeoisya::FormToData()
{
    m_ukeoisya->Ukeoisyamei = ComboBox1->currentText().trimmed();
    m_ukeoisya->Jusyo = Edit1->text().trimmed();
    m_ukeoisya->Kaisya = Edit2->text().trimmed();
    m_ukeoisya->Daihyosya = Edit3->text().trimmed();
    m_ukeoisya->JVFlag = CheckBox1->isChecked();
}
