#pragma once

#include <QAnyStringView>
#include <QHash>
#include <QLatin1String>
#include <QString>

#include <memory>
#include <optional>
#include <span>
#include <variant>

#include "platform/fontdialogs.h"
#include "store/safefile.h"

class Autostart;
class Dialogs;
class QSettings;

namespace settingskey {
inline constexpr QLatin1String kOrganisation { "Veltrane Corporation" };
inline constexpr QLatin1String kApplication { "Task" };
inline constexpr QLatin1String kOptions { "Options" };
inline constexpr QLatin1String kFilter { "Filter" };
inline constexpr QLatin1String kMemorize { "Memorize" };
inline constexpr QLatin1String kWebCal { "WebCal" };
inline constexpr QLatin1String kAlarms { "Alarms" };
} // namespace settingskey

// The text forms every stored value takes.
namespace settingsvalue {
// Decimal, or hexadecimal after "0x"/"0X", with an optional sign and surrounding spaces;
// nothing for any other text or a number outside the int range.
std::optional<int> parseInteger(QStringView text);
QString booleanText(bool value); // "1" or "0"
QString integerText(int value); // decimal
} // namespace settingsvalue

// Colours are kept as the number 0x00BBGGRR (red in the low byte, blue in bits 16 to 23).
namespace colornumber {
constexpr int fromRgb(int red, int green, int blue)
{
    return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}
constexpr int red(int number)
{
    return number & 0xFF;
}
constexpr int green(int number)
{
    return (number >> 8) & 0xFF;
}
constexpr int blue(int number)
{
    return (number >> 16) & 0xFF;
}
} // namespace colornumber

// The per-user settings: one INI file, "$XDG_CONFIG_HOME/Veltrane Corporation/Task.ini".
// Sections are INI groups; the window layout values stand outside any section. Every value
// is written as text, and reading never reports anything: a missing or unreadable value
// gives the caller's fallback.
constexpr qint64 kMaxSettingsFileBytes = 4 << 20;

class SettingsStore
{
public:
    SettingsStore();
    explicit SettingsStore(const QString &filePath);
    virtual ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    QString filePath() const { return m_path; }
    // What was wrong with the file when the store was opened, for the user; empty when
    // nothing was. A file far too large is moved aside unread, and a lock left by a killed
    // program is removed. A path that is not a regular file or a link to one (a device, a
    // FIFO, a folder) is neither read, moved nor written: the values then live in memory
    // and every sync fails, naming it.
    QString problem() const { return m_problem; }

    // The stored text, or nothing when the value is missing (or not a text at all).
    // An empty section means the top level.
    std::optional<QString> find(const QString &section, const QString &name) const;

    QString readText(const QString &section, const QString &name, const QString &fallback) const;
    // Read as an integer; any integer but 0 is true.
    bool readBool(const QString &section, const QString &name, bool fallback) const;
    // Also reads a colour number.
    int readInt(const QString &section, const QString &name, int fallback) const;

    // Every write goes through here, as text.
    virtual void writeText(const QString &section, const QString &name, const QString &text);
    void writeBool(const QString &section, const QString &name, bool value);
    // Also writes a colour number.
    void writeInt(const QString &section, const QString &name, int value);

    // The window layout values ("Split2", "ClientHeight", ...), kept outside any section.
    std::optional<QString> layoutValue(const QString &name) const { return find(QString(), name); }
    // Nothing when missing or not an integer.
    std::optional<int> layoutNumber(const QString &name) const;
    void setLayoutValue(const QString &name, const QString &text) { writeText(QString(), name, text); }
    void setLayoutValue(const QString &name, int value);

    // Writes pending changes to the file. A failure names the file; the values stay
    // pending and the next sync tries again.
    SaveResult sync();

private:
    void open();
    QSettings &writable();

    std::unique_ptr<QSettings> m_settings;
    QString m_path;
    QString m_problem;
    bool m_reopen = false;
    bool m_refused = false;
    QHash<QString, QString> m_memory; // the values while the path is refused
};

// The "Options" section, typed. A new value gets every default of optionFields().
struct Options
{
    explicit Options(const QString &dataFolder);

    QString firstTime;
    bool shadows = false;
    bool confirm = false;
    bool dragConfirm = false;
    QString category;
    bool doneColor = false;
    bool notDoneColor = false;
    bool autoStart = false;
    bool qPopup = false;
    // Colour numbers (see colornumber).
    int doneColorFG = 0;
    int doneColorBG = 0;
    int notDoneColorFG = 0;
    int notDoneColorBG = 0;
    int holidayColorFG = 0;
    int holidayColorBG = 0;
    int alarmMin = 0;
    bool strikeOut = false;
    QString alarmPath;
    bool playAlarm = false;
    bool repeatAlarm = false;
    bool sunday = false;
    int rowHeight = 0;
    bool showMissed = false; // list the alarms that passed while the program was not looking
    FontOption calFont;
    FontOption gridFont;
    FontOption titleFont;

