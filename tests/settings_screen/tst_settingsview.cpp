#include "common/appfakes.h"
#include "common/fakecaptureshield.h"
#include "document/brivelservice.h"
#include "document/reviewsessioncounter.h"
#include "editor/contentview.h"
#include "editor/model/editorcontroller.h"
#include "platform/linux/keyvaluestore_qsettings.h"
#include "settings_screen/appearancetab.h"
#include "settings_screen/generaltab.h"
#include "settings_screen/hotkeyrecordernsview.h"
#include "settings_screen/settingcontrols.h"
#include "settings_screen/settingsfakes.h"
#include "settings_screen/settingsscreencontroller.h"
#include "settings_screen/settingsview.h"
#include "uikit/infobutton.h"
#include "uikit/segmentedcontrol.h"
#include "uikit/settingrow.h"
#include "uikit/switchbutton.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The settings over a Brivel.conf of the test's own, as the program reads it.
struct ConfFixture
{
    QTemporaryDir home;
    QString path = home.filePath(u"Brivel.conf"_qs);
    FakeCaptureShield shield{false};
    FakeDialogs dialogs;

    QByteArray contents() const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

SettingsScreenServices services(FakeDialogs &dialogs, const CaptureShield &shield)
{
    SettingsScreenServices s;
    s.dialogs = &dialogs;
    s.captureShield = &shield;
    return s;
}

} // namespace

class TestSettingsView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { NotchSettings::shared().setAppLanguage(u"en"_qs); }
    void generalTabRowsFollowModeAndArrows();
    void invisibilityInfoTellsTheTruth();
    void infoPopupsOneAtATime();
    void appearanceTabControlsWriteTheirSettings();
    void sliderTextsAndPositions();
    void handEditedConfiguration_data();
    void handEditedConfiguration();
    void frameTabsAndDone();
    void editorHostsTheSettingsLayer();
    void hotkeyRecorder();
};

void TestSettingsView::generalTabRowsFollowModeAndArrows()
{
    InMemoryKeyValueStore store;
    FakeCaptureShield shield(false);
    NotchSettings settings(store, shield, u"es"_qs);
    GeneralTab tab(settings, shield);
    const auto shown = [&tab] {
        QList<bool> rows;
        for (int i = 0; i < 5; ++i)
            rows << !tab.row(i)->isHidden();
        return rows;
    };
    QCOMPARE(shown(), (QList<bool>{true, true, true, true, true}));
    QCOMPARE(tab.modePicker()->labels(), (QStringList{u"Notch"_qs, u"Sticky"_qs, u"Cursor"_qs}));

    // Choosing a segment writes the mode; the cursor takes the two arrow rows away.
    QTest::mouseClick(tab.modePicker(), Qt::LeftButton, {},
                      tab.modePicker()->segmentRect(2).center());
    QCOMPARE(settings.overlayMode(), OverlayMode::cursor);
    QCOMPARE(shown(), (QList<bool>{true, true, true, false, false}));
    QVERIFY(!tab.row(2)->isDividerVisible());

    settings.setOverlayMode(OverlayMode::pinned);
    settings.setGlobalArrowKeysEnabled(false);
    QCOMPARE(shown(), (QList<bool>{true, true, true, true, false}));
    QVERIFY(!tab.row(3)->isDividerVisible());
    QCOMPARE(settings.arrowScrollsText(), true);

    // The switches and the language picker write their settings.
    auto *invisible = qobject_cast<SwitchButton *>(tab.row(0)->control());
    QTest::mouseClick(invisible, Qt::LeftButton);
    QCOMPARE(settings.hideFromScreenShare(), false);

    tab.languagePicker()->setCurrentIndex(1);
    Q_EMIT tab.languagePicker()->activated(1);
    QCOMPARE(settings.appLanguage(), u"es"_qs);
}

