#pragma once

#include "exchange/uGridImport.h"
#include "measure/uGridCalc.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class TfrmEditDekigata;

// "CSV読み込み": the preview of a CSV file on its way into the main window's grid: the
// first rows as they will land, the column mapping, the encoding and the start row, and the
// lines that cannot be read. OK enters the rows as typing would; nothing is stored.
class TfrmCsvImport final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmCsvImport)

public:
    // FormType as the main window's (0 高さ, 1 厚さ, 2 幅); StartRow the row to begin at;
    // Units those of the main window, so the preview shows the computed values.
    TfrmCsvImport(const QString &fileName, QByteArray bytes, int formType, int startRow,
                  const TGridUnits &units, QWidget *parent = nullptr);

    // Connects and enables "CSV読み込み…" of the main window.
    static void ConnectMenu(TfrmEditDekigata &main);
    // Reads the file and shows the preview; OK enters the rows into the main window's grid.
    // False when nothing was entered (cancelled, or the file could not be read: told).
    static bool ImportFile(TfrmEditDekigata &main, const QString &path);

    // The rows OK enters, for the current choices.
    QList<TGridRowTexts> Rows() const;
    const TGridImport::TPlan &Plan() const { return m_plan; }

    QComboBox *EncodingBox;
    QCheckBox *HeadingBox;
    QSpinBox *StartRowBox;
    QTableWidget *MappingTable; // one row per file column: its caption, the grid column
    QTableWidget *PreviewTable; // the first rows as they will land
    QPlainTextEdit *ProblemsText;
    QLabel *SummaryLabel;
    QPushButton *OkButton;

    static constexpr int kPreviewRows = 20;

    void accept() override;

private:
    void FillMapping();
    void MappingChanged();
    void Refresh();

    TGridImport m_import;
    TGridImport::TPlan m_plan;
    int m_formType;
    TGridUnits m_units;
};
