#pragma once

#include <QDialog>

class QListWidget;

// The borderless picker placed beside a grid cell: Enter or a double click chooses,
// Escape leaves without a choice.
class TfrmSmallListBox final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmSmallListBox)

public:
    explicit TfrmSmallListBox(QWidget *parent = nullptr);

    // The selected item's text, or the empty text when nothing is selected.
    QString Result() const;

    QListWidget *ListBox1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

extern TfrmSmallListBox *frmSmallListBox;
