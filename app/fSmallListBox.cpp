#include "app/fSmallListBox.h"

#include <QKeyEvent>
#include <QListWidget>

TfrmSmallListBox *frmSmallListBox = nullptr;

TfrmSmallListBox::TfrmSmallListBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , ListBox1(new QListWidget(this))
{
    setFixedSize(171, 132);
    ListBox1->setGeometry(0, 0, 171, 132);
    ListBox1->installEventFilter(this);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

QString TfrmSmallListBox::Result() const
{
    const QListWidgetItem *item = ListBox1->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

bool TfrmSmallListBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ListBox1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
