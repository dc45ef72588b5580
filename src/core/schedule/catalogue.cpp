#include "catalogue.h"

#include "schedule/holidays.h"
#include "store/celltable.h"
#include "text/regional.h"

#include <algorithm>

namespace catalogue {

namespace {

constexpr const char *kCountries[] = {
    "Australia",
    "Austria",
    "Belgium",
    "Brazil",
    "Canada - English",
    "Canada - French",
    "Denmark",
    "Finland",
    "France",
    "Germany",
    "Ireland",
    "Italy",
    "Japan",
    "Netherlands",
    "New Zealand",
    "Norway",
    "Portugal",
    "South Africa",
    "Spain",
    "Sweden",
    "Switzerland",
    "United Kingdom",
    "United States",
};
constexpr int kCountryCount = int(std::size(kCountries));

// Country by country, in the country list's order. Users know these names and codes as
// they stand, slips included (Finland's 25 December, Spain's "Viernes Santo" in September),
// so they are kept exactly.
constexpr Entry kEntries[] = {
    // Australia
    { 0, "Jan01", "New Year's Day" },
    { 0, "Apr25", "ANZAC Day" },
    { 0, "Jun08", "Queen's Birthday" },
    { 0, "12Oct", "Labour Day" },
    { 0, "Dec26", "Boxing Day" },
    { 0, "Dec25", "Christmas" },
    // Austria
    { 1, "Jan01", "Neujahr" },
    { 1, "Jan06", "Heilige Drei Könige" },
    { 1, "May01", "Staatsfeiertag" },
    { 1, "Aug15", "Mariä Himmelfahrt" },
    { 1, "Oct26", "Nationalfeiertag" },
    { 1, "Nov01", "Allerheiligen" },
    { 1, "Dec08", "Mariä Empfängnis" },
    { 1, "Dec25", "Weihnachtstag" },
    { 1, "Dec26", "Stephanstag" },
    // Belgium
    { 2, "Jan01", "Nieuwjaar/Jour de l'An" },
    { 2, "May01", "Feest va de Arbeid/Fête du Travail" },
    { 2, "Jul11", "Feest Ned. Cultuurgem./Fête Comm. cult. néerl." },
    { 2, "Jul21", "Nationale Feestdag/Fête Nationale" },
    { 2, "Aug15", "O.L.V.-Hemelvaart./Assomption" },
    { 2, "Sep27", "Feest. Franst. Cultuurgem./Fête Comm. cult. franç" },
    { 2, "Nov01", "Allerheiligen/Toussaint" },
    { 2, "Nov11", "Wapenstilstand 1918/Armistice 1918" },
    { 2, "Dec25", "Kerstmis/Noël" },
    // Brazil
    { 3, "Jan01", "Confr. Universal" },
    { 3, "Jan06", "Santos Reis" },
    { 3, "Apr21", "Tiradentes" },
    { 3, "May01", "Festa do Trabalho" },
    { 3, "Jun29", "São Pedro" },
    { 3, "Aug15", "Assunção N. Senhora" },
    { 3, "Sep07", "Indep. do Brasil" },
    { 3, "Oct12", "N. Sra. Aparecida" },
    { 3, "Nov01", "Todos os Santos" },
    { 3, "Nov02", "Finados" },
    { 3, "Nov15", "Procl. da Rep." },
    { 3, "Dec08", "Imaculada Conceição" },
    { 3, "Dec25", "Natal" },
    { 3, "Dec31", "São Silvestre" },
    // Canada - English
    { 4, "Jan01", "New Year's Day" },
    { 4, "32May", "Victoria Day" },
    { 4, "Jul01", "Canada Day" },
    { 4, "12Aug", "Civic Holiday" },
    { 4, "12Sep", "Labour Day" },
    { 4, "Oct12", "Thanksgiving Day" },
    { 4, "Nov11", "Remembrance Day" },
    { 4, "Dec25", "Christmas" },
    { 4, "Dec26", "Boxing Day" },
    // Canada - French
    { 5, "Jan01", "Jour de l'An" },
    { 5, "32May", "Fête de Dollard" },
    { 5, "Jun24", "Fête Nationale des Québecois" },
    { 5, "Jul01", "Jour de la Confédération" },
    { 5, "12Sep", "Fête du Travail" },
    { 5, "Oct12", "Jour d'Action de Grâces" },
    { 5, "Nov11", "Jour du Souvenir" },
    { 5, "Dec25", "Noël" },
    { 5, "Dec26", "Lendemain de Noël" },
    // Denmark
    { 6, "Jan01", "Nytår" },
    { 6, "May01", "1. Maj" },
    { 6, "Jun05", "Grundlovsdag" },
    { 6, "Dec25", "Juledag" },
    { 6, "Dec26", "2. Juledag" },
    // Finland
    { 7, "Jan01", "Uudenvuodenpäivä" },
    { 7, "Jan06", "Loppiainen" },
    { 7, "May01", "Vappu" },
    { 7, "Dec06", "Itsenäisyyspäivä" },
    { 7, "Dec24", "Jouluaato" },
    { 7, "Dec25", "Jouluaato" },
    { 7, "Dec26", "2. joulupäivä" },
    // France
    { 8, "Jan01", "Jour de l'An" },
    { 8, "May01", "Fête du Travail" },
    { 8, "May08", "Armistice 1945" },
    { 8, "Jul14", "Fête Nationale" },
    { 8, "Aug15", "Assomption" },
    { 8, "Nov01", "Toussaint" },
    { 8, "Nov11", "Armistice 1918" },
    { 8, "Dec25", "Noël" },
    // Germany
    { 9, "Jan01", "Neujahr" },
    { 9, "Jan06", "Heilige Drei Könige" },
    { 9, "May01", "Maifeiertag" },
    { 9, "Oct03", "Tag der deutschen Einheit" },
    { 9, "Nov01", "Allerheiligen" },
    { 9, "34Nov", "Buß- und Bettag" },
    { 9, "41Nov", "Totensonntag" },
    { 9, "Dec24", "Heiligabend" },
    { 9, "Dec25", "1. Weihnachtstag" },
    { 9, "Dec26", "2. Weihnachtstag" },
    { 9, "Dec31", "Silvester" },
    // Ireland
    { 10, "Jan01", "New Year's Day" },
    { 10, "Mar17", "St. Patrick's Day" },
    { 10, "12Jun", "June Holiday" },
    { 10, "12Aug", "August Holiday" },
    { 10, "52Oct", "October Holiday" },
    { 10, "Dec24", "Christmas Eve" },
    { 10, "Dec25", "Christmas" },
    { 10, "Dec26", "Boxing Day" },
    { 10, "Dec31", "New Year's Eve" },
    // Italy
    { 11, "Jan01", "Capodanno" },
    { 11, "Jan06", "Epifania" },
    { 11, "Apr25", "Anniv. della Liberazione" },
    { 11, "May01", "Festa del Lavoro" },
    { 11, "Aug15", "Assunzione M.V." },
    { 11, "Nov01", "Ognissanti" },
    { 11, "Dec08", "Immacolata Concezione" },
    { 11, "Dec25", "Natale" },
    { 11, "Dec26", "Santo Stefano" },
    // Japan
    { 12, "Jan01", "New Year's Day" },
    { 12, "Jan15", "Adult's Day" },
    { 12, "Feb11", "Commemoration of the Founding of the Nation" },
    { 12, "Mar20", "Vernal Equinox Day" },
    { 12, "May03", "Constitution Day" },
    { 12, "May04", "Greenary Day" },
    { 12, "May05", "Childrens' Day" },
    { 12, "Sep15", "Respect for the Aged Day" },
    { 12, "Sep23", "Autumnal Equinox Day" },
    { 12, "Oct10", "Health-Sports Day" },
    { 12, "Nov23", "Labour Thanksgiving Day" },
    { 12, "Nov03", "Culture Day" },
    { 12, "Dec23", "The Emperor's Birthday" },
    // Netherlands
    { 13, "Jan01", "Nieuwjaar" },
    { 13, "Apr30", "Koninginnedag" },
    { 13, "May05", "Bevrijdingsdag" },
    { 13, "Dec25", "Kerstmis" },
    { 13, "Dec26", "2de Kerstdag" },
    // New Zealand
    { 14, "Jan01", "New Year's Day" },
    { 14, "Feb06", "Waitangi Day" },
    { 14, "Apr25", "ANZAC Day" },
    { 14, "12Jun", "Queen's Birthday" },
    { 14, "42Oct", "Labour Day" },
    { 14, "Dec25", "Christmas" },
    { 14, "Dec26", "Boxing Day" },
    // Norway
    { 15, "Jan01", "Nyttårsdag" },
    { 15, "May01", "1. mai" },
    { 15, "May17", "17. mai" },
    { 15, "Dec25", "Juledag" },
    { 15, "Dec26", "2. Juledag" },
    // Portugal
    { 16, "Jan01", "Circuncisão" },
    { 16, "Apr25", "Dia da Liberdade" },
    { 16, "May01", "Dia do Trabalho" },
    { 16, "Jun10", "Dia de Portugal" },
    { 16, "Aug15", "Assunção de Nossa Senhora" },
    { 16, "Oct05", "Proclamação da República" },
    { 16, "Nov01", "Todos-os-Santos" },
    { 16, "Dec01", "Restaur. de Independ" },
    { 16, "Dec08", "Imaculada Conceiçao de Nossa Senhora" },
    { 16, "Dec25", "Dia de Natal" },
    // South Africa
    { 17, "Jan01", "New Year's Day" },
    { 17, "Apr06", "Founders' Day" },
    { 17, "May01", "Workers' Day" },
    { 17, "May31", "Republic Day" },
    { 17, "Oct10", "Kruger Day" },
    { 17, "Dec16", "Day of Vow" },
    { 17, "Dec25", "Christmas" },
    { 17, "Dec26", "Day of Goodwill" },
    // Spain
    { 18, "Jan01", "Año Nuevo" },
    { 18, "Jan06", "Epifanía" },
    { 18, "Jan23", "San Ildefonso" },
    { 18, "Feb28", "Día de Andalucía" },
    { 18, "Mar19", "San José" },
    { 18, "Apr02", "Fiesta de la Primavera" },
    { 18, "Apr23", "Día de Aragón/Día de la Comunidad" },
    { 18, "May01", "Fiesta Trabajo" },
    { 18, "May02", "Día de la Comunidad" },
    { 18, "May15", "San Isidro" },
    { 18, "May30", "Día de Canarias" },
    { 18, "May31", "Día de Castilla-La Mancha" },
    { 18, "Jun09", "Día de la Región/Día de la Rioja" },
    { 18, "Jun13", "San Antonio" },
    { 18, "Jul07", "San Fermín" },
    { 18, "Jul25", "Santiago" },
    { 18, "Aug15", "Asunción" },
    { 18, "Aug25", "Batalla de las Flores" },
    { 18, "Sep08", "Día de Asturias/V. de San Lorenzo/V. Guadalupe" },
    { 18, "Sep09", "Sta. María de la Cabeza" },
    { 18, "Sep13", "Viernes Santo" },
    { 18, "Sep21", "San Mateo" },
    { 18, "Sep24", "Sta. Mercedes" },
    { 18, "Oct09", "Día de la Comunidad" },
    { 18, "Oct12", "Hispanidad" },
    { 18, "Oct15", "N. Sra. Bien Aparecida" },
    { 18, "Oct07", "N. Sra. del Rosario" },
    { 18, "Dec08", "Día de la Constitución" },
    { 18, "Dec25", "Navidad" },
    { 18, "Dec26", "San Esteban" },
    // Sweden
    { 19, "Jan01", "Nyårsdagen" },
    { 19, "Jan06", "Trettondagen" },
    { 19, "May01", "Första maj" },
    { 19, "51May", "Mors dag" },
    { 19, "Jun24", "Johannes Döparens dag" },
    { 19, "Oct24", "FN-dagen" },
    { 19, "21Nov", "Fars dag" },
    { 19, "Dec25", "Juldagen" },
    { 19, "Dec26", "Annandag jul" },
    // Switzerland
    { 20, "Jan01", "Nouvel An/Neujahr/Capo d'anno" },
    { 20, "Jan02", "Berchtoldstag" },
    { 20, "Jan06", "Les 3 Rois/Heilige 3 Könige/Epifania" },
    { 20, "Jan24", "Indépendance vaudoise" },
    { 20, "Mar01", "République neuchâteloise" },
    { 20, "Aug01", "Fête Nationale Suisse/Bundesfeier/Festa Federale" },
    { 20, "Aug15", "Assomption de N.D./Mariä Himmelfahrt/Assunzione" },
    { 20, "Dec08", "Imm. Concept. de N.D./Mariä Empfängnis/Immacolata" },
    { 20, "Dec25", "Noël/Weihnachten/Natale" },
    { 20, "Dec26", "St.-Etienne/Stephanstag/Santo Stefano" },
    { 20, "Dec31", "Sylvestre/Silvester/S. Silvestro" },
    // United Kingdom
    { 21, "Jan01", "New Year's Day" },
    { 21, "12May", "May Day" },
    { 21, "52May", "Spring Bank Holiday" },
    { 21, "22Jul", "Public Holiday, Northern Ireland" },
    { 21, "52Aug", "Summer Bank Holiday" },
    { 21, "Dec24", "Christmas Eve" },
    { 21, "Dec25", "Christmas" },
    { 21, "Dec26", "Boxing Day" },
    { 21, "Dec31", "New Year's Eve" },
    // United States
    { 22, "Jan01", "New Year's Day" },
    { 22, "32Jan", "Martin Luther King, Jr." },
    { 22, "Feb02", "Groundhog Day" },
    { 22, "Feb12", "Lincoln's Birthday" },
    { 22, "Feb14", "Valentine's Day" },
    { 22, "32Feb", "President's Day" },
    { 22, "Feb22", "Washington's Birthday" },
    { 22, "Mar17", "St. Patrick's Day" },
    { 22, "Apr01", "April Fool's Day" },
    { 22, "11Apr", "Daylight Savings Time Begins" },
    { 22, "21May", "Mother's Day" },
    { 22, "37May", "Armed Forces Day" },
    { 22, "52May", "Memorial Day (Observed)" },
    { 22, "Jun14", "Flag Day" },
    { 22, "31Jun", "Father's Day" },
    { 22, "Jul04", "Independence Day" },
    { 22, "12Sep", "Labor Day" },
    { 22, "22Oct", "Columbus Day (Observed)" },
    { 22, "51Oct", "Daylight Savings Time Ends" },
    { 22, "Oct31", "Halloween" },
    { 22, "Nov11", "Veterans Day" },
    { 22, "45Nov", "Thanksgiving" },
    { 22, "Dec25", "Christmas" },
    { 22, "Dec31", "New Year's Eve" },
};

constexpr const char *kEnglishMonths[]
    = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
constexpr const char *kEnglishDays[] = { "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat" };
constexpr const char *kShownOrdinals[] = { "1st", "2nd", "3rd", "4th", "Last" };

// The longest name a rule keeps.
constexpr qsizetype kMaxNameLength = 255;

bool sameText(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString ordinalSuffix(int number)
{
    if (number % 100 >= 11 && number % 100 <= 13)
        return QStringLiteral("th");
    switch (number % 10) {
    case 1:
        return QStringLiteral("st");
    case 2:
        return QStringLiteral("nd");
    case 3:
        return QStringLiteral("rd");
    default:
        return QStringLiteral("th");
    }
}

QString shortDayName(int weekday, const RegionalSettings &settings)
{
    if (weekday < 1 || weekday > 7)
        return QString();
    if (settings.shortDayNames.size() >= 7 && !settings.shortDayNames.at(weekday - 1).isEmpty())
        return settings.shortDayNames.at(weekday - 1);
    return QString::fromLatin1(kEnglishDays[weekday - 1]);
}

QString fullMonthName(const QString &text, const RegionalSettings &settings)
{
    const int month = monthOfText(text, settings);
    if (month > 0 && month <= settings.monthNames.size())
        return settings.monthNames.at(month - 1);
    return text;
}

QString fullDayName(const QString &text, const RegionalSettings &settings)
{
    const int weekday = weekdayOfText(text, settings);
    if (weekday > 0 && weekday <= settings.dayNames.size())
        return settings.dayNames.at(weekday - 1);
    return text;
}

QString asciiDigits(QStringView text)
{
    QString digits;
    for (QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    return digits;
}

// Before any holiday file exists the document's table has no headers; the file written
// after an import should have them.
void prepareTable(CellTable &rules)
{
    if (rules.isRowBlank(0))
        holidays::setHeaders(rules);
}

} // namespace

QStringList countries()
{
    QStringList names;
    names.reserve(kCountryCount);
    for (const char *name : kCountries)
        names << QString::fromUtf8(name);
    return names;
}

std::span<const Entry> entries()
{
    return kEntries;
}

std::span<const Entry> entriesOf(int country)
{
    const std::span<const Entry> all = entries();
    const auto first = std::find_if(all.begin(), all.end(), [country](const Entry &e) { return e.country == country; });
    const auto last = std::find_if(first, all.end(), [country](const Entry &e) { return e.country != country; });
    return { first, last };
}

QString displayText(const QString &code, const RegionalSettings &settings)
{
    if (!code.isEmpty() && code.at(0).isDigit()) {
        const int ordinal = code.at(0).digitValue();
        const int weekday = code.size() > 1 ? code.at(1).digitValue() : 0;
        const QString ordinalText
            = ordinal >= 1 && ordinal <= 5 ? QString::fromLatin1(kShownOrdinals[ordinal - 1]) : code.left(1);
        return ordinalText + QLatin1Char(' ') + shortDayName(weekday, settings) + QStringLiteral(" in ") + code.mid(2);
    }
    const QString dayText = code.mid(3);
    bool isNumber = false;
    const int day = dayText.toInt(&isNumber);
    return code.left(3) + QLatin1Char(' ') + (isNumber ? QString::number(day) + ordinalSuffix(day) : dayText);
}

QStringList countryLines(int country, const RegionalSettings &settings)
{
    QStringList lines;
    for (const Entry &entry : entriesOf(country))
        lines << displayText(QLatin1String(entry.code), settings) + QLatin1Char('\t') + QString::fromUtf8(entry.name);
    return lines;
}

int monthOfText(const QString &text, const RegionalSettings &settings)
{
    const QString cut = text.trimmed().left(3);
    if (cut.isEmpty())
        return 0;
    for (int m = 0; m < 12; ++m)
        if (sameText(cut, QLatin1String(kEnglishMonths[m])))
            return m + 1;
    for (int m = 0; m < 12 && m < settings.shortMonthNames.size(); ++m) {
        const QString name = settings.shortMonthNames.at(m).left(3);
        if (!name.isEmpty() && sameText(cut, name))
            return m + 1;
    }
    return 0;
}

int weekdayOfText(const QString &text, const RegionalSettings &settings)
{
    const QString whole = text.trimmed();
    if (whole.isEmpty())
        return 0;
    const qsizetype count = std::min<qsizetype>(settings.shortDayNames.size(), 7);
    // The line holds the regional short name as it stands, so that is tried first.
    for (int d = 0; d < count; ++d)
        if (!settings.shortDayNames.at(d).isEmpty() && sameText(whole, settings.shortDayNames.at(d)))
            return d + 1;
    const QString cut = whole.left(3);
    for (int d = 0; d < count; ++d) {
        const QString name = settings.shortDayNames.at(d).left(3);
        if (!name.isEmpty() && sameText(cut, name))
            return d + 1;
    }
    for (int d = 0; d < 7; ++d)
        if (sameText(cut, QLatin1String(kEnglishDays[d])))
            return d + 1;
    return 0;
}

bool addToGrid(CellTable &rules, const QString &line, const RegionalSettings &settings)
{
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    if (tab < 0)
        return false;
    const QString shown = line.left(tab);
    QString name = line.mid(tab + 1).left(kMaxNameLength);
    if (!name.isEmpty() && name.back().isHighSurrogate())
        name.chop(1);
    const qsizetype space = shown.indexOf(QLatin1Char(' '));

    QString monthText;
    QString dayRule;
    const bool floating = shown.startsWith(QLatin1Char('1')) || shown.startsWith(QLatin1Char('2'))
        || shown.startsWith(QLatin1Char('3')) || shown.startsWith(QLatin1Char('4'))
        || shown.startsWith(QLatin1String("Last"));
    if (floating) {
        const QString head = shown.left(4).toLower();
        QString ordinal;
        if (head.contains(QLatin1String("1st")))
            ordinal = QStringLiteral("First");
        else if (head.contains(QLatin1String("2nd")))
            ordinal = QStringLiteral("Second");
        else if (head.contains(QLatin1String("3rd")))
            ordinal = QStringLiteral("Third");
        else if (head.contains(QLatin1String("4th")))
            ordinal = QStringLiteral("Fourth");
        else if (head.contains(QLatin1String("last")))
            ordinal = QStringLiteral("Last");
        // The weekday is the word up to " in ", so a regional short name of any length
        // ("Mo.", "tors", a single letter) reads back.
        const qsizetype in = space < 0 ? -1 : shown.indexOf(QLatin1String(" in "), space);
        QString weekday;
        if (space >= 0)
            weekday = (in >= 0 ? shown.mid(space + 1, in - space - 1) : shown.mid(space + 1, 3)).trimmed();
        if (in >= 0)
            monthText = fullMonthName(shown.mid(in + 4, 3), settings);
        dayRule = ordinal + QStringLiteral(" : ") + fullDayName(weekday, settings);
    } else {
        monthText = fullMonthName(shown.left(3), settings);
        if (space >= 0)
            dayRule = asciiDigits(QStringView(shown).mid(space + 1));
    }

    prepareTable(rules);
    rules.insertBlankRows(1, 1);
    holidays::setRule(rules, 1, name, monthText, dayRule, settings);
    return true;
}

} // namespace catalogue