void TestSettingsView::invisibilityInfoTellsTheTruth()
{
    const FakeCaptureShield supported(true);
    const FakeCaptureShield unsupported(false);
    QCOMPARE(GeneralTab::invisibilityInfoText(supported),
             u"The panel stays hidden in screen recordings and video calls."_qs);
    QCOMPARE(GeneralTab::invisibilityInfoText(unsupported),
             u"On this system, screen recordings and video calls show the panel."_qs);
}

void TestSettingsView::infoPopupsOneAtATime()
{
    InMemoryKeyValueStore store;
    FakeCaptureShield shield(true);
    NotchSettings settings(store, shield, u"es"_qs);
    GeneralTab tab(settings, shield);
    tab.resize(600, 400);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    const QList<InfoButton *> infos = tab.findChildren<InfoButton *>();
    QCOMPARE(infos.size(), 5);

    settings.setOverlayMode(OverlayMode::floating);
    QTest::mouseClick(infos[1], Qt::LeftButton);
    QVERIFY(infos[1]->isPopupOpen());
    QCOMPARE(infos[1]->popup()->findChild<QLabel *>()->text(),
             localizedDescription(OverlayMode::floating));
    QVERIFY(infos[1]->popup()->testAttribute(Qt::WA_NoMouseReplay));
    infos[1]->closePopup();

    QTest::mouseClick(infos[0], Qt::LeftButton);
    QCOMPARE(infos[0]->popup()->findChild<QLabel *>()->text(),
             GeneralTab::invisibilityInfoText(shield));
    // A click on another closes the first and opens its own.
    QTest::mouseClick(infos[2], Qt::LeftButton);
    QVERIFY(!infos[0]->isPopupOpen());
    QTRY_VERIFY(infos[2]->isPopupOpen());
    QTest::keyClick(infos[2]->popup(), Qt::Key_Escape);
    QTRY_VERIFY(!infos[2]->isPopupOpen());
}

void TestSettingsView::appearanceTabControlsWriteTheirSettings()
{
    InMemoryKeyValueStore store;
    FakeCaptureShield shield(false);
    NotchSettings settings(store, shield, u"es"_qs);
    AppearanceTab tab(settings);
    QVERIFY(tab.row(AppearanceTab::glassRow)->isVisibleTo(&tab));
    QVERIFY(tab.row(AppearanceTab::opacityRow)->isHidden());
    QVERIFY(!tab.row(AppearanceTab::heightRow)->isDividerVisible());

    // Turning the glass on shows the opacity at 70 %.
    settings.setGlassOpacity(0.3);
    QTest::mouseClick(tab.row(AppearanceTab::glassRow)->control(), Qt::LeftButton);
    QCOMPARE(settings.glassEffect(), true);
    QVERIFY(!tab.row(AppearanceTab::opacityRow)->isHidden());
    QCOMPARE(tab.opacitySlider()->valueText(), u"70%"_qs);

    // Full screen takes both glass rows away, whatever the glass holds.
    settings.setOverlayMode(OverlayMode::fullscreen);
    QVERIFY(tab.row(AppearanceTab::glassRow)->isHidden());
    QVERIFY(tab.row(AppearanceTab::opacityRow)->isHidden());
    QVERIFY(tab.row(AppearanceTab::colourRow)->isDividerVisible());

    settings.setHighlightColor(QColor(12, 34, 56));
    QTest::mouseClick(tab.colorChips()[1], Qt::LeftButton);
    QCOMPARE(settings.highlightColor(), QColor::fromRgbF(0.0f, 0.847f, 0.749f));
    QTest::mouseClick(tab.colorChips()[0], Qt::LeftButton);
    QCOMPARE(settings.highlightColor(), QColor(Qt::white));

    // The well opens a panel whose picks are written at once.
    QTest::mouseClick(tab.colorWell(), Qt::LeftButton);
    QVERIFY(tab.colorPanel() && !tab.colorPanel()->isModal());
    QVERIFY(!tab.colorPanel()->testOption(QColorDialog::ShowAlphaChannel));
    tab.colorPanel()->setCurrentColor(QColor(255, 0, 128));
    QCOMPARE(settings.highlightColor(), QColor(255, 0, 128));
    tab.colorPanel()->close();
    QTest::mouseClick(tab.sizePicker(), Qt::LeftButton, {},
                      tab.sizePicker()->segmentRect(2).center());
    QCOMPARE(settings.fontSizePreset(), FontSizePreset::lg);
}

