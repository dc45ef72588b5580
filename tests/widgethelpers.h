#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QHelpEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <functional>

// Small helpers for tests that drive real windows.

// The named control of a window; a missing one is said, and the test then fails on it.
template <class T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qWarning("no control %s", name);
    return found;
}

// The tool tip a list shows when the mouse rests on a cell, or "" when it shows none. A tip
// left from before is gone first, so it cannot be taken for this one.
inline QString toolTipOfCell(QAbstractItemView *view, const QModelIndex &index)
{
    QToolTip::hideText();
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
        return QStringLiteral("an earlier tip stays");
    const QPoint pos = view->visualRect(index).center();
    QHelpEvent help(QEvent::ToolTip, pos, view->viewport()->mapToGlobal(pos));
    QCoreApplication::sendEvent(view->viewport(), &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// A mouse click on the named button.
inline void click(QWidget *window, const char *name)
{
    QTest::mouseClick(child<QPushButton>(window, name), Qt::LeftButton);
}

// Acts on the next modal window of type T once it is up and has the keyboard; the act runs
// inside its event loop. It is looked for until it is up (a slow build takes a while to
// open it); when none comes, whatever is modal instead is closed, so no test waits on a
// window nobody closes.
template <class T> void whenModal(std::function<void(T *)> act, int triesLeft = 3000)
{
    QTimer::singleShot(20, [act, triesLeft] {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!dialog) {
            if (triesLeft > 0)
                whenModal<T>(act, triesLeft - 1);
            else if (QWidget *other = QApplication::activeModalWidget())
                other->close();
            return;
        }
        dialog->activateWindow(); // no window manager gives it the keyboard
        if (!QTest::qWaitForWindowActive(dialog))
            qWarning("the dialog did not become active");
        // An act that fails half-way leaves its window open, and the test would wait on it
        // for ever: it is closed after a while, so the failure is told.
        auto *watchdog = new QTimer(dialog);
        watchdog->setSingleShot(true);
        QObject::connect(watchdog, &QTimer::timeout, dialog, [dialog] {
            qWarning("%s was left open", dialog->metaObject()->className());
            dialog->close();
        });
        if (auto *asDialog = qobject_cast<QDialog *>(dialog))
            QObject::connect(asDialog, &QDialog::finished, watchdog, &QObject::deleteLater);
        watchdog->start(20000);
        act(dialog);
    });
}
