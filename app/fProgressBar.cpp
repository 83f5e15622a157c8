#include "app/fProgressBar.h"

#include <QProgressBar>

using namespace Qt::Literals::StringLiterals;

TfrmProgressBar *frmProgressBar = nullptr;

TfrmProgressBar::TfrmProgressBar(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , ProgressBar1(new QProgressBar(this))
{
    setWindowTitle(u"進行状況"_s);
    setFixedSize(279, 19);
    ProgressBar1->setGeometry(0, 0, 279, 19);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
}
