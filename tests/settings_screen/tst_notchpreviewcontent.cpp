// The preview's mock drawn offscreen: its forms, what it claims about capture, the cue colour it
// keeps in step, its duplicate button, and the blurred strokes it renders only when the size
// changes.

#include "common/fakecaptureshield.h"
#include "common/overlayfakes.h"
#include "overlay/cursorkeyhintfooter.h"
#include "overlay/elapsedtimeview.h"
#include "platform/inmemorykeyvaluestore.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "settings/presets.h"
#include "settings_screen/notchpreviewcontent.h"
#include "settings_screen/notchpreviewcontroller.h"
#include "uikit/circleglyphbutton.h"

#include <QTest>

namespace {

bool isAccent(QRgb pixel)
{
    return qAlpha(pixel) > 0 && qRed(pixel) < 90 && qGreen(pixel) > 110 && qBlue(pixel) > 90;
}

int accentPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += isAccent(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
}

struct Preview
{
    explicit Preview(bool shieldSupported = true, bool forcePinned = false, OverlayMode mode = {})
        : shield(shieldSupported)
    {
        settings.setOverlayMode(mode);
        NotchPreviewContent::Options options;
        options.settings = &settings;
        options.captureShield = &shield;
        options.menuBarHeight = 30;
        options.showStickyHint = true;
        options.forcePinned = forcePinned;
        options.onDuplicate = [this] { ++duplicates; };
        options.dismissNotifier = &notifier;
        content = std::make_unique<NotchPreviewContent>(options);
        content->resize(500, 470);
    }

    // Shown, grown and with its text in.
    bool settle()
    {
        content->show();
        if (!QTest::qWaitFor([this] { return content->isContentVisible(); }, 2000))
            return false;
        content->finishAnimations();
        return true;
    }

    QImage image() const { return content->grab().toImage(); }

    InMemoryKeyValueStore store;
    FakeCaptureShield shield;
    NotchSettings settings{store, shield, u"es"_qs};
    FakeScreens screens;
    NotchPreviewController notifier{screens, shield};
    std::unique_ptr<NotchPreviewContent> content;
    int duplicates = 0;
};

} // namespace