void TestSettingsView::sliderTextsAndPositions()
{
    InMemoryKeyValueStore store;
    FakeCaptureShield shield(false);
    NotchSettings settings(store, shield, u"es"_qs);
    AppearanceTab tab(settings);
    QSlider *width = tab.widthSlider()->slider();

    // A value beyond the range rests the slider at its end and keeps its own text.
    settings.setNotchWidth(600);
    QCOMPARE(width->value(), width->maximum());
    QCOMPARE(tab.widthSlider()->valueText(), u"600px"_qs);
    QCOMPARE(settings.notchWidth(), 600.0); // following never writes back

    // The user's move writes whole steps.
    width->setValue(42);
    QCOMPARE(settings.notchWidth(), 420.0);
    QCOMPARE(tab.widthSlider()->valueText(), u"420px"_qs);

    // Every opacity step reads as its own per cent.
    QSlider *opacity = tab.opacitySlider()->slider();
    for (int step = opacity->minimum(); step <= opacity->maximum(); ++step) {
        opacity->setValue(step);
        QCOMPARE(tab.opacitySlider()->valueText(), QString::number(step * 5) + u'%');
    }
}

void TestSettingsView::handEditedConfiguration_data()
{
    QTest::addColumn<QByteArray>("conf");
    QTest::addColumn<QStringList>("texts");  // width, height, opacity ("" when hidden)
    QTest::addColumn<QList<int>>("indices"); // mode, language, size

    const QByteArray general = "[General]\nappLanguage=es\n";
    const auto row
        = [&](const char *name, const QByteArray &lines, QStringList texts, QList<int> indices) {
              QTest::newRow(name) << general + lines << texts << indices;
          };
    const QStringList plain{u"340px"_qs, u"160px"_qs, QString()};
    const QList<int> usual{0, 1, 1};
    row("width -5", "notchWidth=-5\n", plain, usual);
    row("width 0", "notchWidth=0\n", plain, usual);
    row("width 99999", "notchWidth=99999\n", {u"99999px"_qs, u"160px"_qs, QString()}, usual);
    row("width 1e300", "notchWidth=1e300\n", {u"500px"_qs, u"160px"_qs, QString()}, usual);
    row("width ancho", "notchWidth=ancho\n", plain, usual);
    row("height 10", "textAreaHeight=10\n", plain.mid(0, 1) + QStringList{u"140px"_qs, {}}, usual);
    row("height 1e9", "textAreaHeight=1e9\n", {u"340px"_qs, u"1000000000px"_qs, QString()}, usual);
    for (const auto &[name, value, text] :
         {std::tuple{"opacity 5", "5", "500%"}, std::tuple{"opacity -1", "-1", "70%"},
          std::tuple{"opacity nan", "nan", "70%"}, std::tuple{"opacity inf", "inf", "70%"}}) {
        row(name, "floatingGlassEffect=true\nglassOpacity=" + QByteArray(value) + '\n',
            {u"340px"_qs, u"160px"_qs, QString::fromLatin1(text)}, usual);
    }
    row("fullscreen", "overlayMode=fullscreen\nfloatingGlassEffect=true\n", plain, {-1, 1, 1});
    row("sideways", "overlayMode=sideways\n", plain, usual);
    row("size xl", "fontSizePreset=xl\n", plain, {0, 1, 2});
    row("size huge", "fontSizePreset=huge\n", plain, usual);
    row("colours", "highlightColor_r=5\nhighlightColor_g=-3\nhighlightColor_b=red\n", plain, usual);
    QTest::newRow("language fr") << QByteArray("[General]\nappLanguage=fr\n") << plain
                                 << QList<int>{0, -1, 1};
    QTest::newRow("language path")
        << QByteArray("[General]\nappLanguage=../x\n") << plain << QList<int>{0, -1, 1};
    row("booleans", "floatingGlassEffect=yes\nhideFromScreenShare=2\nshowElapsedTime=yes\n", plain,
        usual);
    QTest::newRow("truncated") << QByteArray("[General]\nnotchWidth=4")
                               << QStringList{u"4px"_qs, u"160px"_qs, QString()}
                               << QList<int>{0, 0, 1};
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919 + 13) % 256);
    // Without a stored language the system's (English here) is chosen.
    QTest::newRow("random bytes") << noise << plain << QList<int>{0, 0, 1};
    QTest::newRow("unreadable") << QByteArray() << plain << QList<int>{0, 0, 1};
}

