#pragma once

#include <QObject>

class QMainWindow;
class QSplitter;
class QWidget;
class SettingsStore;
struct SaveResult;

// The main window's size and splitter positions kept between runs: the five layout values
// of the settings ("Split2", "ClientHeight", "ClientWidth", "Split1", "SplitDay"). What is
// kept is what the user set in the normal (not maximised) window; a kept split1 or splitDay
// that would leave a pane without room is not used, nor a split2 taller than the screen.
//
// The upper area (calendars and day list) is as high as split2's position whatever the
// window's height: the to-do list below takes what the window gains or loses, down to its
// minimum, and only then does the upper area give way, never below the height at which
// the calendars stay readable. A window made larger again gives it back. So split2 is the
// user's split, never a by-product of a resize. Within the upper area the day list keeps
// splitDay's height in the same way, and the notes pane under it gives way first.
class WindowLayout : public QObject
{
    Q_OBJECT

public:
    static constexpr int kDefaultSplit2 = 296;
    static constexpr int kDefaultClientHeight = 450;
    static constexpr int kDefaultClientWidth = 630;
    static constexpr int kDefaultSplit1 = 314;
    static constexpr int kDefaultSplitDay = 156;

    WindowLayout(QMainWindow &window, SettingsStore &settings);
    // The splitters and the notes pane, once the window has them.
    void setParts(QSplitter *split1, QSplitter *split2, QSplitter *splitDay, QWidget *notes);

    // Reads the values and sizes the window, within the screen; `minimumWidth` is the
    // smallest it may be.
    void load(int minimumWidth);
    // Puts the kept positions on the splitters (the first showing).
    void apply();
    // Takes the positions of split1 and splitDay, after the user or a command moved them,
    // when the window is normal and has been laid out.
    void remember();
    // Takes split2's position as the user's split, likewise.
    void keepSplit2();
    // Gives the upper area split2's height, as far as the room allows.
    void followSplit2();
    // Writes the five values.
    SaveResult save();

    // The window's height without its menu bar.
    int clientHeight() const;

    int split1 = kDefaultSplit1;
    int split2 = kDefaultSplit2;
    int splitDay = kDefaultSplitDay;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isNormal() const;
    // The first pane of `splitter` gets `kept`, the second the rest down to its minimum.
    void follow(QSplitter *splitter, int kept);

    QMainWindow &m_window;
    SettingsStore &m_settings;
    QSplitter *m_split1 = nullptr;
    QSplitter *m_split2 = nullptr;
    QSplitter *m_splitDay = nullptr;
    QWidget *m_notes = nullptr;
    bool m_laidOut = false;
};
