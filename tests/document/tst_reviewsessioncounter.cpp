#include "document/reviewsessioncounter.h"
#include "platform/inmemorykeyvaluestore.h"

#include <QTest>

#include <chrono>
#include <limits>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString key = u"reviewCompletedSessions"_s;

struct Fixture
{
    InMemoryKeyValueStore store;
    std::chrono::steady_clock::time_point now{};
    ReviewSessionCounter counter{store, [this] { return now; }};
};

} // namespace

class TestReviewSessionCounter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void countsLongEnoughSessions_data();
    void countsLongEnoughSessions();
    void endingTwiceCountsOnce();
    void laterStartReplacesTheEarlierOne();
};

void TestReviewSessionCounter::countsLongEnoughSessions_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("durationMs");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("19.9 s") << QVariant() << 19'900 << qint64(0);
    QTest::newRow("20.0 s") << QVariant() << 20'000 << qint64(1);
    QTest::newRow("after earlier sessions") << QVariant(4) << 60'000 << qint64(5);
    // An INI file hands numbers back as text.
    QTest::newRow("stored as text") << QVariant(u"2"_s) << 20'000 << qint64(3);
    QTest::newRow("unusable value") << QVariant(u"many"_s) << 20'000 << qint64(1);
    QTest::newRow("past 32 bits") << QVariant(u"2147483647"_s) << 20'000 << qint64(2147483648);
    constexpr qint64 largest = std::numeric_limits<qint64>::max();
    QTest::newRow("at the largest count") << QVariant(largest) << 20'000 << largest;
}

void TestReviewSessionCounter::countsLongEnoughSessions()
{
    QFETCH(QVariant, stored);
    QFETCH(int, durationMs);
    Fixture f;
    if (stored.isValid())
        f.store.setValue(key, stored);
    f.counter.markSessionStart();
    f.now += std::chrono::milliseconds(durationMs);
    f.counter.recordReviewSession();
    QTEST(f.counter.completedSessions(), "expected");
    QVERIFY(!f.counter.sessionStart());
}

void TestReviewSessionCounter::endingTwiceCountsOnce()
{
    Fixture f;
    f.counter.markSessionStart();
    f.now += 30s;
    f.counter.recordReviewSession();
    f.now += 30s;
    f.counter.recordReviewSession();
    QCOMPARE(f.store.value(key).toInt(), 1);
    QCOMPARE(f.store.writeCount(key), 1);
}

void TestReviewSessionCounter::laterStartReplacesTheEarlierOne()
{
    Fixture f;
    f.counter.markSessionStart();
    f.now += 15s;
    f.counter.markSessionStart();
    f.now += 15s;
    f.counter.recordReviewSession();
    QCOMPARE(f.counter.completedSessions(), 0);
    QVERIFY(!f.store.contains(key));
}

QTEST_GUILESS_MAIN(TestReviewSessionCounter)
#include "tst_reviewsessioncounter.moc"
