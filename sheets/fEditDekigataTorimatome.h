#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class TDekigataTorimatome;
class TSpread;
class TfrmEditDekigata;

// "出来形とりまとめ表": the summary table of one project in a grid of 11 columns × 500
// rows, grid row = LNO. "初期化" generates the rows from the measurement records, "登録"
// stores the grid, "プレビュー" stores it and previews its print, "Excel書き出し…" writes
// the grid's rows in the print's columns to a spreadsheet file.
class TfrmEditDekigataTorimatome final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmEditDekigataTorimatome)

public:
    explicit TfrmEditDekigataTorimatome(QWidget *parent = nullptr);

    // From the main window's menu: the project text "code:name" of the main window.
    void OpenForProject(const QString &projectText);
    // Connects and enables "取りまとめ表の作成" of the main window; the window is made on
    // first use when the run has none.
    static void ConnectMenu(TfrmEditDekigata &main);

    void LoadGrid();
    // Replaces the project's stored rows by the grid's rows in one transaction.
    void SaveGrid();

    TDekigataTorimatome *Record() const { return m_record; }

    QLabel *Label1;
    QLineEdit *Edit1;
    QPushButton *Button1; // 検索
    TSpread *vaSpread1;
    QPushButton *Button3; // 初期化
    QPushButton *Button4; // プレビュー
    QPushButton *Button5; // ばらつき集計
    QPushButton *Button2; // 登録
    QPushButton *Button6; // Excel書き出し…
    QPushButton *BitBtn1; // 閉じる

    static constexpr int kColumns = 11;
    static constexpr int kRows = 500;

private:
    void Activate();
    void SearchProject();
    void Initialize();
    void Register();
    void Preview();
    // The project's ばらつき集計表 from its records (not from the grid) in the preview.
    void PreviewTolerance();
    // The rows as the grid shows them, unregistered edits included, to .xlsx or .csv.
    void ExportTable();
    // The project of Edit1 loaded into the record; false (after telling the user) when
    // Edit1 names none.
    bool LoadProjectOfEdit();

    TDekigataTorimatome *m_record;
};

// Created once at start-up.
extern TfrmEditDekigataTorimatome *frmEditDekigataTorimatome;
