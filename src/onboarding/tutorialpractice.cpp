#include "tutorialpractice.h"

#include "onboarding/tutorialnotchcontroller.h"
#include "platform/permissions.h"
#include "settings/localization.h"
#include "speech/speechrecognizer.h"

using Status = Permissions::Status;

const QList<TutorialPractice::Slide> &TutorialPractice::slides()
{
    static const QList<Slide> list{
        {"Slide 1", "Hola. Esta es la primera slide del tutorial. Probá la flecha → del teclado "
                    "para ir a la próxima."},
        {"Slide 2",
         "Cuando estés presentando, vas a tener slides con bastante texto que no entran en una "
         "sola pantalla del notch. En esos casos no tenés que apurarte ni saltearte líneas. La "
         "idea es que sigas tu ritmo natural mientras hablás, y solamente uses ↑ y ↓ cuando ya "
         "pasaste el contenido visible y querés ver lo que sigue. El notch te muestra el texto "
         "justo debajo de la cámara, así que mantenés contacto visual con tu audiencia mientras "
         "leés. Probá scrollear hacia abajo ahora con la flecha ↓ para ver el resto de esta "
         "slide. Cuando llegues al final, andá a la próxima con →."},
        {"Slide 3", "¡Excelente! Ya manejás las flechas. Volvé a la slide anterior con ← y "
                    "después tocá Continuar para ver cómo hacer a Brivel invisible."},
    };
    return list;
}

const char *TutorialPractice::voicePracticeLine()
{
    return "Hola, estoy practicando con Brivel. Cuando hablo, el texto se mueve solo y puedo "
           "seguir sin perder el hilo.";
}

TutorialPractice::TutorialPractice(TutorialNotchController &notch, Permissions &permissions,
                                   RecognizerFactory makeRecognizer, QObject *parent)
    : QObject(parent)
    , m_notch(notch)
    , m_permissions(permissions)
    , m_makeRecognizer(std::move(makeRecognizer))
{
    m_wrapUp.setSingleShot(true);
    m_wrapUp.setInterval(voiceWrapUpMs);
    connect(&m_wrapUp, &QTimer::timeout, this, &TutorialPractice::stopVoicePractice);
}

TutorialPractice::~TutorialPractice() = default;

bool TutorialPractice::canContinue() const
{
    if (m_stage != Stage::arrows)
        return true;
    return std::all_of(std::begin(m_practiced), std::end(m_practiced), [](bool p) { return p; });
}

const char *TutorialPractice::statusText() const
{
    if (m_stage == Stage::arrows)
        return canContinue() ? "Perfecto. Tocá Continuar."
                             : "Probá las cuatro flechas para continuar.";
    return m_fields.voiceState == VoiceState::completed ? "¡Excelente! Tocá Siguiente."
                                                        : "Cuando termines, tocá Siguiente.";
}

const char *TutorialPractice::title() const
{
    return m_stage == Stage::arrows ? "Probá el control por flechas" : "Probá el control por voz";
}

const char *TutorialPractice::hint() const
{
    return m_stage == Stage::arrows ? "← / → para cambiar de nota · ↑ / ↓ para mover el texto"
                                    : "Leé el texto que aparece en el notch arriba.";
}

std::optional<QString> TutorialPractice::arrowInstructionText() const
{
    switch (m_fields.noteIndex) {
    case 0:
        return localizedString("Presioná → para ir a la siguiente nota");
    case 1:
        if (m_fields.returnedToTop)
            return localizedString("Presioná ← para volver a la anterior");
        if (m_fields.reachedBottom)
            return localizedString("Presioná ↑ para volver arriba");
        return localizedString("Presioná ↓ para scrollear");
    case 2:
        return localizedString("Presioná ← para volver a la anterior");
    default:
        return std::nullopt;
    }
}

void TutorialPractice::start()
{
    m_active = true;
    checkVoicePermissions();
    m_notch.show(false, [self = QPointer(this)](double offset) {
        if (self)
            self->handleScrollClamp(offset);
    });
    updateTutorialNotch();
    Q_EMIT changed();
}

void TutorialPractice::leave()
{
    m_active = false;
    m_wrapUp.stop();
    if (m_recognizer)
        m_recognizer->stopListening();
    m_recognizer.reset();
    Q_EMIT changed();
}

bool TutorialPractice::back()
{
    if (m_stage == Stage::arrows)
        return true;
    m_wrapUp.stop();
    if (m_recognizer)
        m_recognizer->stopListening();
    m_stage = Stage::arrows;
    Q_EMIT changed();
    return false;
}

void TutorialPractice::pressKey(Key key)
{
    m_practiced[int(key)] = true;
    const int last = int(slides().size()) - 1;
    switch (key) {
    case Key::left:
    case Key::right: {
        const int step = key == Key::left ? -1 : 1;
        const int index = std::clamp(m_fields.noteIndex + step, 0, last);
        if (index != m_fields.noteIndex)
            showSlide(index);
        else
            Q_EMIT changed();
        return;
    }
    case Key::down:
    case Key::up: {
        Fields next = m_fields;
        next.scrollDelta += key == Key::down ? -scrollStep : scrollStep;
        commit(next);
        return;
    }
    }
}

void TutorialPractice::showSlide(int index)
{
    Fields next = m_fields;
    next.noteIndex = index;
    next.scrollDelta = 0;
    commit(next);
}

