#include "datafile.h"

#include "celltable.h"

#include <QFileInfo>

LoadResult DataFile::loadGrid(CellTable &table, const QDateTime &now)
{
    const LoadResult result = loadDataFile(table, m_path, now);
    m_blocked = result.status == LoadResult::Status::Unreadable && result.keptAs.isEmpty();
    m_holdBackup = m_holdBackup || result.holdBackup;
    return result;
}

CategoryFile DataFile::loadLines(const QDateTime &now)
{
    CategoryFile file = readCategoryFile(m_path);
    if (file.status == CategoryFile::Status::Damaged) {
        const QString aside = keepAside(m_path, now);
        if (aside.isEmpty()) {
            file.status = CategoryFile::Status::Unreadable;
            file.message += QStringLiteral(". It could not be moved aside either: "
                                           "move it away yourself before the program saves again.");
        } else {
            file.message
                += QStringLiteral(". It has been kept as ") + aside + QStringLiteral("; the list starts empty.");
        }
    }
    // Lines that could not be read are never replaced by an empty list.
    m_blocked = file.status == CategoryFile::Status::Unreadable;
    return file;
}

bool DataFile::blocked() const
{
    return m_blocked && QFileInfo::exists(m_path);
}

SaveResult DataFile::record(SaveResult result)
{
    m_unsaved = !result.ok;
    return result;
}

SaveResult DataFile::saveBytes(QByteArrayView bytes, bool keepBackup)
{
    if (blocked())
        return record(SaveResult::failure(m_path,
            QStringLiteral("the unreadable file of that name is still there. "
                           "Move it away to let the program save again.")));
    m_blocked = false;
    return record(saveFileAtomically(m_path, bytes, keepBackup && !m_holdBackup));
}

SaveResult DataFile::saveGrid(const CellTable &table)
{
    return saveBytes(gridFileBytes(table));
}

SaveResult DataFile::saveLines(const QStringList &entries)
{
    return saveBytes(categoryFileBytes(entries), false);
}