void TestSettingsView::handEditedConfiguration()
{
    QFETCH(QByteArray, conf);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, indices);

    ConfFixture f;
    if (conf.isEmpty()) {
        QVERIFY(QDir().mkpath(f.path)); // a folder where the file should be cannot be read
    } else {
        QFile file(f.path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(conf);
    }
    // Twice: the file left behind by the first run must open as well.
    for (int run = 0; run < 2; ++run) {
        QSettingsKeyValueStore store(f.path);
        NotchSettings settings(store, f.shield, u"en"_qs);
        const QByteArray before = f.contents();
        SettingsView view(settings, services(f.dialogs, f.shield));
        view.resize(900, 580);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        AppearanceTab *appearance = view.appearanceTab();
        GeneralTab *general = view.generalTab();
        QCOMPARE(appearance->widthSlider()->valueText(), texts[0]);
        QCOMPARE(appearance->heightSlider()->valueText(), texts[1]);
        QCOMPARE(appearance->row(AppearanceTab::opacityRow)->isHidden(), texts[2].isEmpty());
        if (!texts[2].isEmpty())
            QCOMPARE(appearance->opacitySlider()->valueText(), texts[2]);
        QCOMPARE(general->modePicker()->currentIndex(), indices[0]);
        QCOMPARE(general->languagePicker()->currentIndex(), indices[1]);
        QCOMPARE(appearance->sizePicker()->currentIndex(), indices[2]);
        QCOMPARE(appearance->row(AppearanceTab::glassRow)->isHidden(), indices[0] < 0);
        // Showing the settings writes nothing.
        QCOMPARE(f.contents(), before);
    }
}

void TestSettingsView::frameTabsAndDone()
{
    InMemoryKeyValueStore store;
    FakeCaptureShield shield(false);
    NotchSettings settings(store, shield, u"es"_qs);
    FakeDialogs dialogs;
    SettingsView view(settings, services(dialogs, shield));
    view.resize(900, 580);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    QCOMPARE(view.selectedTab(), SettingsTab::general);
    QTest::mouseClick(view.tabButton(SettingsTab::appearance), Qt::LeftButton);
    QCOMPARE(view.selectedTab(), SettingsTab::appearance);
    QVERIFY(view.appearanceTab()->isVisible());
    QTest::mouseClick(view.tabButton(SettingsTab::howItWorks), Qt::LeftButton);
    auto *demo = new QLabel(u"demo"_qs);
    view.setHowItWorksView(demo);
    QCOMPARE(view.tabPage(SettingsTab::howItWorks), demo);
    QVERIFY(demo->isVisible());
    // A new language redraws every label at once.
    QCOMPARE(view.tabButton(SettingsTab::howItWorks)->text(), u"How it works"_qs);
    NotchSettings::shared().setAppLanguage(u"es"_qs);
    QCOMPARE(view.tabButton(SettingsTab::howItWorks)->text(), u"Cómo funciona"_qs);
    QCOMPARE(view.generalTab()->row(1)->label()->text(), u"Posición"_qs);
    QCOMPARE(view.doneButton()->text(), u"Listo"_qs);
    NotchSettings::shared().setAppLanguage(u"en"_qs);

    QSignalSpy done(&view, &SettingsView::done);
    QTest::mouseClick(view.doneButton(), Qt::LeftButton);
    QTest::mouseClick(view.doneButton(), Qt::LeftButton);
    QVERIFY(view.controller().isClosing());
    QTRY_COMPARE(done.count(), 1);
    QTest::qWait(100);
    QCOMPARE(done.count(), 1);
}

