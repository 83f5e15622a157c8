#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TDirectoryListBox;
class TDriveComboBox;
class TFileListBox;
class TSpread;

// "標準値の登録": the data folder, the defaults file and the chart switches. Every activation
// reloads the controls from the file and the settings, so only "&OK" keeps what was typed
// (the rounding choice excepted: it is stored the moment it is clicked).
class TfrmDataPath final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmDataPath)

public:
    explicit TfrmDataPath(QWidget *parent = nullptr);

    // The activation routine: also run without showing the window, at start-up and on each
    // activation of the main window, where it is what loads the defaults file.
    void FormActivate();
    // "&OK": stores folder, defaults and switches, then closes.
    void Button1Click();

    int RadioGroupIndex() const;
    void SetRadioGroupIndex(int index);

    TDriveComboBox *DriveComboBox1;
    TDirectoryListBox *DirectoryListBox1;
    TDriveComboBox *DriveComboBox2;
    TDirectoryListBox *DirectoryListBox2;
    TFileListBox *FileListBox1;
    TSpread *vaSpread1;
    TSpread *vaSpread2;
    TSpread *vaSpread3;
    QCheckBox *CheckBox1;
    QCheckBox *CheckBox2;
    QCheckBox *CheckBox3;
    QLineEdit *Edit1;
    QGroupBox *RadioGroup1;
    QPushButton *Button1;
    QLabel *FolderLabel;
    // Shown instead of the folder list while the alias names a server.
    QLabel *ServerLabel;
    QCheckBox *CheckBox4; // フォルダに切り替える

private:
    void BuildGrids();
    void PickColor(TSpread *grid, int col1, int row1, int col2, int row2);
    void ShowDefaults();
    void ShowAliasKind(bool server);

    QButtonGroup *m_roundButtons;
};

extern TfrmDataPath *frmDataPath;