class TestNotchPreviewContent : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { NotchSettings::shared().setAppLanguage(u"es"_qs); }

    void growsInThenShrinksOnTheAnnouncement()
    {
        Preview preview;
        preview.content->show();
        QCOMPARE(preview.content->mockSize(), QSizeF(200, 37));
        QVERIFY(!preview.content->isContentVisible());
        QVERIFY(preview.settle());
        // Pinned: the notch spans the top strip and the text area, centred at the top.
        QCOMPARE(preview.content->mockRect(), QRectF(80, 0, 340, 30 + 160));
        QCOMPARE(preview.content->outlinePath().boundingRect(), preview.content->mockRect());

        Q_EMIT preview.notifier.notchPreviewWillDismiss();
        QVERIFY(!preview.content->isContentVisible());
        QTRY_COMPARE_WITH_TIMEOUT(preview.content->mockSize(), QSizeF(200, 37), 1000);
    }

    // The outline and the eye badge tell the truth about capture, and so does the sentence.
    void invisibilityOnlyWhereItHolds()
    {
        Preview shielded(true);
        QVERIFY(shielded.settle());
        QVERIFY(accentPixels(shielded.image()) > 300);
        QVERIFY(shielded.content->sampleText().startsWith(
            u"Solo vos podés ver esta ventana cuando compartís pantalla."_qs));
        QCOMPARE(shielded.content->stickyHint(), u"Podés crear hasta 4 notas sticky invisibles"_qs);
        shielded.settings.setHideFromScreenShare(false);
        QTRY_COMPARE_WITH_TIMEOUT(accentPixels(shielded.image()), 0, 1000);

        Preview exposed(false);
        QVERIFY(exposed.settle());
        QVERIFY(exposed.settings.hideFromScreenShare());
        QCOMPARE(accentPixels(exposed.image()), 0);
        const QString text = exposed.content->sampleText();
        QVERIFY(text.startsWith(u"Esta ventana también se ve cuando compartís pantalla. Acá"_qs));
        QVERIFY(!text.contains(u"Solo vos"_qs) && !text.contains(u"invisible"_qs));
        QCOMPARE(exposed.content->stickyHint(), u"Podés crear hasta 4 notas sticky"_qs);
        NotchSettings::shared().setAppLanguage(u"en"_qs);
        const QString english = exposed.content->sampleText();
        const QString englishHint = exposed.content->stickyHint();
        NotchSettings::shared().setAppLanguage(u"es"_qs);
        QVERIFY(english.startsWith(u"This window also shows when you share your screen. Here"_qs));
        QVERIFY(english.endsWith(u"the width and height of the window."_qs));
        QCOMPARE(englishHint, u"You can create up to 4 sticky notes"_qs);
    }

    void keepsTheCueColourWithTheText()
    {
        Preview preview;
        preview.settings.setCueBrightness(CueBrightness::bright);
        QVERIFY(preview.settings.cueColor() != preview.settings.highlightColor());
        preview.content->show();
        QCOMPARE(preview.settings.cueColor(), preview.settings.highlightColor());
        QCOMPARE(preview.settings.cueBrightness(), CueBrightness::medium);
        preview.settings.setHighlightColor(QColor(255, 200, 0));
        QCOMPARE(preview.settings.cueColor(), QColor(255, 200, 0));
    }

    void stickyFormAndItsButton()
    {
        Preview floating(true, false, OverlayMode::floating);
        QVERIFY(floating.settle());
        QCOMPARE(floating.content->offsetPhase(), 1.0);
        QCOMPARE(floating.content->mockRect(), QRectF(80, 60, 340, 14 + 160));
        // The text starts below the hint (18 below the card's top, 14 high).
        QVERIFY(floating.content->contentRect().top() >= 60 + 18 + 14);
        auto *button = floating.content->findChild<CircleGlyphButton *>();
        QVERIFY(button && button->isVisible());
        QCOMPARE(button->toolTip(), u"Duplicar ventana"_qs);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        QCOMPARE(floating.duplicates, 1);
        // Glass shows the material through the card; without it the card is black.
        const QPoint inside(100, 150);
        QCOMPARE(floating.image().pixelColor(inside), QColor(Qt::black));
        floating.settings.setGlassEffect(true);
        QVERIFY(floating.image().pixelColor(inside) != QColor(Qt::black));

        // Back to pinned, and a change of mind within the delay: the last choice wins.
        floating.settings.setOverlayMode(OverlayMode::pinned);
        QTest::qWait(100);
        floating.settings.setOverlayMode(OverlayMode::cursor);
        QTest::qWait(100);
        floating.settings.setOverlayMode(OverlayMode::pinned);
        QTRY_VERIFY_WITH_TIMEOUT(
            floating.content->offsetPhase() == 0 && floating.content->cornerPhase() == 0, 2000);
        QTest::qWait(400);
        QCOMPARE(floating.content->offsetPhase(), 0.0);
        QVERIFY(!button->isVisible());

        Preview pinnedOnly(true, true, OverlayMode::floating);
        QVERIFY(pinnedOnly.settle());
        QCOMPARE(pinnedOnly.content->offsetPhase(), 0.0);
        QVERIFY(!pinnedOnly.content->findChild<CircleGlyphButton *>()->isVisible());
        pinnedOnly.settings.setOverlayMode(OverlayMode::cursor);
        QTest::qWait(400);
        QCOMPARE(pinnedOnly.content->offsetPhase(), 0.0);
        QCOMPARE(pinnedOnly.content->cornerPhase(), 0.0);
        QCOMPARE(pinnedOnly.content->contentRect().top(), 30.0);

        Preview cursor(true, false, OverlayMode::cursor);
        QVERIFY(cursor.settle());
        auto *footer = cursor.content->findChild<CursorKeyHintFooter *>();
        QVERIFY(footer && footer->isVisible());
        QVERIFY(footer->geometry().bottom() < cursor.content->contentRect().top());
        QVERIFY(!QRectF(footer->geometry()).intersects(cursor.content->badgeRect()));
    }

    // The card's border reaches 5.5 points in (its soft stroke set 3 in, 5 wide); the clock
    // stays inside it and clear of the badge, the duplicate button and the row under them.
    void elapsedTimeInsideTheCard()
    {
        for (OverlayMode mode : {OverlayMode::floating, OverlayMode::cursor}) {
            for (double width : {310.0, 340.0, 500.0}) {
                Preview preview(true, false, mode);
                preview.settings.setShowElapsedTime(true);
                preview.settings.setNotchWidth(width);
                QVERIFY(preview.settle());
                const QRectF inner = preview.content->mockRect().adjusted(6, 6, -6, -6);
                auto *counter = preview.content->findChild<ElapsedTimeView *>();
                // A clock that grows while shown (a third digit of minutes; here a larger font)
                // is placed again.
                QFont wider = counter->font();
                wider.setPixelSize(wider.pixelSize() + 2);
                counter->setFont(wider);
                QTRY_COMPARE(counter->width(), counter->sizeHint().width());
                const QRectF clock = counter->geometry();
                QVERIFY2(inner.contains(clock), qPrintable(QString::number(width)));
                const QRectF note
                    = mode == OverlayMode::floating
                          ? preview.content->hintRect()
                          : preview.content->findChild<CursorKeyHintFooter *>()->geometry();
                QVERIFY(!clock.intersects(note));
                QVERIFY(!clock.intersects(preview.content->badgeRect()));
                QVERIFY(!clock.intersects(
                    preview.content->findChild<CircleGlyphButton *>()->geometry()));
                QVERIFY(preview.content->contentRect().top() > note.bottom());
            }
        }
    }

    void blursOnlyWhenTheSizeChanges()
    {
        Preview preview;
        QVERIFY(preview.settle());
        preview.image();
        const int rendered = preview.content->blurRenderCount();
        QVERIFY(rendered > 0);
        preview.settings.setFontSizePreset(FontSizePreset::lg);
        preview.settings.setHighlightColor(Qt::yellow);
        preview.image();
        QCOMPARE(preview.content->blurRenderCount(), rendered);
        preview.settings.setNotchWidth(420);
        preview.content->finishAnimations();
        preview.image();
        QCOMPARE(preview.content->blurRenderCount(), rendered + 1);
    }

    void storedSizesStayInTheView()
    {
        Preview preview;
        preview.settings.setNotchWidth(1e300);
        preview.settings.setTextAreaHeight(1e9);
        QVERIFY(preview.settle());
        QCOMPARE(preview.content->mockSize(), QSizeF(500, 470));
        QVERIFY(accentPixels(preview.image()) > 0);
    }
};

QTEST_MAIN(TestNotchPreviewContent)
#include "tst_notchpreviewcontent.moc"
