#pragma once

#include <QObject>
#include <QString>

#include "platform/services.h"

class TaskDocument;

// Archiving all task data to three files of the user's choosing, and restoring it from them.
class ArchiveCommands : public QObject
{
    Q_OBJECT

public:
    ArchiveCommands(TaskDocument &document, const Services &services, QObject *parent = nullptr);

public Q_SLOTS:
    void Archive1Click();
    void Restore1Click();

private:
    TaskDocument &m_document;
    Services m_services;
    // Each dialog offers the name last chosen in it during the run.
    QString m_archiveName;
    QString m_restoreName;
};
