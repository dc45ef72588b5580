// Pictures of the main window and of every dialog, to look at: at another scale factor, with
// a dark palette, after a change of layout.
//   xvfb-run -a env QT_SCALE_FACTOR=2 window_shots /tmp/shots [--dark]
// --dark sets the Fusion style with a dark palette first, as a dark desktop would.
#include "appfixture.h"
#include "editing/timebar.h"
#include "schedule/missedalarms.h"
#include "shell/finddialog.h"
#include "shell/helpwindow.h"
#include "shell/mainactions.h"
#include "shell/mainwindow.h"
#include "store/gridfile.h"
#include "text/datevalue.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

QDir g_folder;
int g_failures = 0;

QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(53, 53, 53));
    p.setColor(QPalette::WindowText, QColor(230, 230, 230));
    p.setColor(QPalette::Base, QColor(35, 35, 35));
    p.setColor(QPalette::AlternateBase, QColor(60, 60, 60));
    p.setColor(QPalette::ToolTipBase, QColor(25, 25, 25));
    p.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
    p.setColor(QPalette::Text, QColor(230, 230, 230));
    p.setColor(QPalette::Button, QColor(53, 53, 53));
    p.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Link, QColor(42, 130, 218));
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, QColor(20, 20, 20));
    p.setColor(QPalette::Light, QColor(90, 90, 90));
    p.setColor(QPalette::Midlight, QColor(70, 70, 70));
    p.setColor(QPalette::Mid, QColor(40, 40, 40));
    p.setColor(QPalette::Dark, QColor(25, 25, 25));
    p.setColor(QPalette::Shadow, QColor(0, 0, 0));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(127, 127, 127));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(127, 127, 127));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(127, 127, 127));
    return p;
}

void save(QWidget *widget, const QString &name)
{
    QApplication::processEvents();
    const QString path = g_folder.filePath(name + QStringLiteral(".png"));
    if (!widget->grab().save(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        ++g_failures;
    }
}

// The next modal window other than `except`, once it is up (or nothing after ten seconds).
QWidget *nextModal(QWidget *except)
{
    for (int i = 0; i < 500; ++i) {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != except && modal->isVisible())
            return modal;
        QTest::qWait(20);
    }
    return nullptr;
}

// Starts `open` and pictures the modal window it brings up; `inside` may picture more of it
// (its pages, the dialogs it opens) before it is closed.
void shotModal(const QString &name, const std::function<void()> &open,
    const std::function<void(QWidget *)> &inside = {}, QWidget *parent = nullptr)
{
    QTimer::singleShot(0, [=] {
        QWidget *dialog = nextModal(parent);
        if (!dialog) {
            std::fprintf(stderr, "no window came up for %s\n", qPrintable(name));
            ++g_failures;
            return;
        }
        save(dialog, name);
        if (inside)
            inside(dialog);
        dialog->close();
    });
    open();
}

