#include "printselection.h"

#include "store/celltable.h"
#include "store/taskstore.h"
#include "store/todolist.h"
#include "text/regional.h"

namespace {

const char *const kHeaders[] = { "Date", "Time", "Category", "What", "Completed", "Alarm" };

bool categoryPasses(const PrintSelection &selection, const QString &category)
{
    return !selection.selectedCategories || category == selection.category;
}

void writeHeader(CellTable &gridPrint)
{
    gridPrint.setColCount(printselection::ColumnCount);
    for (int c = 0; c < printselection::ColumnCount; ++c)
        gridPrint.setCell(c, 0, QString::fromLatin1(kHeaders[c]));
}

bool hasKey(const CellTable &store, int row)
{
    return !store.cellUtf8(store::Key, row).isEmpty();
}

} // namespace

namespace printselection {

Refusal check(const PrintSelection &selection)
{
    if (!selection.notDone && !selection.done && !selection.todo)
        return Refusal::NoKind;
    if (!selection.allDates && selection.lastDay < selection.firstDay)
        return Refusal::DatesReversed;
    return Refusal::None;
}

QString refusalText(Refusal refusal)
{
    switch (refusal) {
    case Refusal::NoKind:
        return QStringLiteral("At least one of the DONE, NOT DONE or TO-DO options must be checked");
    case Refusal::DatesReversed:
        return QStringLiteral("The second date must be AFTER the first date!");
    case Refusal::None:
        break;
    }
    return {};
}

CellTable newPrintTable()
{
    CellTable table(ColumnCount, 2);
    writeHeader(table);
    return table;
}

void resetPrintTable(CellTable &gridPrint)
{
    gridPrint.setRowCount(2);
}

void appendTodoRows(CellTable &gridPrint, const CellTable &todoList, const PrintSelection &selection)
{
    for (int row = 1; row < todoList.rowCount(); ++row) {
        if (todoList.isRowBlank(row) || !okToPrintNonDateTask(selection, todoList, row))
            continue;
        const int at = gridPrint.rowCount();
        gridPrint.setRowCount(at + 1);
        gridPrint.setCell(Date, at, QStringLiteral("To-do"));
        gridPrint.setCell(Time, at, QString());
        gridPrint.setCell(Category, at, todoList.cell(todo::Category, row));
        gridPrint.setCell(What, at, todoList.cell(todo::What, row));
        gridPrint.setCell(Done, at, todoList.cell(todo::Done, row));
        gridPrint.setCell(Alarm, at, QString());
    }
}

void fillForPrint(CellTable &gridPrint, const CellTable &store, const CellTable &todoList,
    const PrintSelection &selection, const RegionalSettings &regional)
{
    gridPrint.setRowCount(1);
    if (selection.done || selection.notDone) {
        TransfertoGridPrint(gridPrint, store, selection, regional);
    } else {
        writeHeader(gridPrint);
        gridPrint.setRowCount(1);
    }
    if (selection.todo)
        appendTodoRows(gridPrint, todoList, selection);
}

Cleared clearSelection(CellTable &store, CellTable &todoList, const PrintSelection &selection)
{
    Cleared cleared;
    if (selection.done || selection.notDone) {
        auto passes = [&](int row) {
            return hasKey(store, row)
                && okToPrintDateTask(selection, store, row, store::keyDay(store.cellUtf8(store::Key, row)));
        };
        for (int row = store.rowCount() - 1; row >= 2; --row) {
            if (passes(row)) {
                store.deleteRows(row, 1);
                ++cleared.datedTasks;
            }
        }
        if (store.rowCount() > 1 && passes(1)) {
            store.blankRows(1, 1);
            ++cleared.datedTasks;
        }
    }
    if (selection.todo) {
        auto passes
            = [&](int row) { return !todoList.isRowBlank(row) && okToPrintNonDateTask(selection, todoList, row); };
        for (int row = todoList.rowCount() - 1; row >= 2; --row) {
            if (passes(row)) {
                todoList.deleteRows(row, 1);
                ++cleared.todoTasks;
            }
        }
        if (todoList.rowCount() > 1 && passes(1)) {
            todoList.blankRows(1, 1);
            ++cleared.todoTasks;
        }
    }
    return cleared;
}

} // namespace printselection

bool okToPrintDateTask(const PrintSelection &selection, const CellTable &store, int row, qint64 day)
{
    if (!selection.allDates && (day < selection.firstDay || day > selection.lastDay))
        return false;
    const bool done = store.cell(store::Done, row) == QLatin1String("Yes");
    if (selection.done && !selection.notDone && !done)
        return false;
    if (selection.notDone && !selection.done && done)
        return false;
    return categoryPasses(selection, store.cell(store::Category, row));
}

bool okToPrintNonDateTask(const PrintSelection &selection, const CellTable &todoList, int row)
{
    return selection.todo && categoryPasses(selection, todoList.cell(todo::Category, row));
}

void TransfertoGridPrint(
    CellTable &gridPrint, const CellTable &store, const PrintSelection &selection, const RegionalSettings &regional)
{
    writeHeader(gridPrint);
    gridPrint.setRowCount(1);
    for (int row = 1; row < store.rowCount(); ++row) {
        if (!hasKey(store, row))
            continue;
        const qint64 day = store::keyDay(store.cellUtf8(store::Key, row));
        if (!okToPrintDateTask(selection, store, row, day))
            continue;
        const int at = gridPrint.rowCount();
        gridPrint.setRowCount(at + 1);
        gridPrint.setCell(printselection::Date, at, formatDateValue(QStringLiteral("ddddd"), DateValue(day), regional));
        gridPrint.setCell(printselection::Time, at, store.cell(store::Time, row));
        gridPrint.setCell(printselection::Category, at, store.cell(store::Category, row));
        gridPrint.setCell(printselection::What, at, store.cell(store::What, row));
        gridPrint.setCell(printselection::Done, at, store.cell(store::Done, row));
        gridPrint.setCell(printselection::Alarm, at, store.cell(store::Alarm, row));
    }
}
