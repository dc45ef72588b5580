#include "settings/settingsstore.h"

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shellopener.h"
#include "settings/autostart.h"
#include "store/datafolder.h"
#include "text/datehelpers.h"
#include "text/texthelpers.h"

#include "store/safefile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QSysInfo>
#include <QVariant>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <signal.h>

// ---------------------------------------------------------------------------------------
// Text forms

namespace settingsvalue {

std::optional<int> parseInteger(QStringView text)
{
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == QLatin1Char('-') || text.front() == QLatin1Char('+'))) {
        negative = text.front() == QLatin1Char('-');
        text = text.mid(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == QLatin1Char('0')
        && (text[1] == QLatin1Char('x') || text[1] == QLatin1Char('X'))) {
        base = 16;
        text = text.mid(2);
    }
    if (text.isEmpty())
        return std::nullopt;

    // One past INT_MAX still fits as a negative number.
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 value = 0;
    for (const QChar c : text) {
        int digit;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digit = c.unicode() - '0';
        else if (base == 16 && c >= QLatin1Char('a') && c <= QLatin1Char('f'))
            digit = c.unicode() - 'a' + 10;
        else if (base == 16 && c >= QLatin1Char('A') && c <= QLatin1Char('F'))
            digit = c.unicode() - 'A' + 10;
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

QString booleanText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

QString integerText(int value)
{
    return QString::number(value);
}

} // namespace settingsvalue

// ---------------------------------------------------------------------------------------
// The store

namespace {

QString settingsKey(const QString &section, const QString &name)
{
    return section.isEmpty() ? name : section + QLatin1Char('/') + name;
}

// QSettings guards its writes with "PATH.lock". A program killed while holding it leaves
// the lock behind, empty or naming a process that is gone, and the next write waits half a
// minute before taking it over. Only this program writes its settings, and only one copy
// runs: a lock no live process of this machine holds is removed at once.
void removeStaleLock(const QString &path)
{
    const QString lockPath = path + QStringLiteral(".lock");
    const FileContent lock = readRegularFile(lockPath);
    if (!lock.ok())
        return;
    const QList<QByteArray> lines = lock.bytes().toByteArray().split('\n');
    bool alive = false;
    if (!lines.isEmpty() && !lines[0].trimmed().isEmpty()) {
        bool isNumber = false;
        const qint64 pid = lines[0].trimmed().toLongLong(&isNumber);
        const QByteArray host = lines.size() > 2 ? lines[2].trimmed() : QByteArray();
        const bool otherHost = !host.isEmpty() && host != QSysInfo::machineHostName().toUtf8();
        alive = !isNumber || pid <= 0 || otherHost || ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
    }
    if (!alive && !QFile::remove(lockPath))
        qCWarning(lcStore).noquote() << "could not remove the stale lock" << lockPath;
}

// Whether the settings file is a device, a FIFO, a folder or a link to one: such a path is
// neither read (it would never end, or block) nor renamed nor written.
bool refusedSettingsPath(const QString &path)
{
    const QFileInfo info(path); // follows a link
    return info.exists() && !info.isFile();
}

// A settings file too large for QSettings to read is moved aside.
QString setAsideUnusable(const QString &path)
{
    const QFileInfo info(path); // follows a link
    if (!info.exists() || info.size() <= kMaxSettingsFileBytes)
        return QString(); // missing: the defaults, and the first save creates it
    const QString reason = QStringLiteral("it holds %1 bytes, far more than any settings file").arg(info.size());
    const QString aside = keepAside(path, QDateTime::currentDateTime());
    const QString problem
        = QStringLiteral("The settings file ") + path + QStringLiteral(" could not be read: ") + reason;
    if (aside.isEmpty())
        return problem
            + QStringLiteral(". The default settings are used; they cannot be saved until it is moved away.");
    return problem + QStringLiteral(". It has been kept as ") + aside
        + QStringLiteral("; the default settings are used.");
}

std::unique_ptr<QSettings> openSettings(const QString &path)
{
    auto settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    // A half-written settings file is worse than a failed save.
    settings->setAtomicSyncRequired(true);
    return settings;
}

} // namespace

SettingsStore::SettingsStore()
{
    // Only to learn where QSettings keeps the user's file; all access goes by path.
    const QSettings user(
        QSettings::IniFormat, QSettings::UserScope, settingskey::kOrganisation, settingskey::kApplication);
    m_path = user.fileName();
    open();
}

SettingsStore::SettingsStore(const QString &filePath)
    : m_path(filePath)
{
    open();
}

void SettingsStore::open()
{
    if (refusedSettingsPath(m_path)) {
        // Not even QSettings' lock file beside it: the values live in memory for this run.
        m_refused = true;
        m_problem = QStringLiteral("The settings file ") + m_path
            + QStringLiteral(" could not be read: it is not a regular file. It is left as it is: the default settings "
                             "are used, and none is saved until it is moved away.");
        return;
    }
    removeStaleLock(m_path);
    m_problem = setAsideUnusable(m_path);
    m_settings = openSettings(m_path);
}

SettingsStore::~SettingsStore() = default;

std::optional<QString> SettingsStore::find(const QString &section, const QString &name) const
{
    if (m_refused) {
        const auto it = m_memory.constFind(settingsKey(section, name));
        return it == m_memory.cend() ? std::nullopt : std::optional<QString>(*it);
    }
    const QVariant value = m_settings->value(settingsKey(section, name));
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QStringList:
        // What QSettings makes of a hand-edited text with a bare comma.
        return value.toStringList().join(QStringLiteral(", "));
    case QMetaType::QByteArray:
        return QString::fromUtf8(value.toByteArray());
    default:
        // Missing, or a value of another type that no text form describes.
        return std::nullopt;
    }
}

