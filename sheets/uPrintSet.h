#pragma once

#include <QDialog>
#include <QList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TKelmo4Head;
class TPrevX;
class TSpread;
class TfrmEditDekigata;
struct TBatchRow;

// "印刷": printer and number of copies for a batch.
class TfrmBatchPrintDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmBatchPrintDialog)

public:
    explicit TfrmBatchPrintDialog(QWidget *parent = nullptr);

    QComboBox *PrinterBox;
    QSpinBox *CopiesBox;
    QPushButton *OkButton;
    QPushButton *CancelButton;
};

// "印刷データ選択": every record of the project with three forms to tick; "一括印刷"
// prints, record after record in list order, each ticked form as a print job of its own.
// The built-in PDF printer gets the whole batch as one job, so that one file holds it.
class TfrmPrintSet final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmPrintSet)

public:
    explicit TfrmPrintSet(QWidget *parent = nullptr);

    // From the main window's menu "印刷": its project text and its "重さ" box.
    void OpenForProject(const QString &projectText, bool weight);
    // Connects and enables "印刷" of the main window; the window is made on first use when
    // the run has none.
    static void ConnectMenu(TfrmEditDekigata &main);

    void BuildList();
    void BatchPrint();
    // One print job each, for a loaded record; false when the user cancelled the job.
    bool PrintDataSheetAll(const TKelmo4Head &head);
    bool PrintHistGramAll(const TKelmo4Head &head);
    bool PrintXKanrizuAll(const TKelmo4Head &head);
    // The project's ばらつき集計表, once after the records.
    bool PrintToleranceAll();

    QLabel *Label1;
    QLineEdit *Edit1;
    TSpread *vaSpread1;
    QPushButton *BitBtn1; // 一括印刷
    QPushButton *BitBtn3; // 印刷の設定
    QPushButton *BitBtn2; // 閉じる
    QCheckBox *CheckBox1; // ばらつき集計表, ticked when the list is built

    static constexpr int kColumns = 8;
    static constexpr int kRows = 500;

private:
    void Activate();
    void CellChanged(int col, int row);
    bool SendJob(TPrevX *job);
    void PrintAsOneJob(const QList<TBatchRow> &rows);

    bool m_weight = false;
};

extern TfrmPrintSet *frmPrintSet;
