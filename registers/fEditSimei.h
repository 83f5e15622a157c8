#pragma once

#include "registers/fRegisterWindow.h"

class QLineEdit;
class QPushButton;
class QStatusBar;
class TSimei;

// "氏名の登録": people (site agents, measurers). Shown non-modally from the main window,
// and as a modal dialog from the project window, whose "登録" hands the name back.
class TfrmEditSimei final : public TRegisterWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmEditSimei)

public:
    explicit TfrmEditSimei(QWidget *parent = nullptr);

    QLineEdit *Edit1; // ふりがな
    QLineEdit *Edit2; // 氏名
    QPushButton *Button2; // 氏名検索
    QPushButton *Button1; // 登録
    QStatusBar *StatusBar1;
    QAction *N_New;
    QAction *N_Delete;
    QAction *N_Close;
    QAction *N_Help;

private:
    void DataToForm();
    void FormToData();
    void SearchClick();
    void RegisterClick();

    TSimei *m_simei;
};

extern TfrmEditSimei *frmEditSimei;
