#include "editor/model/slashcommands.h"
#include "settings/notchsettings.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QStringList triggers(const QList<SlashCommand> &commands)
{
    QStringList found;
    for (const SlashCommand &command : commands)
        found.append(command.trigger);
    return found;
}

} // namespace

class TestSlashCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { NotchSettings::shared().setAppLanguage(u"es"_s); }

    void filter_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty: all") << QString() << triggers(allSlashCommands());
        QTest::newRow("trigger or label") << u"pa"_s << QStringList{u"pause"_s, u"break"_s};
        QTest::newRow("folded labels") << u"en"_s << QStringList{u"slow"_s, u"emphasis"_s};
        QTest::newRow("one letter")
            << u"p"_s << QStringList{u"bullet"_s, u"list"_s,  u"pause"_s,    u"stop"_s, u"fast"_s,
                                     u"breath"_s, u"break"_s, u"audience"_s, u"wait"_s, u"ask"_s};
        QTest::newRow("accented query") << u"e\u0301nfa"_s << QStringList{u"emphasis"_s};
        QTest::newRow("no match") << u"xyz"_s << QStringList{};
        QTest::newRow("pattern characters are literal") << u".*[(\\"_s << QStringList{};
    }

    void filter()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, expected);
        QCOMPARE(triggers(filteredSlashCommands(query)), expected);
    }

    void tableFollowsTheLanguage()
    {
        const QList<SlashCommand> spanish = allSlashCommands();
        QCOMPARE(spanish.size(), 15);
        QCOMPARE(spanish[2].insertion, u"[Pausa]"_s);
        QCOMPARE(spanish[11].insertion, u"── ── ── ── ──"_s);
        NotchSettings::shared().setAppLanguage(u"en"_s);
        const QList<SlashCommand> english = allSlashCommands();
        const QString category = slashCommandCategoryTitle(SlashCommandCategory::audience);
        NotchSettings::shared().setAppLanguage(u"es"_s);
        QCOMPARE(english[2].label, u"Pause"_s);
        QCOMPARE(english[5].insertion, u"[+ Slow]"_s);
        QCOMPARE(english[0].insertion, u"• "_s);
        QCOMPARE(category, u"Audience"_s);
        QCOMPARE(allSlashCommands()[2].label, u"Pausa"_s);
    }

    void query_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("query"); // null: no query
        QTest::addColumn<int>("start");
        const QString word(500'000, u'a');
        QTest::newRow("at offset 0") << u"/"_s << 1 << u""_s << 0;
        QTest::newRow("after a space") << u"a /Pa"_s << 5 << u"pa"_s << 2;
        QTest::newRow("at a line start") << u"x\n/li"_s << 5 << u"li"_s << 2;
        QTest::newRow("caret inside the query") << u"/pause"_s << 3 << u"pa"_s << 0;
        QTest::newRow("inside a word") << u"a/"_s << 2 << QString() << 0;
        QTest::newRow("after an emoji") << u"😀/"_s << 3 << QString() << 0;
        QTest::newRow("after an emoji and a space") << u"😀 /"_s << 4 << u""_s << 3;
        QTest::newRow("space in the query") << u"/pa x"_s << 5 << QString() << 0;
        QTest::newRow("empty page") << QString() << 0 << QString() << 0;
        QTest::newRow("caret past the end") << u"/"_s << 2 << QString() << 0;
        QTest::newRow("end of a long word")
            << word + u'/' << int(word.size()) + 1 << QString() << 0;
        QTest::newRow("after a long word")
            << word + u" /" << int(word.size()) + 2 << u""_s << int(word.size()) + 1;
        QTest::newRow("longer than any command") << u"/"_s + QString(slashQueryLookBehind(), u'p')
                                                 << slashQueryLookBehind() + 1 << QString() << 0;
    }

    void query()
    {
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(QString, query);
        QFETCH(int, start);
        const std::optional<SlashQuery> found = slashQuery(text, caret);
        QCOMPARE(found.has_value(), !query.isNull());
        if (!found)
            return;
        QCOMPARE(found->query, query);
        QCOMPARE(found->start, start);
        QCOMPARE(found->length, caret - start);
    }

    void panelHeight()
    {
        QCOMPARE(slashPanelHeight(allSlashCommands()), 300);
        QCOMPARE(slashPanelHeight(filteredSlashCommands(u"pa"_s)), 120);
        QCOMPARE(slashPanelHeight(filteredSlashCommands(u"pause"_s)), 68);
        QCOMPARE(slashPanelHeight({}), 44);
    }

    void position_data()
    {
        QTest::addColumn<QRect>("caret");
        QTest::addColumn<std::optional<QRect>>("available");
        QTest::addColumn<QPoint>("expected");
        const std::optional<QRect> screen = QRect(0, 30, 1280, 770); // a 30-high top bar
        QTest::newRow("below") << QRect(100, 200, 1, 20) << screen << QPoint(100, 224);
        QTest::newRow("bottom edge: above") << QRect(100, 700, 1, 20) << screen << QPoint(100, 576);
        QTest::newRow("right edge") << QRect(1200, 200, 1, 20) << screen << QPoint(1022, 224);
        QTest::newRow("left edge") << QRect(-40, 200, 1, 20) << screen << QPoint(0, 224);
        QTest::newRow("top edge") << QRect(100, 10, 1, 20) << screen << QPoint(100, 34);
        QTest::newRow("shorter than the palette")
            << QRect(100, 40, 1, 20) << std::optional<QRect>(QRect(0, 30, 400, 100))
            << QPoint(100, 30);
        QTest::newRow("second screen")
            << QRect(2500, 950, 1, 20) << std::optional<QRect>(QRect(1280, 0, 1280, 1024))
            << QPoint(2302, 826);
        QTest::newRow("no screen")
            << QRect(1400, 880, 1, 20) << std::optional<QRect>() << QPoint(1182, 756);
    }

    void position()
    {
        QFETCH(QRect, caret);
        QFETCH(std::optional<QRect>, available);
        QFETCH(QPoint, expected);
        QCOMPARE(slashPanelPosition(caret, QSize(250, 120), available), expected);
    }
};

QTEST_GUILESS_MAIN(TestSlashCommands)

#include "tst_slashcommands.moc"
