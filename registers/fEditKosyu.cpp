#include "registers/fEditKosyu.h"

#include "app/uHelp.h"
#include "registers/uKosyu.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

TfrmEditKosyu *frmEditKosyu = nullptr;

TfrmEditKosyu::TfrmEditKosyu(QWidget *parent)
    : TRegisterWindow(parent)
    , ListBox1(new QListWidget(this))
    , SpeedButton1(new QToolButton(this))
    , SpeedButton2(new QToolButton(this))
    , Edit2(new QLineEdit(this))
    , Button1(new QPushButton(u"工種追加"_s, this))
    , Button3(new QPushButton(u"工種削除"_s, this))
    , Button2(new QPushButton(u"登録(&O)"_s, this))
    , m_kosyu(new TKosyu(this))
{
    setWindowTitle(u"工種の登録"_s);
    SetHelpTopic(this, u"kosyu"_s);

    QMenu *file = AddMenu(u"ファイル"_s);
    N_New = file->addAction(u"新規"_s);
    N_Delete = file->addAction(u"削除"_s);
    N_Close = file->addAction(u"閉じる"_s);

    SpeedButton1->setText(u"↑"_s);
    SpeedButton2->setText(u"↓"_s);
    LimitBytes(Edit2, 32);
    Button1->setEnabled(false);
    Button2->setAutoDefault(false);

    auto *grid = new QGridLayout;
    grid->addWidget(ListBox1, 0, 0, 4, 1);
    grid->addWidget(SpeedButton1, 0, 1, Qt::AlignTop);
    grid->addWidget(SpeedButton2, 3, 1, Qt::AlignBottom);
    auto *label = new QLabel(u"工種名"_s, this);
    label->setBuddy(Edit2);
    grid->addWidget(label, 4, 0, 1, 2);
    grid->addWidget(Edit2, 5, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button3);
    buttons->addStretch();
    buttons->addWidget(Button2);
    grid->addLayout(buttons, 6, 0, 1, 2);
    RootLayout->addLayout(grid);
    ListBox1->setMinimumSize(260, 240);

    connect(N_New, &QAction::triggered, this, [this] {
        m_kosyu->Clear();
        Edit2->setText(m_kosyu->Kosyumei);
    });
    connect(N_Delete, &QAction::triggered, this, [this] { Run([this] { m_kosyu->DeleteAll(); }); });
    connect(N_Close, &QAction::triggered, this, &QWidget::close);
    connect(Edit2, &QLineEdit::textEdited, this, [this] { Button1->setEnabled(true); });
    connect(Button1, &QPushButton::clicked, this, &TfrmEditKosyu::AddClick);
    connect(Button3, &QPushButton::clicked, this, &TfrmEditKosyu::RemoveClick);
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { MoveSelected(-1); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { MoveSelected(1); });
    connect(Button2, &QPushButton::clicked, this, &TfrmEditKosyu::RegisterClick);

    m_kosyu->CreateTableIfMissing();
    setFixedSize(sizeHint());
}

void TfrmEditKosyu::FormActivate()
{
    QStringList names;
    if (!Run([&] { m_kosyu->GetList(names); }))
        return;
    ListBox1->clear();
    ListBox1->addItems(names);
    Edit2->clear();
    if (ListBox1->count() > 0)
        ListBox1->setCurrentRow(0);
}

void TfrmEditKosyu::AddClick()
{
    // Before the selected item, which stays selected, so names typed one after the
    // other keep their order.
    const int row = ListBox1->currentRow();
    if (row >= 0 && ListBox1->currentItem()->isSelected())
        ListBox1->insertItem(row, Edit2->text());
    else
        ListBox1->addItem(Edit2->text());
    Edit2->clear();
    Edit2->setFocus();
    Button1->setEnabled(false);
}

void TfrmEditKosyu::RemoveClick()
{
    QListWidgetItem *item = ListBox1->currentItem();
    if (item && item->isSelected())
        delete ListBox1->takeItem(ListBox1->row(item));
}

void TfrmEditKosyu::MoveSelected(int step)
{
    QListWidgetItem *item = ListBox1->currentItem();
    if (!item || !item->isSelected())
        return;
    const int row = ListBox1->row(item);
    const int target = row + step;
    if (target < 0 || target >= ListBox1->count())
        return;
    ListBox1->takeItem(row);
    ListBox1->insertItem(target, item);
    ListBox1->setCurrentItem(item);
}

QStringList TfrmEditKosyu::ListItems() const
{
    QStringList names;
    for (int i = 0; i < ListBox1->count(); ++i)
        names.append(ListBox1->item(i)->text());
    return names;
}

void TfrmEditKosyu::RegisterClick()
{
    if (Button1->isEnabled())
        AddClick();
    // On failure the stored list is as it was, and the list on screen stays for another try.
    if (Run([this] { m_kosyu->RewriteList(ListItems()); }))
        close();
}
