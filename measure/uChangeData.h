#pragma once

#include "measure/uKelmo4Line.h"

#include <QDialog>
#include <QList>

class QLabel;
class QLineEdit;
class QPushButton;
class TfrmEditDekigata;
class TGridCells;
class TKelmo4Head;

// "一括変更": the source record and the shift in millimetres for copying another record's
// rows into the measurement grid.
class TfrmChangeData final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmChangeData)

public:
    explicit TfrmChangeData(QWidget *parent = nullptr);

    // The header whose project "工種参照" lists.
    void SetHeader(TKelmo4Head *head) { m_head = head; }
    // "工種参照": the project's records in a list picker; the chosen one goes into Edit1.
    void Button1Click();

    QPushButton *Button1; // "工種参照"
    QLineEdit *Edit1;     // "ID:work type;section:item"
    QLabel *Label1;       // "変化量(mm)"
    QLineEdit *Edit2;     // shift, mm
    QPushButton *Button2; // "Ok"

private:
    TKelmo4Head *m_head = nullptr;
};

namespace ChangeData {

// Writes the lines into grid rows LNO, columns 1 … 11. Design and measured values that are
// numbers move by Delta millimetres, in the record's design unit and with the decimals of
// its "有効"; every other cell is copied as stored. Remarks are not copied.
void CopyShiftedLines(const QList<TKel4LineRow> &lines, const QString &sekkeiTanni,
                      const QString &yukou, double delta, TGridCells &grid);

// The whole command on the main window. Nothing changes in the grid until a source record
// has been found: without a project, on cancel, or with an item that names no record.
void BulkChange(TfrmEditDekigata &window, TfrmChangeData &dialog);

// Connects and enables "一括変更" of the main window, run with the one dialog of the run.
void InstallCommands(TfrmEditDekigata &window, TfrmChangeData &dialog);

} // namespace ChangeData

extern TfrmChangeData *frmChangeData;
