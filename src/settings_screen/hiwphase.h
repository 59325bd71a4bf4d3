#pragma once

#include <QList>
#include <QString>

#include <optional>

class CaptureShield;

// One step of a how-it-works demo: the scene it shows and how long it is held.
struct HiwPhase
{
    double ms = 0;
    const char *key = nullptr; // symbol of the arrow key shown pressed
    const char *cap = nullptr; // Spanish text of the caption, looked up when it is shown
    double scrollY = 0;
    int note = 0;
    bool slow = false; // entered linearly over the whole phase
    bool cursorAtTarget = false;
    bool press = false;
    bool invisible = false;
    bool numsMode = false;

    // The caption in the interface language of the moment; empty for none.
    QString caption() const;
};

// The three demos of the how-it-works tab, in the selector's order.
enum class HiwTab { arrows, invisible, notes };

QList<HiwTab> allHiwTabs();
QString hiwTabRawValue(HiwTab tab);
std::optional<HiwTab> hiwTabFromRawValue(const QString &rawValue);

QString hiwTabTitle(HiwTab tab);
// What the tab says under the demo. Where panels cannot be kept out of captures, the
// invisibility demo says so instead of promising it.
QString hiwTabCaption(HiwTab tab, const CaptureShield &shield);

// The demos' timelines, each built once; a run loops over one.
const QList<HiwPhase> &arrowsDemoPhases();
const QList<HiwPhase> &invisibleDemoPhases();
const QList<HiwPhase> &notesDemoPhases();
const QList<HiwPhase> &hiwDemoPhases(HiwTab tab);
// The phase a demo shows, and stays on, when motion is reduced.
int hiwStillPhase(HiwTab tab);

// The texts inside the demos' panels, in the interface language of the moment.
QString hiwArrowsFirstNote(const CaptureShield &shield);
QString hiwArrowsSecondNote();
QString hiwInvisibleBody(const CaptureShield &shield);
QString hiwNotesBody();
