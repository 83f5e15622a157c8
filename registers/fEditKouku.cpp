#include "registers/fEditKouku.h"

#include "app/uHelp.h"
#include "app/uCommon.h"
#include "app/uuSetDataPath.h"
#include "registers/fEditKoji.h"
#include "registers/uKoji.h"
#include "registers/ukouku.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

TfrmEditKouku *frmEditKouku = nullptr;

TfrmEditKouku::TfrmEditKouku(QWidget *parent)
    : TRegisterWindow(parent)
    , ComboBox1(new TDropDownComboBox(this))
    , ListBox1(new QListWidget(this))
    , SpeedButton1(new QToolButton(this))
    , SpeedButton2(new QToolButton(this))
    , Edit1(new QLineEdit(this))
    , BitBtn1(new QPushButton(u"工区を追加する"_s, this))
    , BitBtn2(new QPushButton(u"工区からはずす"_s, this))
    , BitBtn4(new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), u"登録"_s, this))
    , BitBtn3(new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), u"閉じる(&C)"_s, this))
    , m_kouku(new TKouku(this))
{
    setWindowTitle(u"工区データ"_s);
    SetHelpTopic(this, u"kouku"_s);

    N_DataPath = MenuBar->addAction(u"データパス"_s);
    N_Koji = MenuBar->addAction(u"工事データ"_s);

    SpeedButton1->setText(u"↑"_s);
    SpeedButton2->setText(u"↓"_s);
    BitBtn4->setEnabled(false);
    for (QPushButton *b : {BitBtn1, BitBtn2, BitBtn3, BitBtn4})
        b->setAutoDefault(false);
    ComboBox1->setMinimumWidth(320);
    LimitBytes(Edit1, TKouku::TableDef(), u"Koukumei"_s);
    ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(u"工事名"_s, this), 0, 0, 1, 3);
    grid->addWidget(ComboBox1, 1, 0, 1, 3);
    grid->addWidget(new QLabel(u"工区リスト"_s, this), 2, 0);
    grid->addWidget(ListBox1, 3, 0, 4, 1);
    grid->addWidget(SpeedButton1, 3, 1, Qt::AlignTop);
    grid->addWidget(SpeedButton2, 6, 1, Qt::AlignBottom);
    auto *side = new QVBoxLayout;
    auto *label = new QLabel(u"工区名"_s, this);
    label->setBuddy(Edit1);
    side->addWidget(label);
    side->addWidget(Edit1);
    side->addWidget(BitBtn1);
    side->addWidget(BitBtn2);
    side->addStretch();
    side->addWidget(BitBtn4);
    side->addWidget(BitBtn3);
    grid->addLayout(side, 3, 2, 4, 1);
    RootLayout->addLayout(grid);
    ListBox1->setMinimumSize(200, 240);

    connect(N_DataPath, &QAction::triggered, this, [] { ShowRegisterWindow(frmSetDataPath); });
    connect(N_Koji, &QAction::triggered, this, [] { ShowRegisterWindow(frmEditKoji); });
    connect(ComboBox1, &TDropDownComboBox::DropDown, this, [this] {
        QStringList items;
        if (Run([&] { m_kouku->Koji->GetList(items); }))
            ComboBox1->SetItemsKeepText(items);
    });
    connect(ComboBox1, &QComboBox::activated, this, &TfrmEditKouku::ProjectChosen);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmEditKouku::AddClick);
    connect(BitBtn2, &QPushButton::clicked, this, &TfrmEditKouku::RemoveClick);
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { MoveSelected(-1); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { MoveSelected(1); });
    connect(BitBtn4, &QPushButton::clicked, this, &TfrmEditKouku::RegisterClick);
    connect(BitBtn3, &QPushButton::clicked, this, &QWidget::close);

    m_kouku->CreateTableIfMissing();
    setFixedSize(sizeHint());
}

void TfrmEditKouku::ProjectChosen()
{
    QStringList names;
    if (!Run([&] {
            m_kouku->Koji->LoadByCode(ItemCode(ComboBox1->currentText()));
            m_kouku->GetList(names);
        }))
        return;
    ListBox1->clear();
    ListBox1->addItems(names);
    BitBtn4->setEnabled(false);
}

void TfrmEditKouku::AddClick()
{
    ListBox1->addItem(Edit1->text());
    ListBox1->setCurrentRow(ListBox1->count() - 1);
    Edit1->clear();
    BitBtn4->setEnabled(true);
}

void TfrmEditKouku::RemoveClick()
{
    QListWidgetItem *item = ListBox1->currentItem();
    if (item && item->isSelected())
        delete ListBox1->takeItem(ListBox1->row(item));
    BitBtn4->setEnabled(true);
}

void TfrmEditKouku::MoveSelected(int step)
{
    BitBtn4->setEnabled(true);
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

bool TfrmEditKouku::RegisterClick()
{
    QStringList names;
    for (int i = 0; i < ListBox1->count(); ++i)
        names.append(ListBox1->item(i)->text());
    // On failure the stored list is as it was; the list on screen stays, still unsaved.
    const bool saved = Run([&] {
        m_kouku->Koji->LoadByCode(ItemCode(ComboBox1->currentText()));
        m_kouku->RewriteList(names);
    });
    if (saved)
        BitBtn4->setEnabled(false);
    return saved;
}

void TfrmEditKouku::reject()
{
    if (BitBtn4->isEnabled()) {
        switch (AskYesNoCancel(this, u"変更は登録されていません。登録しますか？"_s)) {
        case QMessageBox::Yes:
            if (!RegisterClick())
                return;
            break;
        case QMessageBox::No: {
            // Discarded: the window shows the stored list again.
            QStringList names;
            Run([&] { m_kouku->GetList(names); });
            ListBox1->clear();
            ListBox1->addItems(names);
            BitBtn4->setEnabled(false);
            break;
        }
        default:
            return;
        }
    }
    TRegisterWindow::reject();
}
