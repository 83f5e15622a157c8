#pragma once

#include "registers/fRegisterWindow.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TKikakuti4;

// "規格値の登録": one standard value at a time under class + work type + item. "登録" is
// enabled while there are unsaved changes.
class TfrmEditKikakuti4 final : public TRegisterWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmEditKikakuti4)

public:
    explicit TfrmEditKikakuti4(QWidget *parent = nullptr);

    QGroupBox *RadioGroup1; // 区分
    QButtonGroup *RadioButtons;
    TDropDownComboBox *ComboBox1; // 工種名
    TDropDownComboBox *ComboBox2; // 項目名
    QLabel *LabelKoumoku;         // "項目名", opens the registered standards
    QLineEdit *Edit2;             // official upper
    QLineEdit *Edit3;             // official lower
    QCheckBox *CheckBox1;         // 合格判定値
    QLabel *Label1;               // 条件
    QLineEdit *Edit1;             // condition
    QLineEdit *Edit4;             // name of the own-company standard
    QLineEdit *Edit5;             // own-company upper
    QLineEdit *Edit6;             // own-company lower
    QPushButton *Button1;         // 登録
    QPushButton *Button2;         // 閉じる
    QAction *N_PrintList;
    QAction *N_Delete;
    QAction *N_Close;
    QAction *N_Kosyu;

public Q_SLOTS:
    void reject() override;

protected:
    void FormActivate() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void DataToForm();
    void FormToData();
    void Changed();
    void PickRegistered();
    bool RegisterClick();

    TKikakuti4 *m_kikakuti;
};

extern TfrmEditKikakuti4 *frmEditKikakuti4;