void TutorialPractice::handleScrollClamp(double offset)
{
    // The panel outlives the page into the invisibility step, whose note is not a slide.
    if (!m_active)
        return;
    Fields next = m_fields;
    next.scrollDelta = offset;
    if (offset < 0)
        next.reachedBottom = true;
    commit(next);
}

void TutorialPractice::commit(const Fields &next)
{
    const Fields before = m_fields;
    m_fields = next;
    ++m_commitDepth;
    if (before.noteIndex != next.noteIndex)
        noteIndexChanged();
    if (before.reachedBottom != next.reachedBottom)
        updateTutorialNotch();
    if (before.returnedToTop != next.returnedToTop)
        updateTutorialNotch();
    if (before.scrollDelta != next.scrollDelta)
        scrollDeltaChanged(next.scrollDelta);
    if (before.voiceState != next.voiceState)
        voiceStateChanged();
    if (--m_commitDepth == 0)
        Q_EMIT changed();
}

void TutorialPractice::noteIndexChanged()
{
    Fields next = m_fields;
    next.reachedBottom = false;
    next.returnedToTop = false;
    commit(next);
    updateTutorialNotch();
}

void TutorialPractice::scrollDeltaChanged(double delta)
{
    m_notch.model().setScrollDelta(delta);
    if (m_fields.reachedBottom && !m_fields.returnedToTop && delta >= -topTolerance) {
        Fields next = m_fields;
        next.returnedToTop = true;
        commit(next);
    }
}

void TutorialPractice::voiceStateChanged()
{
    updateTutorialNotch();
}

void TutorialPractice::updateTutorialNotch()
{
    TutorialNotchModel &model = m_notch.model();
    const QList<Slide> &list = slides();
    const Slide &slide = list.at(std::clamp(m_fields.noteIndex, 0, int(list.size()) - 1));
    model.setNoteTitle(localizedString(slide.title));
    model.setNoteBody(localizedString(slide.body));
    model.setScrollDelta(m_fields.scrollDelta);
    model.setVoiceText(localizedString(voicePracticeLine()));
    model.setPageCount(int(list.size()));
    model.setCurrentPageIndex(m_fields.noteIndex);
    model.setVoiceMode(m_fields.voiceState == VoiceState::listening
                       || m_fields.voiceState == VoiceState::completed);
    model.setArrowInstruction(arrowInstructionText());
}

void TutorialPractice::setVoiceState(VoiceState state)
{
    Fields next = m_fields;
    next.voiceState = state;
    commit(next);
}

// Voice

void TutorialPractice::enterVoiceStage()
{
    m_stage = Stage::voice;
    Q_EMIT changed();
}

void TutorialPractice::checkVoicePermissions()
{
    const Status microphone = m_permissions.microphoneStatus();
    const Status speech = m_permissions.speechRecognitionStatus();
    const auto refused = [](Status s) { return s == Status::Denied || s == Status::Restricted; };
    if (microphone == Status::Authorized && speech == Status::Authorized)
        setVoiceState(VoiceState::ready);
    else if (refused(microphone) || refused(speech))
        setVoiceState(VoiceState::denied);
    else
        setVoiceState(VoiceState::notDetermined);
}

void TutorialPractice::requestVoicePermissions()
{
    setVoiceState(VoiceState::checking);
    const QPointer self(this);
    m_permissions.requestMicrophoneAccess(this, [self](bool) {
        if (!self)
            return;
        self->m_permissions.requestSpeechRecognitionAuthorization(self, [self](Status) {
            if (self)
                QTimer::singleShot(0, self, &TutorialPractice::checkVoicePermissions);
        });
    });
}

void TutorialPractice::openPrivacySettings()
{
    if (m_permissions.microphoneStatus() == Status::Authorized)
        m_permissions.openSpeechPrivacyPane();
    else
        m_permissions.openMicrophonePrivacyPane();
}

void TutorialPractice::startVoiceListening()
{
    if (!m_recognizer && m_makeRecognizer) {
        m_recognizer = m_makeRecognizer();
        if (m_recognizer) {
            SpeechRecognizer *recognizer = m_recognizer.get();
            connect(recognizer, &SpeechRecognizer::recognizedCharCountChanged, this,
                    [this, recognizer] { handleVoiceProgress(recognizer->recognizedCharCount()); });
        }
    }
    if (!m_recognizer)
        return;
    setVoiceState(VoiceState::listening);
    m_notch.show(false, [self = QPointer(this)](double offset) {
        if (self)
            self->handleScrollClamp(offset);
    });
    updateTutorialNotch();
    m_recognizer->startListening(localizedString(voicePracticeLine()));
}

void TutorialPractice::handleVoiceProgress(std::optional<int> count)
{
    if (!count)
        return;
    m_notch.model().setVoiceProgress(*count);
    if (m_fields.voiceState != VoiceState::listening)
        return;
    const int threshold = int(localizedString(voicePracticeLine()).size() * voiceCompletionRatio);
    if (*count < threshold)
        return;
    setVoiceState(VoiceState::completed);
    m_wrapUp.start();
}

void TutorialPractice::stopVoicePractice()
{
    if (m_recognizer) {
        m_recognizer->setIsListening(false);
        m_recognizer->tearDownSession();
    }
    m_notch.closePanel();
}