QString SettingsStore::readText(const QString &section, const QString &name, const QString &fallback) const
{
    return find(section, name).value_or(fallback);
}

bool SettingsStore::readBool(const QString &section, const QString &name, bool fallback) const
{
    const std::optional<QString> text = find(section, name);
    if (!text)
        return fallback;
    const std::optional<int> number = settingsvalue::parseInteger(*text);
    return number ? *number != 0 : fallback;
}

int SettingsStore::readInt(const QString &section, const QString &name, int fallback) const
{
    const std::optional<QString> text = find(section, name);
    if (!text)
        return fallback;
    return settingsvalue::parseInteger(*text).value_or(fallback);
}

void SettingsStore::writeText(const QString &section, const QString &name, const QString &text)
{
    if (m_refused) {
        m_memory.insert(settingsKey(section, name), text);
        return;
    }
    // Always a QString: QSettings then never stores a list, a number or a variant.
    writable().setValue(settingsKey(section, name), QVariant(text));
}

void SettingsStore::writeBool(const QString &section, const QString &name, bool value)
{
    writeText(section, name, settingsvalue::booleanText(value));
}

void SettingsStore::writeInt(const QString &section, const QString &name, int value)
{
    writeText(section, name, settingsvalue::integerText(value));
}

std::optional<int> SettingsStore::layoutNumber(const QString &name) const
{
    const std::optional<QString> text = layoutValue(name);
    if (!text)
        return std::nullopt;
    return settingsvalue::parseInteger(*text);
}

void SettingsStore::setLayoutValue(const QString &name, int value)
{
    setLayoutValue(name, settingsvalue::integerText(value));
}

QSettings &SettingsStore::writable()
{
    // QSettings keeps an access error for the rest of its life, so after a failed sync a
    // fresh one is needed for the next save to be judged on its own. It shares QSettings'
    // cache of the file, so the values not yet written are still pending in it.
    if (m_reopen) {
        m_settings = openSettings(m_path);
        m_reopen = false;
    }
    return *m_settings;
}

