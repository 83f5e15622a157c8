#include "printing/uPrintView.h"

#include "printing/NkPrinter.h"
#include "printing/PageExport.h"
#include "printing/PrevX.h"
#include "printing/UpDown.h"
#include "printing/uPdfFileName.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

using namespace Qt::Literals::StringLiterals;

TfrmPreView::TfrmPreView(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(u"印刷プレビュー"_s);
    QFont formFont(u"ＭＳ Ｐゴシック"_s);
    formFont.setPixelSize(12);
    setFont(formFont);
    setMinimumSize(640, 480);

    QFont bold(formFont);
    bold.setPixelSize(16);
    bold.setBold(true);

    Label1 = new QLabel(u"倍率"_s, this);
    Label1->setObjectName(u"Label1"_s);
    Label1->setFont(bold);
    Label1->move(8, 8);
    Label1->adjustSize();

    MaskEdit1 = new QLineEdit(this);
    MaskEdit1->setObjectName(u"MaskEdit1"_s);
    MaskEdit1->setFont(bold);
    MaskEdit1->setGeometry(48, 4, 41, 24);
    // Shows the zoom; what is typed into it is not taken.
    MaskEdit1->setInputMask(u"999"_s);

    UpDown1 = new TUpDown(this);
    UpDown1->setObjectName(u"UpDown1"_s);
    UpDown1->setGeometry(88, 4, 16, 24);
    UpDown1->SetRange(25, 200);
    UpDown1->SetIncrement(5);

    Button3 = new QPushButton(u"前ページ"_s, this);
    Button3->setObjectName(u"Button3"_s);
    Button3->setGeometry(112, 4, 57, 25);
    Button4 = new QPushButton(u"次ページ"_s, this);
    Button4->setObjectName(u"Button4"_s);
    Button4->setGeometry(176, 4, 57, 25);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(u"ScrollBox1"_s);
    ScrollBox1->move(0, 32);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    PrevX1 = new TPrevX;
    PrevX1->setObjectName(u"PrevX1"_s);
    PrevX1->resize(814, 1143);
    PrevX1->SetZoomScale(100);
    ScrollBox1->setWidget(PrevX1);
    ScrollBox1->viewport()->installEventFilter(this);
    PrevX1->installEventFilter(this);

    Button5 = new QPushButton(u"このページを印刷"_s, this);
    Button5->setObjectName(u"Button5"_s);
    Button5->resize(105, 25);
    Button1 = new QPushButton(u"印刷(&P)"_s, this);
    Button1->setObjectName(u"Button1"_s);
    Button1->resize(75, 25);
    Button2 = new QPushButton(u"閉じる"_s, this);
    Button2->setObjectName(u"Button2"_s);
    Button2->resize(75, 25);
    ButtonPdf = new QPushButton(u"PDF保存"_s, this);
    ButtonPdf->setObjectName(u"ButtonPdf"_s);
    ButtonPdf->resize(75, 25);
    LabelSaved = new QLabel(this);
    LabelSaved->setObjectName(u"LabelSaved"_s);
    LabelSaved->setTextInteractionFlags(Qt::TextSelectableByMouse);
    for (QPushButton *button : {Button1, Button2, Button3, Button4, Button5, ButtonPdf})
        button->setAutoDefault(false);

    connect(Button3, &QPushButton::clicked, this, &TfrmPreView::PreviousPage);
    connect(Button4, &QPushButton::clicked, this, &TfrmPreView::NextPage);
    connect(UpDown1, &TUpDown::Changed, this, &TfrmPreView::ZoomChanged);
    connect(Button5, &QPushButton::clicked, this, &TfrmPreView::PrintThisPage);
    connect(Button1, &QPushButton::clicked, this, &TfrmPreView::PrintRange);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ButtonPdf, &QPushButton::clicked, this, &TfrmPreView::AskAndSavePdf);

    QScreen *screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    PlaceInWorkArea(screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768));
}

TfrmPreView::~TfrmPreView() = default;

void TfrmPreView::PlaceInWorkArea(const QRect &area)
{
    m_workArea = area;
    setGeometry(area);
}

void TfrmPreView::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The window manager's frame counts into the work area the window covers.
    const QSize frame = frameGeometry().size() - size();
    setMinimumSize(QSize(640, 480) - frame);
    if (!m_workArea.isEmpty() && !frame.isEmpty()) {
        resize(m_workArea.size() - frame);
        move(m_workArea.topLeft());
    }
}

