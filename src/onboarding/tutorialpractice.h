#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <algorithm>

#include <functional>
#include <memory>
#include <optional>

class Permissions;
class SpeechRecognizer;
class TutorialNotchController;

// The tutorial step without its page: the arrow practice on three slides and the voice practice,
// writing the tutorial panel's model. An action writes all its fields first, then runs the
// handlers of those that changed once each, in a fixed order, so no handler sees half of a
// change. Its state survives leaving the page. Main thread only.
class TutorialPractice : public QObject
{
    Q_OBJECT

public:
    enum class Stage { arrows, voice };
    enum class VoiceState { checking, notDetermined, denied, ready, listening, completed };
    enum class Key { left, right, down, up };
    using RecognizerFactory = std::function<std::unique_ptr<SpeechRecognizer>()>;

    struct Slide
    {
        const char *title;
        const char *body;
    };
    static const QList<Slide> &slides();
    static const char *voicePracticeLine();

    static constexpr double scrollStep = 24;
    static constexpr double topTolerance = 8;
    static constexpr double voiceCompletionRatio = 0.85;
    static constexpr int voiceWrapUpMs = 1500;

    TutorialPractice(TutorialNotchController &notch, Permissions &permissions,
                     RecognizerFactory makeRecognizer, QObject *parent = nullptr);
    ~TutorialPractice() override;

    int noteIndex() const { return m_fields.noteIndex; }
    double scrollDelta() const { return m_fields.scrollDelta; }
    bool practiced(Key key) const { return m_practiced[int(key)]; }
    bool reachedBottom() const { return m_fields.reachedBottom; }
    bool returnedToTop() const { return m_fields.returnedToTop; }
    Stage stage() const { return m_stage; }
    VoiceState voiceState() const { return m_fields.voiceState; }
    SpeechRecognizer *recognizer() const { return m_recognizer.get(); }
    bool isActive() const { return m_active; }
    bool isWrapUpPending() const { return m_wrapUp.isActive(); }

    bool canContinue() const;
    // Keys of the page's texts.
    const char *statusText() const;
    const char *title() const;
    const char *hint() const;
    // Looked up.
    std::optional<QString> arrowInstructionText() const;

    // The page came on screen: permissions read, panel shown click-through, model filled.
    void start();
    // The page left: listening stops, the recognizer and any pending wrap-up go.
    void leave();
    // "Atrás": in the voice stage back to the arrows (false); in the arrows stage true, for the
    // flow to go back.
    bool back();

    void pressKey(Key key);
    void showSlide(int index);
    void handleScrollClamp(double offset);
    void updateTutorialNotch();

    // The voice stage. Nothing in the flow leads there; its owner may.
    void enterVoiceStage();
    void checkVoicePermissions();
    void requestVoicePermissions();
    void openPrivacySettings();
    void startVoiceListening();
    void handleVoiceProgress(std::optional<int> count);
    void stopVoicePractice();

Q_SIGNALS:
    // After every action, once its handlers have run.
    void changed();

private:
    struct Fields
    {
        int noteIndex = 0;
        bool reachedBottom = false;
        bool returnedToTop = false;
        double scrollDelta = 0;
        VoiceState voiceState = VoiceState::checking;
    };
    void commit(const Fields &next);
    void noteIndexChanged();
    void scrollDeltaChanged(double delta);
    void voiceStateChanged();
    void setVoiceState(VoiceState state);

    TutorialNotchController &m_notch;
    Permissions &m_permissions;
    RecognizerFactory m_makeRecognizer;
    Fields m_fields;
    bool m_practiced[4] = {false, false, false, false};
    Stage m_stage = Stage::arrows;
    std::unique_ptr<SpeechRecognizer> m_recognizer;
    QTimer m_wrapUp;
    bool m_active = false;
    int m_commitDepth = 0;
};