SaveResult SettingsStore::sync()
{
    if (m_refused)
        return SaveResult::failure(m_path, QStringLiteral("it is not a regular file"));
    QSettings &settings = writable();
    settings.sync();
    // A format error only means the old file could not be parsed whole; it is rewritten.
    if (settings.status() != QSettings::AccessError)
        return SaveResult::success(m_path);
    m_reopen = true;
    return SaveResult::failure(m_path, QStringLiteral("the settings file or its folder cannot be written"));
}

// ---------------------------------------------------------------------------------------
// The "Options" table

namespace {

constexpr const char *kNeverSaved = "000";
constexpr const char *kSaved = "first";

// Where a value lives in Options, as a function the table can hold.
template <auto Member> constexpr auto at = [](Options &o) -> auto &
{
    return o.*Member;
};
template <auto Font, auto Member> constexpr auto fontAt = [](Options &o) -> auto &
{
    return (o.*Font).*Member;
};

constexpr OptionField boolean(const char *name, bool &(*access)(Options &), bool fallback)
{
    return OptionField {
        .name = name, .kind = ValueKind::Boolean, .access = access, .defaultNumber = fallback ? 1 : 0
    };
}

constexpr OptionField integer(
    const char *name, int &(*access)(Options &), int fallback, int minimum = 0, int maximum = 0)
{
    return OptionField { .name = name,
        .kind = ValueKind::Integer,
        .access = access,
        .defaultNumber = fallback,
        .minimum = minimum,
        .maximum = maximum };
}

constexpr OptionField color(const char *name, int &(*access)(Options &), int red, int green, int blue)
{
    return OptionField { .name = name,
        .kind = ValueKind::Color,
        .access = access,
        .defaultNumber = colornumber::fromRgb(red, green, blue) };
}

constexpr OptionField text(const char *name, QString &(*access)(Options &), const char *fallback, int maxLength = 0)
{
    return OptionField {
        .name = name, .kind = ValueKind::Text, .access = access, .defaultText = fallback, .maxLength = maxLength
    };
}

constexpr OptionField kOptionFields[] = {
    OptionField { .name = "FirstTime",
        .kind = ValueKind::Text,
        .access = +at<&Options::firstTime>,
        .defaultText = kNeverSaved,
        .savedText = kSaved },
    boolean("Shadows", at<&Options::shadows>, true),
    boolean("Confirm", at<&Options::confirm>, true),
    boolean("DragConfirm", at<&Options::dragConfirm>, true),
    text("Category", at<&Options::category>, "", 20),
    boolean("DoneColor", at<&Options::doneColor>, true),
    boolean("NotDoneColor", at<&Options::notDoneColor>, true),
    boolean("AutoStart", at<&Options::autoStart>, false),
    boolean("qPopup", at<&Options::qPopup>, true),
    color("DoneColorFG", at<&Options::doneColorFG>, 0, 0, 0), // black
    color("DoneColorBG", at<&Options::doneColorBG>, 0, 255, 255), // aqua
    color("NotDoneColorFG", at<&Options::notDoneColorFG>, 255, 255, 255), // white
    color("NotDoneColorBG", at<&Options::notDoneColorBG>, 255, 0, 0), // red
    color("HolidayColorFG", at<&Options::holidayColorFG>, 0, 0, 0), // black
    color("HolidayColorBG", at<&Options::holidayColorBG>, 255, 255, 0), // yellow
    integer("AlarmMin", at<&Options::alarmMin>, 0, 0, 120),
    boolean("StrikeOut", at<&Options::strikeOut>, true),
    OptionField { .name = "AlarmPath",
        .kind = ValueKind::Text,
        .access = +at<&Options::alarmPath>,
        .defaultText = datafile::kAlarmSound,
        .defaultInDataFolder = true },
    boolean("PlayAlarm", at<&Options::playAlarm>, true),
    boolean("RepeatAlarm", at<&Options::repeatAlarm>, true),
    boolean("Sunday", at<&Options::sunday>, true),
    integer("RowHeight", at<&Options::rowHeight>, 16, 8, 50),

    text("CalFontName", fontAt<&Options::calFont, &FontOption::name>, "Ms Sans Serif"),
    integer("CalFontSize", fontAt<&Options::calFont, &FontOption::size>, 8),
    boolean("CalFontBold", fontAt<&Options::calFont, &FontOption::bold>, false),
    boolean("CalFontItalic", fontAt<&Options::calFont, &FontOption::italic>, false),
    boolean("CalFontUnder", fontAt<&Options::calFont, &FontOption::underline>, false),
    boolean("CalFontStrike", fontAt<&Options::calFont, &FontOption::strikeOut>, false),

    text("GridFontName", fontAt<&Options::gridFont, &FontOption::name>, "Ms Sans Serif"),
    integer("GridFontSize", fontAt<&Options::gridFont, &FontOption::size>, 8),
    boolean("GridFontBold", fontAt<&Options::gridFont, &FontOption::bold>, false),
    boolean("GridFontItalic", fontAt<&Options::gridFont, &FontOption::italic>, false),
    boolean("GridFontUnder", fontAt<&Options::gridFont, &FontOption::underline>, false),
    boolean("GridFontStrike", fontAt<&Options::gridFont, &FontOption::strikeOut>, false),

    text("TitleFontName", fontAt<&Options::titleFont, &FontOption::name>, "Times New Roman"),
    integer("TitleFontSize", fontAt<&Options::titleFont, &FontOption::size>, 20),
    boolean("TitleFontBold", fontAt<&Options::titleFont, &FontOption::bold>, false),
    boolean("TitleFontItalic", fontAt<&Options::titleFont, &FontOption::italic>, false),
    boolean("TitleFontUnder", fontAt<&Options::titleFont, &FontOption::underline>, false),
    boolean("TitleFontStrike", fontAt<&Options::titleFont, &FontOption::strikeOut>, false),

    // Beyond the original options: written after them.
    boolean("ShowMissedAlarms", at<&Options::showMissed>, true),
};

template <class... F> struct Overloaded : F...
{
    using F::operator()...;
};
template <class... F> Overloaded(F...) -> Overloaded<F...>; // clang before 17 deduces none for aggregates

// The accessors only hand out references; reading through them changes nothing.
Options &readable(const Options &options)
{
    return const_cast<Options &>(options);
}

} // namespace