QSize TfrmPreView::OuterSize() const
{
    return frameGeometry().size();
}

void TfrmPreView::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    const QSize outer = OuterSize();
    const int w = outer.width();
    const int h = outer.height();
    ScrollBox1->resize(w - 9, h - 120);
    Button2->move(w - 93, h - 68);
    Button1->move(w - 173, h - 68);
    Button5->move(w - 285, h - 68);
    ButtonPdf->move(w - 368, h - 68);
    LabelSaved->setGeometry(8, h - 68, qMax(0, w - 384), 25);
}

bool TfrmPreView::event(QEvent *event)
{
    const bool result = QDialog::event(event);
    if (event->type() == QEvent::WindowActivate)
        Activate(true);
    return result;
}

void TfrmPreView::Activate(bool windowActivated)
{
    if (windowActivated) {
        // The sheet's height at zoom 100 is fitted, in either orientation. The control's
        // current size would make every further activation refit from the zoom just set.
        const int extent = PrevX1->SizeAtZoom(100).height();
        if (extent > 0) {
            const int z = int(double(ScrollBox1->height()) / extent * 100 / 5) * 5;
            PrevX1->SetZoomScale(z);
        }
    }
    UpDown1->SetPosition(PrevX1->ZoomScale());
    MaskEdit1->setText(QString::number(PrevX1->ZoomScale()));
    Button3->setEnabled(PrevX1->CurrentPage() >= 2);
    Button4->setEnabled(PrevX1->CurrentPage() < PrevX1->PageCount());
}

void TfrmPreView::PreviousPage()
{
    if (PrevX1->CurrentPage() > 1)
        PrevX1->ShowPage(PrevX1->CurrentPage() - 1);
    Activate(false);
}

void TfrmPreView::NextPage()
{
    if (PrevX1->CurrentPage() < PrevX1->PageCount())
        PrevX1->ShowPage(PrevX1->CurrentPage() + 1);
    Activate(false);
}

void TfrmPreView::ZoomChanged(int value)
{
    if (value < 25 || value > 200)
        return;
    MaskEdit1->setText(QString::number(value));
    PrevX1->SetZoomScale(value);
    PrevX1->FitSizeToLayout();
    // Centred while smaller than the scrolling area, from the corner when larger.
    ScrollBox1->setAlignment(Qt::AlignCenter);
}

void TfrmPreView::PrintThisPage()
{
    PrevX1->SetPrintFrom(PrevX1->CurrentPage());
    PrevX1->SetPrintTo(PrevX1->CurrentPage());
    PrintRange();
}

void TfrmPreView::PrintRange()
{
    // The built-in PDF printer writes a file; say which.
    if (PrevX1->Print() && NkPrinter().IsPdfPrinter())
        ShowSaved(NkPrinter().LastPdfWritten());
}

void TfrmPreView::SavePdf(const QString &fileName)
{
    SavePagesAsPdf(PrevX1->PagesInRange(1, PrevX1->PageCount()), fileName, PrevX1->Title());
}

void TfrmPreView::AskAndSavePdf()
{
    if (PrevX1->PageCount() == 0)
        return;
    const QString suggestion = ProposedPdfPath(PrevX1->FileTitle());
    QString fileName = QFileDialog::getSaveFileName(this, u"PDF保存"_s, suggestion, u"PDFファイル (*.pdf)"_s);
    if (fileName.isEmpty())
        return;
    if (!fileName.endsWith(u".pdf"_s, Qt::CaseInsensitive))
        fileName += u".pdf"_s;
    SavePdf(fileName);
    ShowSaved(fileName);
    RememberPdfFolder(fileName);
}

void TfrmPreView::ShowSaved(const QString &fileName)
{
    if (fileName.isEmpty())
        return;
    const QString text = u"PDFを保存しました: "_s + QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
    LabelSaved->setText(text);
    LabelSaved->setToolTip(text);
}

void TfrmPreView::ScrollByWheel(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    if (delta == 0)
        return;
    QScrollBar *bar = ScrollBox1->verticalScrollBar();
    const int notches = qMax(1, qAbs(delta) / 120);
    bar->setValue(bar->value() + (delta < 0 ? 1 : -1) * notches * bar->singleStep());
    event->accept();
}

void TfrmPreView::wheelEvent(QWheelEvent *event)
{
    ScrollByWheel(event);
}

bool TfrmPreView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel && (watched == ScrollBox1->viewport() || watched == PrevX1)) {
        ScrollByWheel(static_cast<QWheelEvent *>(event));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
