#include "startup/uStartup.h"

#include "app/AppPaths.h"
#include "app/Errors.h"
#include "app/fListBox.h"
#include "app/fProgressBar.h"
#include "app/fSmallListBox.h"
#include "app/fVerInfo.h"
#include "app/uApplication.h"
#include "app/uDataPath.h"
#include "app/uHelp.h"
#include "app/uuSetDataPath.h"
#include "charts/fSetHistgram.h"
#include "charts/uChartPrint.h"
#include "exchange/fCsvImport.h"
#include "exchange/uRecordExport.h"
#include "measure/fEditDekigata.h"
#include "measure/uChangeData.h"
#include "measure/uSimulation.h"
#include "registers/fEditHacchusya.h"
#include "registers/fEditKikakuti4.h"
#include "registers/fEditKoji.h"
#include "registers/fEditKosyu.h"
#include "registers/fEditKouku.h"
#include "registers/fEditSimei.h"
#include "registers/fEditUkeoisya.h"
#include "roadplan/fEditFormationHeight.h"
#include "sheets/fEditDekigataTorimatome.h"
#include "sheets/uDataSheet.h"
#include "sheets/uPrintSet.h"
#include "startup/fParadoxImport.h"
#include "startup/uSampleData.h"

#include <QAction>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QMessageBox>
#include <memory>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

// Creates one window of the run, keeps it in Global, and lets the run own it.
template <typename TWindow>
TWindow *CreateWindow(TWindow *&global, std::vector<std::unique_ptr<QWidget>> &windows)
{
    auto window = std::make_unique<TWindow>();
    global = window.get();
    windows.push_back(std::move(window));
    return global;
}

// The window opened from a menu entry, without waiting for it.
void ShowWithoutWaiting(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

// The main window's menu entries whose windows live in folders above it.
void ConnectMainMenus()
{
    // The register entries are the main window's own (registers lie below it).
    QObject::connect(frmEditDekigata->actRoadPlan, &QAction::triggered, frmEditFormationHeight,
                     [] { ShowWithoutWaiting(frmEditFormationHeight); });
    frmEditDekigata->actRoadPlan->setEnabled(true);
    // The road plan works on the main window's record and grid.
    frmEditFormationHeight->SetHeader(frmEditDekigata->Head());
    frmEditFormationHeight->SetMeasureGrid(frmEditDekigata->vaSpread1);
    QObject::connect(frmEditFormationHeight, &TfrmEditFormationHeight::Transferred, frmEditDekigata,
                     [] { frmEditDekigata->SetGridModified(true); });

    ChangeData::InstallCommands(*frmEditDekigata, *frmChangeData);
    QObject::connect(frmEditDekigata->actSimulation, &QAction::triggered, frmSethistgram, [] {
        if (frmSethistgram->exec() == QDialog::Accepted)
            Simulation::Run(*frmEditDekigata, frmSethistgram->LabelPercents());
    });
    frmEditDekigata->actSimulation->setEnabled(true);
    ConnectParadoxImportMenu(frmEditDekigata);
    TfrmEditDekigataTorimatome::ConnectMenu(*frmEditDekigata);
    TfrmPrintSet::ConnectMenu(*frmEditDekigata);
    TfrmCsvImport::ConnectMenu(*frmEditDekigata);
    RecordExport::ConnectMenu(*frmEditDekigata);
    QObject::connect(frmEditDekigata->actSampleData, &QAction::triggered, frmEditDekigata,
                     [] { SampleData::TryInMainWindow(frmEditDekigata); });
    frmEditDekigata->actSampleData->setEnabled(true);
}

// No window of the run is reachable once the run is over.
void ClearGlobals()
{
    frmEditDekigata = nullptr;
    frmDataPath = nullptr;
    frmEditKoji = nullptr;
    frmEditKosyu = nullptr;
    frmListBox = nullptr;
    frmEditKouku = nullptr;
    frmEditSimei = nullptr;
    frmEditHacchusya = nullptr;
    frmEditUkeoisya = nullptr;
    frmSetDataPath = nullptr;
    frmEditKikakuti4 = nullptr;
    frmEditFormationHeight = nullptr;
    frmEditDekigataTorimatome = nullptr;
    frmProgressBar = nullptr;
    frmChangeData = nullptr;
    frmPrintSet = nullptr;
    FormVerInfo = nullptr;
    frmSethistgram = nullptr;
    frmSmallListBox = nullptr;
}

void CreateAllWindows(std::vector<std::unique_ptr<QWidget>> &windows)
{
    CreateWindow(frmEditDekigata, windows);
    CreateWindow(frmDataPath, windows);
    CreateWindow(frmEditKoji, windows);
    CreateWindow(frmEditKosyu, windows);
    CreateWindow(frmListBox, windows);
    CreateWindow(frmEditKouku, windows);
    CreateWindow(frmEditSimei, windows);
    CreateWindow(frmEditHacchusya, windows);
    CreateWindow(frmEditUkeoisya, windows);
    CreateWindow(frmSetDataPath, windows);
    CreateWindow(frmEditKikakuti4, windows);
    CreateWindow(frmEditFormationHeight, windows);
    CreateWindow(frmEditDekigataTorimatome, windows);
    CreateWindow(frmProgressBar, windows);
    CreateWindow(frmChangeData, windows);
    CreateWindow(frmPrintSet, windows);
    CreateWindow(FormVerInfo, windows);
    CreateWindow(frmSethistgram, windows);
    CreateWindow(frmSmallListBox, windows);
    ConnectMainMenus();
}

} // namespace

int RunKelmo4(int argc, char **argv)
{
    TKelmoApplication app(argc, argv);
    // Qt's own buttons and dialogs ("はい", "キャンセル", the file dialog) in Japanese like the
    // rest of the program, whatever the desktop's language; without the file the English
    // texts stay.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), u"qtbase"_s, u"_"_s,
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTexts);
    if (!AppPaths::EnterWorkingFolder()) {
        ShowErrorMessage(u"作業フォルダ「%1」を作れません。ホームフォルダに書き込めるか確かめてください。"_s
                             .arg(QDir::toNativeSeparators(AppPaths::WorkingFolder())));
        return 1;
    }
    InstallHelpKey();
    PlugChartPrintRoutines();
    PlugInDataSheet();

    // Every window once, the main window first; they live until the run ends. Creating them
    // touches the tables: when the data folder cannot be used, the user is told why and may
    // choose another folder in the defaults window before the program tries again.
    std::vector<std::unique_ptr<QWidget>> windows;
    for (;;) {
        // Before any window opens a table: an old data folder is taken over or left.
        if (!OfferParadoxImportAtStart())
            return 0;
        try {
            CreateAllWindows(windows);
            break;
        } catch (const EKelmoError &e) {
            while (!windows.empty())
                windows.pop_back();
            ClearGlobals();
            ShowErrorMessage(e.Message());
            TfrmDataPath chooser;
            if (chooser.exec() != QDialog::Accepted)
                return 1;
        }
    }

    // Loads the defaults file (and tells of a short one) without showing the window.
    try {
        frmDataPath->FormActivate();
    } catch (const EKelmoError &e) {
        ShowErrorMessage(e.Message());
    }

    app.WindowManners().SetMainWindow(frmEditDekigata);
    frmEditDekigata->show();
    const int result = app.exec();

    // Windows go in reverse order of creation, the main window last, after the windows that
    // may still refer to its record and grid.
    while (!windows.empty())
        windows.pop_back();
    ClearGlobals();
    return result;
}
