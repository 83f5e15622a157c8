#pragma once

#include <QString>

class TPageCanvas;

// Drawing in form centimetres onto a page canvas. A form coordinate (X, Y) lands on the
// printer pixel (trunc(X × PrintDpiX / 2.54 − PrintOriginX), trunc(Y × PrintDpiY / 2.54 −
// PrintOriginY)) of the printable area; each form sets its origin through PrintOffsetX/Y
// (negative: the form's 0 lies that far right of / below the paper's edge).

extern float PrintOffsetX; // cm
extern float PrintOffsetY; // cm
extern int PrintDpiX;
extern int PrintDpiY;
extern int PrintOriginX;   // printer pixels
extern int PrintOriginY;

// Reads the resolution and unprintable offsets of the current printer and recomputes the
// origin; every drawing procedure calls it first.
void InitPrintScale();

// Pixel of a form coordinate, with the current module state.
int PrintPixelX(float X);
int PrintPixelY(float Y);

// Paper "A4" or "A3" (any other text keeps the size) and orientation "LAND" (anything else
// is portrait), without regard to case, applied to the current printer.
void SetPaper(const QString &Paper, const QString &Orientation);

void DrawLine(TPageCanvas *Canvas, float X1, float Y1, float X2, float Y2);
void DrawBox(TPageCanvas *Canvas, float X1, float Y1, float X2, float Y2);
void FillBox(TPageCanvas *Canvas, float X1, float Y1, float X2, float Y2);
void DrawCircle(TPageCanvas *Canvas, float X, float Y, float Radius);
// Open arrow head with its tip at (X, Y): "UP", "DOWN", "LEFT" or "RIGHT".
void DrawArrowHead(TPageCanvas *Canvas, const QString &Direction, float X, float Y, float Size);
// Line of 1 mm pieces switched by a pattern: 0 dashes, 1 dash and dot, other values solid.
void DrawPatternLine(TPageCanvas *Canvas, int Pattern, float X1, float Y1, float X2, float Y2);

// Text in a box. Align: 0 left/top, 1 centred, 2 right/bottom, 3 spread, 4 spread inside a
// tenth of margin. Vertical 1 writes top to bottom. "\\" breaks the line; a too wide
// horizontal text wraps into the lower half.
void DrawBoxText(TPageCanvas *Canvas, const QString &Text, int Align, float Left, float Top, float Right,
                 float Bottom, int Vertical);
// As DrawBoxText when the text fits the width, else squeezed to it from the left edge.
void DrawFitText(TPageCanvas *Canvas, const QString &Text, int Align, float Left, float Top, float Right,
                 float Bottom, int Vertical);
// Text with its top-left corner at (X, Y), WidthPercent of its width, turned Angle degrees
// counter-clockwise.
void DrawScaledText(TPageCanvas *Canvas, int Angle, int WidthPercent, float X, float Y, const QString &Text);

// Measurements in cm (pixels × 2.55 / PrintDpiX, both of them).
float TextWidthCm(TPageCanvas *Canvas, const QString &Text);
float TextHeightCm(TPageCanvas *Canvas, const QString &Text);

// Pen width from millimetres at the canvas's own (display) resolution, rounded up.
void SetPenWidthMm(TPageCanvas *Canvas, float Millimetres);
