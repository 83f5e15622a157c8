#pragma once

#include "registers/fRegisterWindow.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;
class TKouku;

// "工区データ": edits one project's list of work sections.
class TfrmEditKouku final : public TRegisterWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmEditKouku)

public:
    explicit TfrmEditKouku(QWidget *parent = nullptr);

    TDropDownComboBox *ComboBox1; // project
    QListWidget *ListBox1;
    QToolButton *SpeedButton1; // ↑
    QToolButton *SpeedButton2; // ↓
    QLineEdit *Edit1;
    QPushButton *BitBtn1; // 工区を追加する
    QPushButton *BitBtn2; // 工区からはずす
    QPushButton *BitBtn4; // 登録
    QPushButton *BitBtn3; // 閉じる(&C)
    QAction *N_DataPath;
    QAction *N_Koji;

public Q_SLOTS:
    void reject() override;

private:
    void ProjectChosen();
    void AddClick();
    void RemoveClick();
    void MoveSelected(int step);
    // False when the rewrite failed; the error has been shown.
    bool RegisterClick();

    TKouku *m_kouku;
};

extern TfrmEditKouku *frmEditKouku;
