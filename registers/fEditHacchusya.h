#pragma once

#include "registers/fRegisterWindow.h"

class QLineEdit;
class QPushButton;
class THacchusya;

// "発注者の登録": clients, opened as a modal dialog from the project window.
class TfrmEditHacchusya final : public TRegisterWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmEditHacchusya)

public:
    explicit TfrmEditHacchusya(QWidget *parent = nullptr);

    TDropDownComboBox *ComboBox1; // 発注者名
    QLineEdit *Edit1;             // 職氏名
    QPushButton *Button1;         // 登録(&O)
    QAction *N_New;
    QAction *N_Delete;
    QAction *N_Close;
    QAction *N_Help;

private:
    void DataToForm();
    void FormToData();

    THacchusya *m_hacchusya;
};

extern TfrmEditHacchusya *frmEditHacchusya;
