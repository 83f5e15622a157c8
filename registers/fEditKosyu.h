#pragma once

#include "registers/fRegisterWindow.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;
class TKosyu;

// "工種の登録": edits the whole work type list and rewrites the table from it.
class TfrmEditKosyu final : public TRegisterWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmEditKosyu)

public:
    explicit TfrmEditKosyu(QWidget *parent = nullptr);

    QListWidget *ListBox1;
    QToolButton *SpeedButton1; // ↑
    QToolButton *SpeedButton2; // ↓
    QLineEdit *Edit2;
    QPushButton *Button1; // 工種追加
    QPushButton *Button3; // 工種削除
    QPushButton *Button2; // 登録(&O)
    QAction *N_New;
    QAction *N_Delete;
    QAction *N_Close;

protected:
    void FormActivate() override;

private:
    void AddClick();
    void RemoveClick();
    void MoveSelected(int step);
    void RegisterClick();
    QStringList ListItems() const;

    TKosyu *m_kosyu;
};

extern TfrmEditKosyu *frmEditKosyu;
