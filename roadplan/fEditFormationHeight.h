#pragma once

#include <QMainWindow>
#include <QString>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class TFormationHeight;
class TKelmo4Head;
class TSpread;

// "路面計画の入力": the road surface plan of the project current in the main window, kept
// in a grid of 500 stations. The grid is the only working copy; the table is written by
// "保存" alone.
class TfrmEditFormationHeight final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmEditFormationHeight)

public:
    explicit TfrmEditFormationHeight(QWidget *parent = nullptr);
    ~TfrmEditFormationHeight() override;

    // The main window's header (whose project the plan belongs to) and its measurement
    // grid (where "データ転送" writes); both outlive this window.
    void SetHeader(TKelmo4Head *head) { m_head = head; }
    void SetMeasureGrid(TSpread *grid) { m_measureGrid = grid; }
    QString ProjectCode() const;

    void RecalcRow(int row);
    void SetStationDistances();
    // Over the selected block; nothing without a block of at least two rows.
    void InterpolateDesign();
    // Returns the rows written into the measurement grid.
    int TransferPlan();
    void CheckAllClick();
    // Refused with a message when no project is chosen; keeps the stored plan on failure.
    void SavePlan();
    void LoadPlan();
    void DeletePlan();
    // The first 35 rows on one landscape page, in the preview.
    void DrawPlan();
    void InsertRow();
    void DeleteRow();

    // Each activation: the current project's stored plan over the grid. Unsaved edits are
    // kept; another project first empties the grid (asking to save the edits of the old one).
    void FormActivate();
    bool IsModified() const { return m_modified; }

    // Grid events, also driven by tests.
    void GridChanged(int col, int row);
    void GridLeaveCell(int col, int row, int newCol, int newRow);

    TSpread *vaSpread1;
    QLabel *Label1;       // "測点距離"
    QLineEdit *Edit1;     // station interval
    QPushButton *Button1; // "すべてにチェック" / "すべてはずす"
    QPushButton *Button2; // "保存"
    QPushButton *Button3; // "印刷"
    QPushButton *Button4; // "閉じる(&C)"

    QAction *actLoad;
    QAction *actSave;
    QAction *actDelete;
    QAction *actPrint;
    QAction *actClose;
    QAction *actInsertRow;
    QAction *actDeleteRow;
    QAction *actDistances;
    QAction *actInterpolate;
    QAction *actTransfer;

Q_SIGNALS:
    // Lines written into the measurement grid, which now holds what is not registered.
    void Transferred(int lines);

protected:
    bool event(QEvent *event) override;

private:
    void BuildGrid();
    void BuildMenus();
    bool RefuseWithoutProject();

    TFormationHeight *m_formationHeight;
    TKelmo4Head *m_head = nullptr;
    TSpread *m_measureGrid = nullptr;
    bool m_modified = false;
    bool m_loaded = false;
    QString m_loadedCode;
    bool m_activating = false;
};

extern TfrmEditFormationHeight *frmEditFormationHeight;