void clickButton(QWidget *window, const char *name)
{
    if (auto *button = window->findChild<QAbstractButton *>(QLatin1String(name)))
        button->click();
    else
        std::fprintf(stderr, "no button %s\n", name);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.contains(QStringLiteral("--dark"))) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(darkPalette());
    }
    g_folder.setPath(args.size() > 1 && !args[1].startsWith(QLatin1String("--")) ? args[1] : QDir::currentPath());
    g_folder.mkpath(QStringLiteral("."));

    const QDate today(2026, 12, 10);
    AppFixture world(QDateTime(today, QTime(10, 0)));
    const QList<QStringList> holidays { { "Name", "Month", "Month Name", "Day" },
        { "Christmas", "12", "December", "25" }, { "Thanksgiving", "11", "November", "Fourth : Thursday" } };
    const QList<QStringList> todo { { "Category", "What", "Done" }, { "Home", "Renew the passport", "No" },
        { "Work", "Sort the photos", "Yes" } };
    for (const auto &[name, rows] : { std::pair { "holiday.grd", holidays }, std::pair { "gridNon.grd", todo } }) {
        CellTable table(int(rows.first().size()), int(rows.size()));
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c)
                table.setCell(c, r, rows[r][c]);
        writeGridFile(table, world.data(QLatin1String(name)));
    }
    TaskDocument &document = world.loadDocument();
    const qint64 day = datevalue::dayNumber(today);
    document.insertDirectTask(day, QStringLiteral("9:00 AM"), QStringLiteral("Work"), QStringLiteral("Team meeting"),
        QStringLiteral("No"), QStringLiteral("No"));
    document.insertDirectTask(day, QStringLiteral("2:30 PM"), QStringLiteral("Home"),
        QStringLiteral("Dentist\r\nbring the card"), QStringLiteral("Yes"), QStringLiteral("Yes"));
    document.insertDirectTask(day + 4, QStringLiteral("6:00 PM"), QStringLiteral("Home"), QStringLiteral("Call mum"),
        QStringLiteral("No"), QStringLiteral("Yes"));
    document.endDirectBatch();

    TfrmMain window(document, world.services());
    window.resize(900, 600);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    window.selectRow(MainView::List::Day, 2);
    save(&window, QStringLiteral("main"));
    const MainActions &actions = window.actions();

    shotModal(
        QStringLiteral("edit"), [&] { actions.EditTask1->trigger(); },
        [](QWidget *editor) {
            shotModal(
                QStringLiteral("edit-reschedule"), [=] { clickButton(editor, "btReschedule"); }, {}, editor);
            shotModal(
                QStringLiteral("edit-time"), [=] { clickButton(editor, "btTime"); }, {}, editor);
        });
    shotModal(
        QStringLiteral("options"), [&] { actions.Options1->trigger(); },
        [](QWidget *options) {
            auto *pages = options->findChild<QTabWidget *>(QStringLiteral("pcOptions"));
            for (int i = 1; pages && i < pages->count(); ++i) {
                pages->setCurrentIndex(i);
                save(options, QStringLiteral("options-%1").arg(i));
            }
        });
    shotModal(QStringLiteral("filter"), [&] { actions.Filters1->trigger(); });
    shotModal(
        QStringLiteral("holidays"), [&] { actions.Holidays1->trigger(); },
        [](QWidget *list) {
            shotModal(
                QStringLiteral("holidays-import"), [=] { clickButton(list, "btImport"); }, {}, list);
            shotModal(
                QStringLiteral("holidays-add"), [=] { clickButton(list, "btAdd"); }, {}, list);
        });
    shotModal(QStringLiteral("print"), [&] { actions.Print1->trigger(); });
    shotModal(QStringLiteral("clear"), [&] { actions.Clear1->trigger(); });
    shotModal(QStringLiteral("publish"), [&] { actions.Publish1->trigger(); });
    shotModal(QStringLiteral("categories"), [&] { actions.Categories1->trigger(); });
    shotModal(QStringLiteral("about"), [&] { actions.About1->trigger(); });
    shotModal(QStringLiteral("completed"), [&] { actions.ViewCompleted1->trigger(); });

    actions.Search1->trigger();
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *find = qobject_cast<FindDialog *>(top); find && find->isVisible()) {
            save(find, QStringLiteral("find"));
            find->close();
        }

    // The dentist's alarm comes up over the window.
    world.clock.set(QDateTime(today, QTime(14, 30, 20)));
    window.timerPoolAllTriggers(window.trigger(1));
    save(&window, QStringLiteral("main-alarm"));

    HelpWindow help;
    help.resize(600, 400);
    help.openTopic(100);
    help.show();
    if (QTest::qWaitForWindowExposed(&help))
        save(&help, QStringLiteral("help"));

    TfrmMissed missed(document.regional());
    missed.addAlarms({ { day, QStringLiteral("9:00 AM"), QStringLiteral("Team meeting"), 0 },
        { day - 1, QStringLiteral("6:00 PM"), QStringLiteral("Call mum"), 0 } });
    missed.show();
    if (QTest::qWaitForWindowExposed(&missed))
        save(&missed, QStringLiteral("missed"));

    std::printf("pictures in %s\n", qPrintable(g_folder.absolutePath()));
    return g_failures == 0 ? 0 : 1;
}
