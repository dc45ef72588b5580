#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

// The program's help: HTML pages bundled into the program, shown in a browser window and
// opened at a topic. The topics are those the windows ask for:
//   100 the main window, 200 task filters, 300 holidays, 400 program options.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // The page of a topic; an unknown topic gives the main page, which links to the rest.
    static QUrl topicUrl(int topic);

    QTextBrowser *browser() const { return m_browser; }

public Q_SLOTS:
    void openTopic(int topic);

private:
    void updateButtons();

    QTextBrowser *m_browser;
    QToolButton *m_back;
    QToolButton *m_forward;
};
