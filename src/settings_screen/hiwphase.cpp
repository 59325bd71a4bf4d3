#include "hiwphase.h"

#include "platform/captureshield.h"
#include "settings/localization.h"

QString HiwPhase::caption() const
{
    return cap ? localizedString(cap) : QString();
}

QList<HiwTab> allHiwTabs()
{
    return {HiwTab::arrows, HiwTab::invisible, HiwTab::notes};
}

QString hiwTabRawValue(HiwTab tab)
{
    switch (tab) {
    case HiwTab::arrows:
        return QStringLiteral("arrows");
    case HiwTab::invisible:
        return QStringLiteral("invisible");
    case HiwTab::notes:
        return QStringLiteral("notes");
    }
    return {};
}

std::optional<HiwTab> hiwTabFromRawValue(const QString &rawValue)
{
    for (HiwTab tab : allHiwTabs()) {
        if (hiwTabRawValue(tab) == rawValue)
            return tab;
    }
    return std::nullopt;
}

QString hiwTabTitle(HiwTab tab)
{
    switch (tab) {
    case HiwTab::arrows:
        return localizedString("Flechas");
    case HiwTab::invisible:
        return localizedString("Volverse invisible");
    case HiwTab::notes:
        return localizedString("Títulos y números");
    }
    return {};
}

QString hiwTabCaption(HiwTab tab, const CaptureShield &shield)
{
    switch (tab) {
    case HiwTab::arrows:
        return localizedString("Mantené ↓ para deslizar el guion a tu ritmo, ↑ para volver "
                               "atrás. Tocá → y ← para saltar entre notas.");
    case HiwTab::invisible:
        // A presenter would rely on the promise, so it is made only where it holds.
        if (!shield.isSupported())
            return localizedString(
                "Tocá el ojo en el notch para marcar la ventana como invisible; el borde que "
                "brilla lo confirma. Ocultarla de las pantallas compartidas depende del sistema: "
                "en este, la ventana sigue visible al compartir o grabar.");
        return localizedString("Tocá el ojo en el notch para ocultar la app de las pantallas "
                               "compartidas y de las grabaciones. El borde que brilla confirma "
                               "que solo vos podés ver la ventana.");
    case HiwTab::notes:
        return localizedString("El pie muestra el título de la nota actual. Tocá el ícono de "
                               "notas para cambiar a números de diapositiva, útil al presentar.");
    }
    return {};
}

namespace {

// Captions stay Spanish keys here and are looked up when shown, so a change of language
// reaches a demo that is already running.
QList<HiwPhase> makeArrowsPhases()
{
    QList<HiwPhase> phases(9);
    const double ms[] = {1000, 1900, 700, 1500, 700, 500, 1900, 500, 900};
    for (int i = 0; i < 9; ++i)
        phases[i].ms = ms[i];
    phases[1].key = "arrow.down";
    phases[1].cap = "Mantené ↓ para scrollear";
    phases[1].slow = true;
    phases[1].scrollY = -42;
    phases[2].scrollY = -42;
    phases[3].key = "arrow.up";
    phases[3].cap = "Mantené ↑ para volver";
    phases[3].slow = true;
    phases[5].key = "arrow.right";
    phases[5].cap = "Siguiente nota";
    phases[5].note = 1;
    phases[6].note = 1;
    phases[7].key = "arrow.left";
    phases[7].cap = "Nota anterior";
    return phases;
}

// Rest, move onto the target, click, hold the new state, click again, hold the restored state,
// back to rest.
QList<HiwPhase> makeCursorPhases(const double (&ms)[7])
{
    QList<HiwPhase> phases(7);
    for (int i = 0; i < 7; ++i) {
        phases[i].ms = ms[i];
        phases[i].cursorAtTarget = i >= 1 && i <= 5;
        phases[i].press = i == 2 || i == 4;
    }
    return phases;
}

QList<HiwPhase> makeInvisiblePhases()
{
    QList<HiwPhase> phases = makeCursorPhases({1200, 800, 420, 2800, 420, 1700, 900});
    phases[3].invisible = true;
    phases[4].invisible = true;
    return phases;
}

QList<HiwPhase> makeNotesPhases()
{
    QList<HiwPhase> phases = makeCursorPhases({1300, 800, 420, 2500, 420, 2200, 900});
    phases[3].numsMode = true;
    phases[3].cap = "Números de diapositiva";
    phases[4].numsMode = true;
    phases[5].cap = "Títulos de notas";
    return phases;
}

} // namespace

const QList<HiwPhase> &arrowsDemoPhases()
{
    static const QList<HiwPhase> phases = makeArrowsPhases();
    return phases;
}

const QList<HiwPhase> &invisibleDemoPhases()
{
    static const QList<HiwPhase> phases = makeInvisiblePhases();
    return phases;
}

const QList<HiwPhase> &notesDemoPhases()
{
    static const QList<HiwPhase> phases = makeNotesPhases();
    return phases;
}

const QList<HiwPhase> &hiwDemoPhases(HiwTab tab)
{
    switch (tab) {
    case HiwTab::invisible:
        return invisibleDemoPhases();
    case HiwTab::notes:
        return notesDemoPhases();
    case HiwTab::arrows:
        break;
    }
    return arrowsDemoPhases();
}

int hiwStillPhase(HiwTab tab)
{
    return tab == HiwTab::arrows ? 1 : 3;
}

QString hiwArrowsFirstNote(const CaptureShield &shield)
{
    QString text = localizedString(
        "Hola. Bienvenido a Brivel. Mantené la tecla ↓ y este texto se desliza a tu ritmo. "
        "Soltá para frenar. Sin micrófono, sin seguimiento por voz, solo teclas. Brivel es "
        "visible solo para vos, pero oculto para los demás al compartir pantalla.");
    if (!shield.isSupported()) {
        text.replace(localizedString("Brivel es visible solo para vos, pero oculto para los "
                                     "demás al compartir pantalla."),
                     localizedString("Brivel queda a la vista por encima de las demás ventanas, "
                                     "cerca de la cámara."));
    }
    return text;
}

QString hiwArrowsSecondNote()
{
    return localizedString("Los guiones pueden tener varias notas. Presioná → para la siguiente, "
                           "← para volver. La ventana queda justo debajo de tu cámara, así leés "
                           "sin que nadie lo note.");
}

QString hiwInvisibleBody(const CaptureShield &shield)
{
    QString text = localizedString("Esto es lo que vos ves durante una presentación o "
                                   "videollamada. Los demás no van a ver esta ventana cuando "
                                   "esté invisible.");
    if (!shield.isSupported()) {
        text.replace(
            localizedString("Los demás no van a ver esta ventana cuando esté invisible."),
            localizedString("En este sistema, la ventana sigue visible al compartir pantalla."));
    }
    return text;
}

QString hiwNotesBody()
{
    return localizedString("El pie muestra el título de la nota o los números de tus "
                           "diapositivas. Tocá el ícono de notas para cambiar.");
}
