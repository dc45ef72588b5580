#pragma once

#include <QString>

#include <memory>

#include "platform/printer.h"

class Dialogs;
class QPrinter;
class QWidget;

// The print dialog over one printer kept for the run, so the user's choice of printer and
// its settings stay from one print to the next. With no printer installed the dialog still
// offers printing to a PDF file.
class QtPrinter final : public Printer
{
public:
    explicit QtPrinter(Dialogs &dialogs, QWidget *parent = nullptr);
    ~QtPrinter() override;
    void setParent(QWidget *parent) { m_parent = parent; }

    bool print(PrintOrientation orientation, const Layout &layout) override;

    // Runs the layout straight into a PDF file, without a dialog. Answers whether the file
    // could be started.
    static bool printToPdf(const QString &path, PrintOrientation orientation, const Layout &layout);

private:
    static bool run(QPrinter &printer, PrintOrientation orientation, const Layout &layout);

    Dialogs &m_dialogs;
    QWidget *m_parent;
    std::unique_ptr<QPrinter> m_printer;
};