int OptionField::clamp(int value) const
{
    return hasRange() ? std::clamp(value, minimum, maximum) : value;
}

QString OptionField::textOf(const Options &options) const
{
    if (savedText)
        return QLatin1String(savedText);
    Options &o = readable(options);
    return std::visit(Overloaded {
                          [&](bool &(*get)(Options &)) { return settingsvalue::booleanText(get(o)); },
                          [&](int &(*get)(Options &)) { return settingsvalue::integerText(get(o)); },
                          [&](QString &(*get)(Options &)) { return get(o); },
                      },
        access);
}

void OptionField::setDefault(Options &options, const QString &dataFolder) const
{
    std::visit(Overloaded {
                   [&](bool &(*get)(Options &)) { get(options) = defaultNumber != 0; },
                   [&](int &(*get)(Options &)) { get(options) = defaultNumber; },
                   [&](QString &(*get)(Options &)) {
                       const QString fallback = QLatin1String(defaultText);
                       get(options) = defaultInDataFolder ? joinPath(dataFolder, fallback) : fallback;
                   },
               },
        access);
}

std::span<const OptionField> optionFields()
{
    return kOptionFields;
}

const OptionField *findOptionField(QAnyStringView name)
{
    for (const OptionField &field : kOptionFields) {
        if (QAnyStringView::equal(name, QLatin1String(field.name)))
            return &field;
    }
    return nullptr;
}

Options::Options(const QString &dataFolder)
{
    for (const OptionField &field : kOptionFields)
        field.setDefault(*this, dataFolder);
}

