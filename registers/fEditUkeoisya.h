#pragma once

#include "registers/fRegisterWindow.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class TUkeoisya;

// "請負者の登録": contractors, opened as a modal dialog from the project window.
class TfrmEditUkeoisya final : public TRegisterWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmEditUkeoisya)

public:
    explicit TfrmEditUkeoisya(QWidget *parent = nullptr);

    TDropDownComboBox *ComboBox1; // 請負者名
    QLineEdit *Edit1;             // 住所
    QLineEdit *Edit2;             // 会社名
    QLineEdit *Edit3;             // 代表者
    QCheckBox *CheckBox1;         // JVの代表会社である
    QPushButton *Button1;         // 登録(&O)
    QAction *N_New;
    QAction *N_Delete;
    QAction *N_Close;
    QAction *N_Help;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void DataToForm();
    void FormToData();

    TUkeoisya *m_ukeoisya;
};

extern TfrmEditUkeoisya *frmEditUkeoisya;
