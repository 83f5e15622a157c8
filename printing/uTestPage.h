#pragma once

class TPrevX;

// A page of rulings, boxes and texts at known centimetres from the paper's corner, to check
// that a printer, the preview, a PDF and an image put them where they belong. Sets A4
// portrait and draws one whole document on Prev.
void DrawTestPage(TPrevX *Prev);