void TestSettingsView::editorHostsTheSettingsLayer()
{
    ServiceFixture s;
    ReviewSessionCounter counter(s.store);
    s.store.setValue(u"hasCompletedOnboarding"_qs, true);
    s.store.setValue(u"hasCompletedCoachMarks"_qs, true);
    EditorController controller(s.service, s.settings, s.store, counter);
    ContentView content(controller, s.service, s.dialogs);
    content.resize(900, 580);
    content.show();
    QVERIFY(QTest::qWaitForWindowExposed(&content));
    QVERIFY(!content.settingsView());

    controller.openSettings();
    SettingsView *view = content.settingsView();
    QVERIFY(view);
    QTRY_COMPARE(view->geometry(), content.currentWidget()->rect());
    // Nothing beneath takes the keys while the settings cover it.
    for (QWidget *beneath :
         content.currentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (beneath != view)
            QVERIFY(!beneath->isEnabled());
    }

    QTest::mouseClick(view->doneButton(), Qt::LeftButton);
    QTRY_VERIFY(!controller.showSettings());
    QVERIFY(!content.settingsView());
    QTRY_VERIFY(!view->isVisible());
}

void TestSettingsView::hotkeyRecorder()
{
    HotkeyRecorderNSView recorder;
    QList<std::pair<quint32, quint32>> recorded;
    int beeps = 0;
    recorder.beep = [&beeps] { ++beeps; };
    recorder.show();
    QVERIFY(QTest::qWaitForWindowExposed(&recorder));
    recorder.setFocus();

    // Without a callback a combination does nothing, not even beep.
    QTest::keyClick(&recorder, Qt::Key_K, Qt::ControlModifier);
    QCOMPARE(beeps, 0);

    recorder.onRecord = [&recorded](quint32 key, quint32 modifiers) {
        recorded.append({key, modifiers});
    };
    QTest::keyClick(&recorder, Qt::Key_K,
                    Qt::ControlModifier | Qt::ShiftModifier | Qt::KeypadModifier);
    QCOMPARE(recorded.size(), 1);
    QCOMPARE(recorded[0].first, quint32(Qt::Key_K));
    QCOMPARE(recorded[0].second, quint32((Qt::ControlModifier | Qt::ShiftModifier).toInt()));

    // A bare key beeps; a modifier key alone records nothing, whatever bits it carries.
    QTest::keyClick(&recorder, Qt::Key_A);
    QTest::keyClick(&recorder, Qt::Key_Tab);
    QCOMPARE(beeps, 2);
    QTest::keyClick(&recorder, Qt::Key_Shift, Qt::ShiftModifier);
    QTest::keyClick(&recorder, Qt::Key_Control, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(recorded.size(), 1);
    QCOMPARE(beeps, 2);
    QVERIFY(recorder.hasFocus()); // Tab stayed here

    // A shortcut of the application does not fire while it records.
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Q, Qt::ControlModifier);
    QApplication::sendEvent(&recorder, &override);
    QVERIFY(override.isAccepted());
    QTest::keyClick(&recorder, Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(recorded.size(), 2);
}

QTEST_MAIN(TestSettingsView)

#include "tst_settingsview.moc"
