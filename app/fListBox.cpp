#include "app/fListBox.h"

#include "app/uCommon.h"

#include <QListWidget>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

TfrmListBox *frmListBox = nullptr;

TfrmListBox::TfrmListBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
    , ListBox1(new QListWidget(this))
    , Button1(new QPushButton(u"&OK"_s, this))
{
    setWindowTitle(u"frmListBox"_s);
    setFixedSize(232, 308);
    ListBox1->setGeometry(0, 0, 232, 268);
    Button1->setGeometry(78, 276, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

QString TfrmListBox::Result() const
{
    const QListWidgetItem *item = ListBox1->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void TfrmListBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    CenterInWorkArea(this);
}
