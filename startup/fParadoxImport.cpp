#include "startup/fParadoxImport.h"

#include "app/uFileMoves.h"

#include "app/uHelp.h"
#include "app/Errors.h"
#include "app/uApplication.h"
#include "app/uDatabase.h"
#include "app/uParadoxFile.h"
#include "measure/fEditDekigata.h"
#include "startup/uParadoxImport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

TfrmParadoxImport::TfrmParadoxImport(const QString &folder, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(u"旧データの取り込み"_s);
    SetHelpTopic(this, u"paradox-import"_s);
    resize(560, 420);

    auto *layout = new QVBoxLayout(this);
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(u"取り込むフォルダ"_s, this));
    edtFolder = new QLineEdit(this);
    edtFolder->setReadOnly(true);
    folderRow->addWidget(edtFolder, 1);
    btnBrowse = new QPushButton(u"参照…"_s, this);
    folderRow->addWidget(btnBrowse);
    layout->addLayout(folderRow);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    layout->addWidget(Memo1, 1);

    chkDekigataDef = new QCheckBox(u"DekigataDef（標準値の設定）も取り込む（今の作業フォルダのものは残します）"_s, this);
    layout->addWidget(chkDekigataDef);

    lblProgress = new QLabel(this);
    layout->addWidget(lblProgress);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setValue(0);
    layout->addWidget(ProgressBar1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    btnImport = new QPushButton(u"取り込む"_s, this);
    btnStop = new QPushButton(u"中止"_s, this);
    btnClose = new QPushButton(u"閉じる"_s, this);
    buttons->addWidget(btnImport);
    buttons->addWidget(btnStop);
    buttons->addWidget(btnClose);
    layout->addLayout(buttons);
    btnStop->setEnabled(false);

    connect(btnBrowse, &QPushButton::clicked, this, &TfrmParadoxImport::Browse);
    connect(btnImport, &QPushButton::clicked, this, &TfrmParadoxImport::RunImport);
    connect(btnStop, &QPushButton::clicked, this, [this] { m_stopRequested = true; });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

    SetFolder(folder);
}

void TfrmParadoxImport::SetFolder(const QString &folder)
{
    edtFolder->setText(QDir::toNativeSeparators(folder));
    m_imported = false;
    ProgressBar1->setValue(0);
    lblProgress->clear();
    try {
        const TParadoxSurvey survey = TParadoxImport(folder).Survey();
        if (survey.Tables.isEmpty()) {
            Memo1->setPlainText(u"フォルダ「%1」には旧形式（Paradox）のテーブルがありません。\n"
                                "「参照…」で旧データのフォルダを選んでください。"_s.arg(QDir::toNativeSeparators(folder)));
        } else {
            Memo1->setPlainText(survey.DescriptionText());
        }
        const bool defAvailable = !survey.DekigataDefPath.isEmpty() && survey.DekigataDefProblem.isEmpty();
        chkDekigataDef->setEnabled(defAvailable);
        chkDekigataDef->setChecked(defAvailable);
        btnImport->setEnabled(survey.CanImport());
    } catch (const EKelmoError &e) {
        Memo1->setPlainText(e.Message());
        chkDekigataDef->setEnabled(false);
        chkDekigataDef->setChecked(false);
        btnImport->setEnabled(false);
    }
}

void TfrmParadoxImport::Browse()
{
    const QString folder = QFileDialog::getExistingDirectory(this, u"旧データのフォルダ"_s,
                                                             QDir::fromNativeSeparators(edtFolder->text()));
    if (!folder.isEmpty())
        SetFolder(folder);
}

bool TfrmParadoxImport::Progress(const QString &table, qint64 done, qint64 total)
{
    lblProgress->setText(u"%1 を取り込んでいます…（%2 / %3 件）"_s.arg(table, QString::number(done),
                                                                        QString::number(total)));
    ProgressBar1->setValue(total > 0 ? int(done * 1000 / total) : 1000);
    // The import runs in the one interface thread; this keeps the window drawn and lets the
    // stop button be pressed.
    QApplication::processEvents();
    return !m_stopRequested;
}

