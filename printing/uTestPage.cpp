#include "printing/uTestPage.h"

#include "printing/NkPrinter.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"

#include <QtMath>

using namespace Qt::Literals::StringLiterals;

void DrawTestPage(TPrevX *Prev)
{
    SetPaper(u"A4"_s, u"PORT"_s);
    Prev->SetTitle(u"テストページ"_s);
    Prev->BeginDoc();
    // The form's origin is the paper's corner, so every figure below is centimetres from it.
    PrintOffsetX = 0;
    PrintOffsetY = 0;
    InitPrintScale();
    TPageCanvas *c = Prev->Canvas();
    c->Font().SetName(u"ＭＳ 明朝"_s);
    const int rule = qMax(1, qRound(PrintDpiX * 0.025 / 2.54)); // a quarter millimetre

    c->Pen().SetWidth(rule);
    DrawBox(c, 1, 1, 20, 28.7f);
    DrawBox(c, 2, 3, 7, 5);
    DrawBox(c, 10, 3, 19, 5);
    for (int y = 6; y <= 10; ++y)
        DrawLine(c, 2, float(y), 19, float(y));
    for (int x = 2; x <= 19; ++x)
        DrawLine(c, float(x), 6, float(x), 6.4f);

    c->Pen().SetWidth(1);
    c->Font().SetSize(8);
    for (int x = 1; x <= 20; ++x) {
        DrawLine(c, float(x), 1, float(x), 1.3f);
        DrawBoxText(c, QString::number(x), 1, x - 0.5f, 1.3f, x + 0.5f, 1.7f, 0);
    }
    for (int y = 2; y <= 28; ++y) {
        DrawLine(c, 1, float(y), 1.3f, float(y));
        DrawBoxText(c, QString::number(y), 0, 1.35f, y - 0.2f, 2, y + 0.2f, 0);
    }

    c->Font().SetSize(20);
    DrawBoxText(c, u"ケルモ４　テストページ"_s, 4, 3, 1.8f, 18, 2.8f, 0);
    c->Font().SetSize(10);
    DrawBoxText(c, u"枠 2–7 cm × 3–5 cm"_s, 1, 2, 3, 7, 5, 0);
    DrawBoxText(c, u"枠 10–19 cm × 3–5 cm\\\\横線 6, 7, 8, 9, 10 cm"_s, 1, 10, 3, 19, 5, 0);

    const float top = 11;
    const QString sample = u"出来形管理"_s;
    for (int align = 0; align <= 4; ++align) {
        const float y = top + align * 0.6f;
        DrawBox(c, 2, y, 9, y + 0.6f);
        DrawBoxText(c, sample, align, 2, y, 9, y + 0.6f, 0);
        DrawBoxText(c, u"Align "_s + QString::number(align), 0, 9.2f, y, 12, y + 0.6f, 0);
    }
    DrawBox(c, 13, 11, 13.8f, 14);
    DrawBoxText(c, u"設計値との差"_s, 3, 13, 11, 13.8f, 14, 1);
    DrawBox(c, 14, 11, 14.8f, 16.4f);
    DrawBoxText(c, u"度　　数"_s + QChar(kVerticalOpenParen) + u"回"_s + QChar(kVerticalCloseParen), 4, 14, 11,
                14.8f, 16.4f, 1);
    DrawBox(c, 15.5f, 11, 19, 11.6f);
    DrawBoxText(c, QChar(kAverageSign) + u"= 1.25 (mm)"_s, 0, 15.6f, 11, 19, 11.6f, 0);
    DrawFitText(c, u"この文は枠より長いので横に縮めて入れる"_s, 1, 15.5f, 12, 19, 12.6f, 0);
    DrawScaledText(c, 90, 100, 18.4f, 16.4f, u"90度回転"_s);

    DrawPatternLine(c, 0, 2, 17.5f, 12, 17.5f);
    DrawPatternLine(c, 1, 2, 18, 12, 18);
    DrawPatternLine(c, 2, 2, 18.5f, 12, 18.5f);
    DrawPatternLine(c, 0, 2, 19, 12, 19.8f);
    DrawCircle(c, 15, 18, 1);
    DrawArrowHead(c, u"UP"_s, 15, 16.6f, 0.3f);
    DrawArrowHead(c, u"RIGHT"_s, 16.4f, 18, 0.3f);
    c->Brush().SetColor(0x00C0C0C0);
    FillBox(c, 13, 19, 14, 19.5f);
    c->Brush().SetColor(0x000000FF);
    FillBox(c, 14, 19, 15, 19.5f);
    c->Brush().SetColor(clWhite);

    c->Pen().SetWidth(rule);
    DrawBox(c, 2, 21, 19, 27);
    c->Font().SetSize(9);
    const TDeviceCaps caps = NkPrinter().DeviceCaps();
    const QString info = u"解像度 "_s + QString::number(caps.LogPixelsX) + u" dpi　用紙 "_s
        + QString::number(caps.PhysicalWidth) + u" × "_s + QString::number(caps.PhysicalHeight)
        + u"　余白 "_s + QString::number(caps.PhysicalOffsetX) + u", "_s + QString::number(caps.PhysicalOffsetY)
        + u"　印刷可能 "_s + QString::number(caps.HorzRes) + u" × "_s + QString::number(caps.VertRes);
    DrawBoxText(c, info, 0, 2.2f, 21.2f, 18.8f, 21.8f, 0);
    DrawBoxText(c, u"枠 2–19 cm × 21–27 cm、外枠 1–20 cm × 1–28.7 cm"_s, 0, 2.2f, 21.8f, 18.8f, 22.4f, 0);
    Prev->EndDoc();
}
