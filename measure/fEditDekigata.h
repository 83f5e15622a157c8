#pragma once

#include "measure/uGridCalc.h"
#include "measure/uRecordPrint.h"

#include <QHash>
#include <QMainWindow>
#include <QStringList>

class QAction;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TActivationWatch;
class TDropDownBox;
class TKelmo4Head;
class TKelmo4Line;
class TSpread;

// The main window: pick project, work type, section and item, type the stations into the
// grid, register the record and print its forms. It owns the one header and line object of
// the run; every other window is opened from its menus.
class TfrmEditDekigata final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmEditDekigata)

public:
    explicit TfrmEditDekigata(QWidget *parent = nullptr);
    ~TfrmEditDekigata() override;

    // Window and header are brought together only by these two.
    void FormToHeader();
    void HeaderToForm();
    // The standard register's limits for the project's class, work type and item.
    void ShowLimits();
    void LoadLinesToGrid();
    // Replaces the record's lines by the non-empty grid rows, in one transaction.
    void SaveLinesFromGrid();
    // "登録": header and lines in one transaction; a refused text keeps what was stored.
    void Register();
    // "データ削除": the record the selection names, at once; the grid keeps its rows.
    void DeleteRecord();
    // Registers, then runs the plugged-in routine of the form.
    void PrintRecord(TRecordForm form);

    // 0 "高さ", 1 "厚さ", 2 "幅"; -1 before the first activation.
    int FormType() const { return m_formType; }
    // Runs ApplyFormType when Type differs from the current one.
    void SetFormType(int type);
    void ApplyFormType();

    // The totals, then the tolerance figures.
    void ShowGridTotals();
    // Counts and shares of the differences on screen within the limits on screen; the
    // differences outside the standard in red, outside 80 % or the own standard in orange.
    void ShowToleranceFigures();
    // The grid holds edits that are not registered (typed, pasted, copied or transferred in).
    bool GridModified() const { return m_gridModified; }
    void SetGridModified(bool modified) { m_gridModified = modified; }
    // Asks "変更は登録されていません。登録しますか？" when the grid holds such edits: Yes
    // registers, No goes on, Cancel stays (false). Box, when given, is the key box the user
    // just changed: it shows its previous text while the record is registered, and again on
    // Cancel.
    bool ConfirmLeavingRecord(TDropDownBox *box = nullptr, int keyIndex = -1);
    // "行挿入" and "行削除" on the measurement grid.
    void InsertGridRow();
    void DeleteGridRow();
    void ShowGridModes();
    // Status panels 2 and 3 as buttons.
    void ToggleEditMode();
    void NextEnterDirection();

    // Each activation: centre, form type "高さ", reload the defaults, "80%" from the setting.
    void FormActivate();
    // The stored record ID, header and lines, as picking it from the list shows it.
    void ShowRecord(int id);
    // The status bar's pointer to the first step, while the data folder holds no project.
    void ShowFirstStartHint();

    // Grid events of the measurement grid, also driven by tests.
    void GridChanged(int col, int row);
    void GridLeaveCell(int col, int row, int newCol, int newRow);
    void GridRightClick(int col, int row);
    void GridPasted(int col1, int row1, int col2, int row2);
    // Texts from a file entered as typing them would: third values, reformatting, totals;
    // the grid counts as modified and nothing is stored.
    void EnterGridRows(const QList<TGridRowTexts> &rows);
    // The units, "有効" and "下がり" the grid computes with.
    TGridUnits GridUnits() const;

    // The picker panels "工事名" and "工種名".
    void Panel1Click();
    void Panel2Click();

    TKelmo4Head *Head() const { return m_head; }
    TKelmo4Line *Line() const { return m_line; }

    bool UseUnitDefaults = true;

    QLabel *Panel1;
    QLabel *Panel2;
    TDropDownBox *ComboBox1; // project "code:name"
    TDropDownBox *ComboBox2; // work type
    TDropDownBox *ComboBox3; // section
    TDropDownBox *ComboBox6; // measurement item
    TDropDownBox *ComboBox5; // date
    TDropDownBox *ComboBox4; // measurer
    QLineEdit *Edit5;        // station interval
    TDropDownBox *ComboBox7; // input unit
    TDropDownBox *ComboBox8; // difference unit
    QLineEdit *Edit2;        // "有効"
    QLineEdit *Edit3;        // "分布"
    QLineEdit *Edit4;        // "平均"
    QGroupBox *RadioGroup1;
    TSpread *vaSpread2; // limits
    TSpread *vaSpread3; // totals
    TSpread *vaSpread4; // tolerance figures
    QLabel *ToleranceLabel; // "測定数 n" or "規格値なし"
    TSpread *vaSpread1; // measurement grid
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;
    QPushButton *BitBtn3;
    QPushButton *BitBtn4;
    QCheckBox *CheckBox3; // "80%"
    QCheckBox *CheckBox2; // "重さ"
    QCheckBox *CheckBox1; // "下がり"
    QLabel *StatusPanels[5];
    QLabel *StatusHint;

    // Menu commands; those that open windows above this folder are connected at start-up.
    QAction *actPrint;
    QAction *actSummary;
    QAction *actImportParadox;
    QAction *actImportCsv;
    QAction *actExportRecord;
    QAction *actDeleteData;
    QAction *actExit;
    QAction *actSimulation;
    QAction *actInsertRow;
    QAction *actDeleteRow;
    QAction *actCopyRow;
    QAction *actPasteRow;
    QAction *actBulkChange;
    QAction *actKoji;
    QAction *actKosyu;
    QAction *actKouku;
    QAction *actSimei;
    QAction *actKikakuti;
    QAction *actRoadPlan;
    QAction *actDefaults;
    QAction *actPrinterSetup;
    QAction *actHelp;
    QAction *actSampleData;
    QAction *actAbout;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    // The window opens at its size of last time (at least the designed size), maximised
    // when it was.
    void RestoreWindowSize();
    void RememberWindowSize();
    void BuildMenus();
    void BuildStatusBar();
    void ConnectControls();
    void SetTabOrder();

    // After a choice: the found record's own limits, else the register's for the key.
    void ShowKeyLimits(bool recordFound);
    void ShowLimitCells();
    void ApplyDisplayDecimals();
    void ApplyUnitDefaults();
    void ClearGrid();
    bool GridIsEmpty() const;
    // Status panel 4: the ID of the record on screen, empty for a key without a record.
    void ShowRecordId(int id);
    // The project, work type, section and item texts of the record on screen.
    void RememberKey();
    QStringList KeyTexts() const;
    static qint64 CellKey(int col, int row) { return qint64(row) * 100 + col; }
    void LimitYukou();
    // Choice handling of the boxes (the record look-up).
    void ProjectChosen();
    // True when a record was found.
    bool KosyuChosen();
    void KoukuChosen();
    bool ItemChosen();
    void MeasurerChosen();
    bool LookUp();

    TKelmo4Head *m_head;
    TKelmo4Line *m_line;
    TGridCalc m_calc;
    int m_formType = -1;
    bool m_gridModified = false;
    QStringList m_key;
    // Texts the program proposed for cells the user has not changed since.
    QHash<qint64, QString> m_proposals;
    QButtonGroup *m_formButtons;
    TActivationWatch *m_activation = nullptr;
};

extern TfrmEditDekigata *frmEditDekigata;
