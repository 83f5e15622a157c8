#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

// The list picker: the caller fills ListBox1, sets the caption, runs it modally and reads
// Result() after OK.
class TfrmListBox final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmListBox)

public:
    explicit TfrmListBox(QWidget *parent = nullptr);

    // The selected item's text, or the empty text when nothing is selected.
    QString Result() const;

    QListWidget *ListBox1;
    QPushButton *Button1;

protected:
    void showEvent(QShowEvent *event) override;
};

// Created once at start-up; callers may as well make their own for one use.
extern TfrmListBox *frmListBox;