bool Options::neverSaved() const
{
    return firstTime == QLatin1String(kNeverSaved);
}

void clampOptions(Options &options)
{
    for (const OptionField &field : kOptionFields) {
        if (auto get = std::get_if<int &(*)(Options &)>(&field.access)) {
            int &value = (*get)(options);
            value = field.clamp(value);
        } else if (auto get = std::get_if<QString &(*)(Options &)>(&field.access); get && field.maxLength > 0) {
            QString &value = (*get)(options);
            value.truncate(field.maxLength);
        }
    }
}

Options readOptions(const SettingsStore &store, const QString &dataFolder)
{
    const QString section = settingskey::kOptions;
    Options options(dataFolder);
    for (const OptionField &field : kOptionFields) {
        const QString name = field.key();
        std::visit(Overloaded {
                       [&](bool &(*get)(Options &)) { get(options) = store.readBool(section, name, get(options)); },
                       [&](int &(*get)(Options &)) { get(options) = store.readInt(section, name, get(options)); },
                       [&](QString &(*get)(Options &)) { get(options) = store.readText(section, name, get(options)); },
                   },
            field.access);
    }
    clampOptions(options);
    return options;
}

bool saveOptions(SettingsStore &store, const Options &options, Autostart &autostart, bool runAtLogon, Dialogs &dialogs)
{
    // The Run value first: when it cannot be set, nothing of this save is written.
    if (!autostart.writeAutostart(runAtLogon)) {
        showError(dialogs, QStringLiteral("Failed to set data for '%1'").arg(QLatin1String(autostart::kRunValueName)));
        return false;
    }
    const QString section = settingskey::kOptions;
    for (const OptionField &field : kOptionFields)
        store.writeText(section, field.key(), field.textOf(options));
    const SaveResult result = store.sync();
    if (!result) {
        showError(dialogs, result.message());
        return false;
    }
    return true;
}

bool runAtLogonInitially(const Options &options, const Autostart &autostart)
{
    return options.neverSaved() || autostart.checkAutostart();
}

void takeImmediateOptions(Options &inForce, const Options &controls)
{
    inForce.shadows = controls.shadows;
    inForce.strikeOut = controls.strikeOut;
    inForce.doneColor = controls.doneColor;
    inForce.notDoneColor = controls.notDoneColor;
    inForce.doneColorFG = controls.doneColorFG;
    inForce.doneColorBG = controls.doneColorBG;
    inForce.notDoneColorFG = controls.notDoneColorFG;
    inForce.notDoneColorBG = controls.notDoneColorBG;
    inForce.holidayColorFG = controls.holidayColorFG;
    inForce.holidayColorBG = controls.holidayColorBG;
    inForce.calFont = controls.calFont;
    inForce.gridFont = controls.gridFont;
    inForce.rowHeight = controls.rowHeight;
    inForce.playAlarm = controls.playAlarm;
    inForce.repeatAlarm = controls.repeatAlarm;
    inForce.alarmPath = controls.alarmPath;
    inForce.alarmMin = controls.alarmMin;
    inForce.showMissed = controls.showMissed;
}

Options optionsAfterDialog(const Options &controls, const Options &stored)
{
    Options inForce = controls;
    inForce.shadows = stored.shadows;
    inForce.category = stored.category;
    inForce.confirm = stored.confirm;
    return inForce;
}

void takeChangedOptions(Options &target, const Options &before, const Options &after)
{
    Options &b = readable(before);
    Options &a = readable(after);
    for (const OptionField &field : kOptionFields) {
        std::visit(
            [&](auto get) {
                if (get(b) != get(a))
                    get(target) = get(a);
            },
            field.access);
    }
}

// ---------------------------------------------------------------------------------------
// The small sections