    // True until the options have been saved once.
    bool neverSaved() const;

    bool operator==(const Options &) const = default;
};

enum class ValueKind { Boolean, Integer, Color, Text };

// One "Options" value: its name, where it lives in Options, and its default.
struct OptionField
{
    using Access = std::variant<bool &(*)(Options &), int &(*)(Options &), QString &(*)(Options &)>;

    const char *name;
    ValueKind kind;
    Access access;
    int defaultNumber = 0; // booleans (0 or 1), integers, colours (0x00BBGGRR)
    const char *defaultText = ""; // texts
    bool defaultInDataFolder = false; // the default text names a file of the data folder
    int minimum = 0; // integers with a range in the options dialog
    int maximum = 0; // minimum == maximum: no range
    int maxLength = 0; // texts: the longest the dialog takes; 0 for no limit
    const char *savedText = nullptr; // written instead of the value, when set

    QString key() const { return QLatin1String(name); }
    bool hasRange() const { return minimum != maximum; }
    int clamp(int value) const;
    // The text a save writes for this value of `options`.
    QString textOf(const Options &options) const;
    // Sets this value of `options` to its default.
    void setDefault(Options &options, const QString &dataFolder) const;
};

// Every "Options" value, in the order a save writes them.
std::span<const OptionField> optionFields();
const OptionField *findOptionField(QAnyStringView name);

// Brings the integers into the options dialog's ranges ("RowHeight" 8 to 50, "AlarmMin"
// 0 to 120) and cuts texts to the length its boxes take ("Category" 20 characters).
void clampOptions(Options &options);

// Reads the "Options" section; missing or unreadable values take their defaults, and the
// result is clamped as the options dialog would show it.
Options readOptions(const SettingsStore &store, const QString &dataFolder);

// Writes the Run value (the autostart entry) and then every "Options" value in table
// order, "FirstTime" as "first". When the Run value cannot be written, "Failed to set data
// for 'Tallyday'" is shown and no option is written; a settings file that cannot be
// written is shown as an error naming it. True when everything was saved.
bool saveOptions(SettingsStore &store, const Options &options, Autostart &autostart, bool runAtLogon, Dialogs &dialogs);

// Whether the options dialog's "start at log-on" box starts ticked: always before the
// first save, afterwards when the Run value is present.
bool runAtLogonInitially(const Options &options, const Autostart &autostart);

// When the options dialog's changes take effect.
//
// While the dialog is open, the headings, the calendars, the lists and the alarm check
// already follow its shadow, colour, strike-out, calendar and list font, row height and
// alarm controls: those are copied from `controls` into `inForce`. The rest waits for the
// dialog to close.
void takeImmediateOptions(Options &inForce, const Options &controls);
// In force after the dialog closes, by OK or by Cancel: its controls, except for the
// headings' shadows, the default category and the delete confirmation, which the main window
// takes from the settings after every close; so after Cancel those three are the stored
// ones while the dialog's controls still show the user's change.
Options optionsAfterDialog(const Options &controls, const Options &stored);
// Copies into `target` every value that differs between `before` and `after`: the dialog's
// controls take up what another command changed while it was closed.
void takeChangedOptions(Options &target, const Options &before, const Options &after);

// The "Filter" section.
struct FilterSettings
{
    bool notDone = true;
    bool done = true;
};
FilterSettings readFilterSettings(const SettingsStore &store);
SaveResult writeFilterSettings(SettingsStore &store, const FilterSettings &filter);

// The "WebCal" section.
struct WebCalSettings
{
    QString lastFile;
    bool details = true;
};
WebCalSettings readWebCalSettings(const SettingsStore &store);
SaveResult writeWebCalSettings(SettingsStore &store, const WebCalSettings &webCal);

// The "Alarms" section: when the alarms were last looked at, so the next start can list the
// ones that fell due in between. ISO 8601 local time; empty before the first check.
struct AlarmRecord
{
    QString lastCheck;
};
AlarmRecord readAlarmRecord(const SettingsStore &store);
SaveResult writeAlarmRecord(SettingsStore &store, const AlarmRecord &record);

// The "Memorize" section: a window layout the user memorised. Its "SplitDay" is not the
// top-level layout value of the same name.
struct MemorizedLayout
{
    bool done = false;
    int top = 10;
    int left = 10;
    int height = 400;
    int width = 600;
    int split1Pos = 250;
    int split2Pos = 250;
    int splitDay = 100;
};
MemorizedLayout readMemorizedLayout(const SettingsStore &store);
SaveResult writeMemorizedLayout(SettingsStore &store, const MemorizedLayout &layout);
