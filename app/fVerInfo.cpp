#include "app/fVerInfo.h"

#include "app/AppPaths.h"
#include "app/uCommon.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

TFormVerInfo *FormVerInfo = nullptr;

TFormVerInfo::TFormVerInfo(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
    , Label1(new QLabel(u"ケルモ"_s, this))
    , Label2(new QLabel(u"バージョン"_s, this))
    , StaticText1(new QLabel(this))
    , Button1(new QPushButton(u"ホームページ"_s, this))
{
    setWindowTitle(u"バージョン情報"_s);
    setFixedSize(289, 92);
    QFont big = font();
    big.setPointSize(14);
    big.setBold(true);
    Label1->setFont(big);
    Label1->setGeometry(16, 10, 120, 28);
    Label2->setGeometry(16, 48, 70, 20);
    StaticText1->setGeometry(90, 46, 183, 22);
    StaticText1->setAlignment(Qt::AlignCenter);
    StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Button1->setGeometry(183, 12, 90, 25);
    connect(Button1, &QPushButton::clicked, this, [] { QDesktopServices::openUrl(HomePage()); });
}

QUrl TFormVerInfo::HomePage()
{
    // No maker's address is known to us; the program's own pages are always at hand.
    return QUrl::fromLocalFile(AppPaths::HelpFolder() + u"/index.html"_s);
}

void TFormVerInfo::showEvent(QShowEvent *event)
{
    StaticText1->setText(u"Version:"_s + ProgramVersionText());
    QDialog::showEvent(event);
    CenterInWorkArea(this);
}