bool TfrmParadoxImport::RunImport()
{
    if (m_running)
        return false;
    m_running = true;
    m_stopRequested = false;
    btnImport->setEnabled(false);
    btnBrowse->setEnabled(false);
    btnClose->setEnabled(false);
    chkDekigataDef->setEnabled(false);
    btnStop->setEnabled(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);

    const QString folder = QDir::fromNativeSeparators(edtFolder->text());
    try {
        TParadoxImport import(folder);
        const TParadoxImportResult result = import.Run(
            chkDekigataDef->isChecked(),
            [this](const QString &table, qint64 done, qint64 total) { return Progress(table, done, total); });
        Memo1->setPlainText(result.SummaryText());
        lblProgress->setText(u"取り込みが終わりました（%1 件）。"_s.arg(QString::number(result.TotalRows())));
        ProgressBar1->setValue(1000);
        m_imported = true;
    } catch (const EKelmoError &e) {
        Memo1->setPlainText(u"旧データを取り込めませんでした。データフォルダは元のままです。\n\n"_s + e.Message());
        lblProgress->setText(u"取り込めませんでした。"_s);
        ProgressBar1->setValue(0);
    }

    QApplication::restoreOverrideCursor();
    m_running = false;
    btnStop->setEnabled(false);
    btnClose->setEnabled(true);
    btnBrowse->setEnabled(!m_imported);
    if (!m_imported) {
        // What the folder offers may have changed (a file moved back, a refusal).
        const QString memo = Memo1->toPlainText();
        SetFolder(folder);
        Memo1->setPlainText(memo);
    }
    return m_imported;
}

void TfrmParadoxImport::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_startWhenShown && btnImport->isEnabled()) {
        m_startWhenShown = false;
        // After the window is drawn, so the progress shows from the first row.
        QTimer::singleShot(0, this, [this] { RunImport(); });
    }
}

void TfrmParadoxImport::closeEvent(QCloseEvent *event)
{
    // Closing half-way would leave the run without its window; stop it instead.
    if (m_running) {
        m_stopRequested = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TfrmParadoxImport::reject()
{
    // Hidden half-way, the import would go on with no one to see how it ends.
    if (m_running) {
        m_stopRequested = true;
        return;
    }
    QDialog::reject();
}

bool OfferParadoxImportAtStart()
{
    for (;;) {
        // A server holds no table files; its old data comes in through the import menu.
        if (GetAliasSource(u"tomaruk"_s).IsServer())
            return true;
        const QString folder = GetAliasPath(u"tomaruk"_s);
        // An import killed half-way is finished (or undone) before the folder is looked at.
        try {
            if (QFileInfo(folder).isDir())
                FinishInterruptedMoves(folder);
        } catch (const EKelmoError &e) {
            ShowErrorMessage(e.Message());
            return false;
        }
        const QList<TParadoxTableFile> files = FindParadoxTables(folder);
        if (files.isEmpty())
            return true;

        QString text = u"データフォルダ「%1」には、旧形式（Paradox）のテーブルがあります（%2 個）。\n"
                       "このままでは使えません。このプログラムの形式に取り込みますか？\n\n"
                       "元のファイルは手を加えずに、データフォルダ内のバックアップ用フォルダへ移します。"_s.arg(
                           QDir::toNativeSeparators(folder), QString::number(files.size()));
        try {
            const TParadoxSurvey survey = TParadoxImport(folder).Survey();
            if (!survey.DekigataDefPath.isEmpty() && survey.DekigataDefProblem.isEmpty())
                text += u"\n一緒にある DekigataDef も取り込みます（今の作業フォルダのものはバックアップ用フォルダに残します）。"_s;
        } catch (const EKelmoError &) {
            // The import window says what is wrong with the folder.
        }
        QMessageBox box(QMessageBox::Question, u"ケルモ４"_s, text);
        QPushButton *take = box.addButton(u"取り込む…"_s, QMessageBox::AcceptRole);
        QPushButton *other = box.addButton(u"別のフォルダを使う…"_s, QMessageBox::ActionRole);
        QPushButton *quit = box.addButton(u"終了"_s, QMessageBox::RejectRole);
        box.setDefaultButton(take);
        box.setEscapeButton(quit);
        box.exec();

        if (box.clickedButton() == take) {
            TfrmParadoxImport window(folder);
            window.StartWhenShown();
            window.exec();
        } else if (box.clickedButton() == other) {
            const QString chosen = QFileDialog::getExistingDirectory(nullptr, u"データフォルダ"_s, folder);
            if (!chosen.isEmpty() && !SetAliasPath(u"tomaruk"_s, chosen))
                ShowSetAliasFailed(nullptr, chosen);
        } else {
            return false;
        }
    }
}

void ConnectParadoxImportMenu(TfrmEditDekigata *window)
{
    QObject::connect(window->actImportParadox, &QAction::triggered, window, [window] {
        TfrmParadoxImport dialog(GetAliasPath(u"tomaruk"_s), window);
        dialog.exec();
    });
    window->actImportParadox->setEnabled(true);
}
