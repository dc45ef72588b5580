#include "qtprinter.h"

#include "platform/dialogs.h"
#include "platform/qtprintsurface.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace {

QPageLayout::Orientation toQt(PrintOrientation orientation)
{
    return orientation == PrintOrientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

} // namespace

QtPrinter::QtPrinter(Dialogs &dialogs, QWidget *parent)
    : m_dialogs(dialogs)
    , m_parent(parent)
{ }

QtPrinter::~QtPrinter() = default;

bool QtPrinter::print(PrintOrientation orientation, const Layout &layout)
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // Shown in the dialog; the table's own orientation holds whatever is chosen there.
    m_printer->setPageOrientation(toQt(orientation));
    QPrintDialog dialog(m_printer.get(), m_parent);
    dialog.setObjectName(QStringLiteral("PrintDialog1"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (!run(*m_printer, orientation, layout)) {
        const QString name
            = m_printer->outputFormat() == QPrinter::PdfFormat ? m_printer->outputFileName() : m_printer->printerName();
        m_dialogs.showError(QStringLiteral("Could not print to ") + name);
        return false;
    }
    return true;
}

bool QtPrinter::printToPdf(const QString &path, PrintOrientation orientation, const Layout &layout)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    return run(printer, orientation, layout);
}

bool QtPrinter::run(QPrinter &printer, PrintOrientation orientation, const Layout &layout)
{
    printer.setPageOrientation(toQt(orientation));
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    QtPrintSurface surface(painter, printer);
    layout(surface);
    return painter.end();
}
