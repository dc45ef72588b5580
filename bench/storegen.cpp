#include "storegen.h"

#include "store/taskstore.h"

#include <QStringList>

#include <algorithm>
#include <random>

namespace {

constexpr qint64 kFirstDay = 36526; // 1 January 2000
constexpr qint64 kTwentyYears = 7305;

const char *const kVerbs[] = { "Call", "Email", "Buy", "Pick up", "Meet", "Book", "Pay", "Renew", "Fix", "Plan",
    "Review", "Send", "Return", "Collect", "Visit", "Check" };
const char *const kObjects[]
    = { "Ann", "the dentist", "paint for the hall", "the car insurance", "the quarterly report", "flowers for Mum",
          "the gas bill", "library books", "the plumber", "train tickets to Leeds", "the school trip form",
          "the garden shed roof", "Bob about the budget", "passport photos", "the vet", "birthday present for Sam" };
const char *const kNotes[] = { "before 5", "ask about the discount", "bring the receipt", "second floor, room 214",
    "use the blue folder", "remember the code 4471" };
const char *const kCategories[] = { "", "Home", "Work", "Family", "Health", "Money", "Car", "Garden" };
const char *const kTimes[] = { "7:30 AM", "8:00 AM", "9:00 AM", "9:30 AM", "10:15 AM", "11:00 AM", "12:00 PM",
    "1:30 PM", "2:00 PM", "3:45 PM", "5:00 PM", "6:30 PM", "8:00 PM" };

template <typename T, size_t N> const T &pick(const T (&items)[N], std::mt19937 &random)
{
    return items[std::uniform_int_distribution<size_t>(0, N - 1)(random)];
}

} // namespace

qint64 generatedFirstDay()
{
    return kFirstDay;
}

CellTable generateStore(int tasks, unsigned seed)
{
    std::mt19937 random(seed);
    // Spread the tasks over at least twenty years at 3.5 a day on the days that have any.
    const qint64 span = std::max<qint64>(kTwentyYears, qint64(tasks / 3.5) + 1);
    const double busy = std::min(1.0, tasks / 3.5 / double(span));
    std::bernoulli_distribution hasTasks(busy);
    std::uniform_int_distribution<int> perDay(1, 6);
    std::bernoulli_distribution multiLine(0.1);
    std::bernoulli_distribution flag(0.3);

    CellTable store = store::newStore();
    store.setRowCount(tasks + 1);
    int row = 1;
    for (qint64 day = kFirstDay; row <= tasks; ++day) {
        if (!hasTasks(random) && day < kFirstDay + span)
            continue;
        QStringList times;
        const int count = std::min(perDay(random), tasks - row + 1);
        for (int i = 0; i < count; ++i)
            times << QString::fromLatin1(pick(kTimes, random));
        std::sort(times.begin(), times.end());
        for (int i = 0; i < count; ++i, ++row) {
            QString what = QString::fromLatin1(pick(kVerbs, random)) + QLatin1Char(' ')
                + QString::fromLatin1(pick(kObjects, random));
            if (multiLine(random))
                what += QStringLiteral("\r\n") + QString::fromLatin1(pick(kNotes, random)) + QStringLiteral("\r\n");
            store.setCell(store::Key, row, store::makeKey(day, store::kFirstListSequence + i));
            store.setCell(store::Time, row, times[i]);
            store.setCell(store::Category, row, QString::fromLatin1(pick(kCategories, random)));
            store.setCell(store::What, row, what);
            store.setCell(store::Done, row, flag(random) ? QStringLiteral("Yes") : QStringLiteral("No"));
            store.setCell(store::Alarm, row, flag(random) ? QStringLiteral("Yes") : QStringLiteral("No"));
        }
    }
    store::compactAndSort(store);
    return store;
}
