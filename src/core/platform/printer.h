#pragma once

#include <QList>

#include <functional>

#include "printsurface.h"

// The platform's printer: the print dialog, then a job on the printer chosen in it.
class Printer
{
public:
    using Layout = std::function<void(PrintSurface &surface)>;

    virtual ~Printer() = default;
    // Shows the print dialog; unless it is cancelled, sets the page orientation (whatever the
    // dialog chose) and runs `layout` on the chosen printer as one job. Answers whether it
    // printed.
    virtual bool print(PrintOrientation orientation, const Layout &layout) = 0;
};

// Answers the print dialog from a script and keeps each job's pages on a recording
// surface (A4 less small margins, turned for landscape); for tests.
class RecordingPrinter final : public Printer
{
public:
    bool print(PrintOrientation orientation, const Layout &layout) override
    {
        ++dialogsShown;
        const bool accepted = answers.isEmpty() ? accept : answers.takeFirst();
        if (!accepted)
            return false;
        const bool landscape = orientation == PrintOrientation::Landscape;
        jobs.append(Job { orientation, RecordingPrintSurface(landscape ? 2770 : 1900, landscape ? 1900 : 2770) });
        layout(jobs.last().surface);
        return true;
    }

    struct Job
    {
        PrintOrientation orientation;
        RecordingPrintSurface surface;
    };
    bool accept = true; // the answer when `answers` is empty
    QList<bool> answers; // taken in order
    int dialogsShown = 0;
    QList<Job> jobs;
};
