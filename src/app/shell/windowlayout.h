#pragma once

#include <QtGlobal>

class QMainWindow;
class QSplitter;
class QWidget;
class SettingsStore;
struct SaveResult;

// The main window's size and splitter positions kept between runs: the five layout values
// of the settings ("Split2", "ClientHeight", "ClientWidth", "Split1", "SplitDay"). What is
// kept is what the normal (not maximised) window shows; a kept position that would leave a
// pane without room is not used.
class WindowLayout
{
public:
    static constexpr int kDefaultSplit2 = 296;
    static constexpr int kDefaultClientHeight = 450;
    static constexpr int kDefaultClientWidth = 630;
    static constexpr int kDefaultSplit1 = 314;
    static constexpr int kDefaultSplitDay = 156;

    WindowLayout(QMainWindow &window, SettingsStore &settings);
    // The splitters and the notes pane, once the window has them.
    void setParts(QSplitter *split1, QSplitter *split2, QSplitter *splitDay, QWidget *notes);

    // Reads the values and sizes the window; `minimumWidth` is the smallest it may be.
    void load(int minimumWidth);
    // Puts the kept positions on the splitters (the first showing).
    void apply();
    // Takes the splitters' positions when the window is normal and has been laid out.
    void remember();
    // Writes the five values.
    SaveResult save();

    // The window's height without its menu bar.
    int clientHeight() const;

    int split1 = kDefaultSplit1;
    int split2 = kDefaultSplit2;
    int splitDay = kDefaultSplitDay;

private:
    bool isNormal() const;

    QMainWindow &m_window;
    SettingsStore &m_settings;
    QSplitter *m_split1 = nullptr;
    QSplitter *m_split2 = nullptr;
    QSplitter *m_splitDay = nullptr;
    QWidget *m_notes = nullptr;
    bool m_laidOut = false;
};
