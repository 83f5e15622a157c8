#pragma once

#include <QDialog>

class QProgressBar;

// "進行状況": one bar, advanced by a long run and closed by it.
class TfrmProgressBar final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmProgressBar)

public:
    explicit TfrmProgressBar(QWidget *parent = nullptr);

    QProgressBar *ProgressBar1;
};

extern TfrmProgressBar *frmProgressBar;
