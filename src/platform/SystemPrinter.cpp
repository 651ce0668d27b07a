// Documents on the default printer.
#include "SystemPrinter.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace tavoro::platform {

SystemPrinter::SystemPrinter() = default;
SystemPrinter::~SystemPrinter() = default;

QPagedPaintDevice *SystemPrinter::beginDocument(const QString &title)
{
    m_printer.reset();
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (!m_printer->isValid()) {
        m_printer.reset();
        return nullptr;
    }
    m_printer->setDocName(title);
    m_printer->setPageSize(QPageSize(QPageSize::A4));
    m_printer->setPageOrientation(QPageLayout::Portrait);
    return m_printer.get();
}

bool SystemPrinter::endDocument()
{
    // The painter's end sent the document; what is left is whether the printer took it.
    const bool sent = m_printer && m_printer->printerState() != QPrinter::Error &&
                      m_printer->printerState() != QPrinter::Aborted;
    m_printer.reset();
    return sent;
}

} // namespace tavoro::platform
