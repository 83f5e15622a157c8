#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class TfrmEditDekigata;

// "旧データの取り込み": shows what a folder of Paradox tables holds, takes it over after one
// click with a progress bar and a stop button, and ends with the summary or the failure.
class TfrmParadoxImport final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmParadoxImport)

public:
    explicit TfrmParadoxImport(const QString &folder, QWidget *parent = nullptr);

    // Looks at Folder again and shows what it holds.
    void SetFolder(const QString &folder);
    // Runs the import; true when the data was taken over.
    bool RunImport();
    // The import starts by itself once the window is up (the user has confirmed already).
    void StartWhenShown() { m_startWhenShown = true; }
    bool Imported() const { return m_imported; }

    QLineEdit *edtFolder;
    QPushButton *btnBrowse;
    QPlainTextEdit *Memo1;
    QCheckBox *chkDekigataDef;
    QLabel *lblProgress;
    QProgressBar *ProgressBar1;
    QPushButton *btnImport;
    QPushButton *btnStop;
    QPushButton *btnClose;

protected:
    void closeEvent(class QCloseEvent *event) override;
    // Escape or closing while the import runs stops it; the window stays to say so.
    void reject() override;
    void showEvent(class QShowEvent *event) override;

private:
    void Browse();
    bool Progress(const QString &table, qint64 done, qint64 total);

    bool m_running = false;
    bool m_stopRequested = false;
    bool m_imported = false;
    bool m_startWhenShown = false;
};

// At start, before any window touches a table: when the data folder holds Paradox tables,
// says so and offers to take them over or to use another folder. False when the user
// chose to end the program instead.
bool OfferParadoxImportAtStart();

// Wires the main window's "旧データの取り込み…" entry to the import window.
void ConnectParadoxImportMenu(TfrmEditDekigata *window);
