#pragma once

#include "registers/fRegisterWindow.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;
class TKoji;

// "工事名の登録": one project at a time, with its client, contractor, site agent and print
// style. Clean while Button2 reads "閉じる", changed while it reads "登録".
class TfrmEditKoji final : public TRegisterWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmEditKoji)

public:
    explicit TfrmEditKoji(QWidget *parent = nullptr);

    QLineEdit *Edit1;             // 工事コード
    QPushButton *Button1;         // 工事検索
    QLineEdit *Edit2;             // 工事名
    TDropDownComboBox *ComboBox3; // 発注者名
    TDropDownComboBox *ComboBox2; // 請負者名
    TDropDownComboBox *ComboBox1; // 現場代理人
    QGroupBox *RadioGroup1;       // 印刷様式
    QButtonGroup *RadioButtons;
    QPushButton *Button2;         // 閉じる / 登録
    QAction *N_New;
    QAction *N_PrintList;
    QAction *N_Delete;
    QAction *N_Close;
    QAction *N_Simei;
    QAction *N_Hacchusya;
    QAction *N_Ukeoisya;
    QAction *N_Help;

protected:
    void FormActivate() override;

private:
    void DataToForm();
    void FormToData();
    void Changed();
    void SearchClick();
    void Button2Click();
    void DeleteClick();
    void SimeiClick();

    TKoji *m_koji;
};

extern TfrmEditKoji *frmEditKoji;
