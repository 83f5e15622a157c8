#pragma once

class TRecordedPage;

// Where the pages of a document go one at a time as they are drawn, so that a long document
// is never held whole: a PDF file, numbered page images or a print job.
class TPageSink
{
public:
    virtual ~TPageSink() = default;
    // Writes Page at once; false when the sink has stopped (the user cancelled its file
    // name), which ends the document. Failures are raised.
    virtual bool AddPage(const TRecordedPage &page) = 0;
};
