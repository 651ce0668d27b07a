// The printer seam over Qt's printing: the system's default printer, no dialog.
#pragma once

#include "Printer.h"

#include <memory>

class QPrinter;

namespace tavoro::platform {

class SystemPrinter final : public Printer {
public:
    SystemPrinter();
    ~SystemPrinter() override;
    QPagedPaintDevice *beginDocument(const QString &title) override;
    bool endDocument() override;

private:
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace tavoro::platform