namespace {

// A value of a small section: its name and where it lives; the struct's own initial
// values are the defaults.
template <class S> struct SectionField
{
    const char *name;
    std::variant<bool &(*)(S &), int &(*)(S &), QString &(*)(S &)> access;
};

template <auto Member> constexpr auto in = [](auto &values) -> auto &
{
    return values.*Member;
};

template <class S, std::size_t N>
S readSection(const SettingsStore &store, QLatin1String section, const SectionField<S> (&fields)[N])
{
    S values;
    for (const SectionField<S> &field : fields) {
        const QString name = QLatin1String(field.name);
        std::visit(Overloaded {
                       [&](bool &(*get)(S &)) { get(values) = store.readBool(section, name, get(values)); },
                       [&](int &(*get)(S &)) { get(values) = store.readInt(section, name, get(values)); },
                       [&](QString &(*get)(S &)) { get(values) = store.readText(section, name, get(values)); },
                   },
            field.access);
    }
    return values;
}

template <class S, std::size_t N>
SaveResult writeSection(
    SettingsStore &store, QLatin1String section, const SectionField<S> (&fields)[N], const S &values)
{
    S copy = values;
    for (const SectionField<S> &field : fields) {
        const QString name = QLatin1String(field.name);
        std::visit(Overloaded {
                       [&](bool &(*get)(S &)) { store.writeBool(section, name, get(copy)); },
                       [&](int &(*get)(S &)) { store.writeInt(section, name, get(copy)); },
                       [&](QString &(*get)(S &)) { store.writeText(section, name, get(copy)); },
                   },
            field.access);
    }
    return store.sync();
}

constexpr SectionField<FilterSettings> kFilterFields[] = {
    { "NotDone", in<&FilterSettings::notDone> },
    { "Done", in<&FilterSettings::done> },
};

constexpr SectionField<WebCalSettings> kWebCalFields[] = {
    { "LastFile", in<&WebCalSettings::lastFile> },
    { "Details", in<&WebCalSettings::details> },
};

constexpr SectionField<AlarmRecord> kAlarmFields[] = {
    { "LastCheck", in<&AlarmRecord::lastCheck> },
};

constexpr SectionField<MemorizedLayout> kMemorizeFields[] = {
    { "Done", in<&MemorizedLayout::done> },
    { "Top", in<&MemorizedLayout::top> },
    { "Left", in<&MemorizedLayout::left> },
    { "Height", in<&MemorizedLayout::height> },
    { "Width", in<&MemorizedLayout::width> },
    { "Split1Pos", in<&MemorizedLayout::split1Pos> },
    { "Split2Pos", in<&MemorizedLayout::split2Pos> },
    { "SplitDay", in<&MemorizedLayout::splitDay> },
};

} // namespace

FilterSettings readFilterSettings(const SettingsStore &store)
{
    return readSection(store, settingskey::kFilter, kFilterFields);
}

SaveResult writeFilterSettings(SettingsStore &store, const FilterSettings &filter)
{
    return writeSection(store, settingskey::kFilter, kFilterFields, filter);
}

WebCalSettings readWebCalSettings(const SettingsStore &store)
{
    return readSection(store, settingskey::kWebCal, kWebCalFields);
}

SaveResult writeWebCalSettings(SettingsStore &store, const WebCalSettings &webCal)
{
    return writeSection(store, settingskey::kWebCal, kWebCalFields, webCal);
}

AlarmRecord readAlarmRecord(const SettingsStore &store)
{
    return readSection(store, settingskey::kAlarms, kAlarmFields);
}

SaveResult writeAlarmRecord(SettingsStore &store, const AlarmRecord &record)
{
    return writeSection(store, settingskey::kAlarms, kAlarmFields, record);
}

MemorizedLayout readMemorizedLayout(const SettingsStore &store)
{
    return readSection(store, settingskey::kMemorize, kMemorizeFields);
}

SaveResult writeMemorizedLayout(SettingsStore &store, const MemorizedLayout &layout)
{
    return writeSection(store, settingskey::kMemorize, kMemorizeFields, layout);
}
