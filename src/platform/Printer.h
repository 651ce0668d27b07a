// The printer seam: documents on the system's default printer. The program's printer is
// platform::SystemPrinter; a test implementation keeps the documents for the test to look at.
#pragma once

#include <QString>

class QPagedPaintDevice;

namespace tavoro::platform {

class Printer {
public:
    virtual ~Printer() = default;
    // Starts a document on the default printer and returns the device to paint its pages
    // on (the painter must have ended before endDocument), or nullptr when no printer can be
    // used.
    virtual QPagedPaintDevice *beginDocument(const QString &title) = 0;
    // Sends the document begun last; false when it could not be sent.
    virtual bool endDocument() = 0;
};

} // namespace tavoro::platform
