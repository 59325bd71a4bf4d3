#pragma once

#include "common/fakecaptureshield.h"
#include "document/brivelservice.h"
#include "document/dialogs.h"
#include "overlay/model/overlaycontent.h"
#include "overlay/model/readingoverlay.h"
#include "platform/inmemorykeyvaluestore.h"
#include "settings/notchsettings.h"
#include "speech/speechrecognizer.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <optional>
#include <utility>

// Modal questions answered from a script; every question asked is recorded.
class FakeDialogs : public Dialogs
{
public:
    struct Alert
    {
        QString message;
        QString informativeText;
        AlertStyle style = AlertStyle::warning;
    };

    void alert(const QString &message, const QString &informativeText, AlertStyle style) override
    {
        alerts.append({message, informativeText, style});
    }
    bool confirmDestructive(const QString &message, const QString &informativeText,
                            const QString &destructiveButton) override
    {
        destructiveQuestions.append({message, informativeText, destructiveButton});
        return destructiveAnswer;
    }
    int ask(const QString &message, const QString &informativeText, const QStringList &buttons,
            int defaultButton, int escapeButton, AlertStyle) override
    {
        questions.append({message, informativeText, buttons, defaultButton, escapeButton});
        return askAnswer < 0 ? escapeButton : askAnswer;
    }
    UnsavedChangesChoice askUnsavedChanges() override
    {
        ++unsavedQuestions;
        return unsavedChoice;
    }
    std::optional<QString> savePanel(const QString &proposedFileName,
                                     const QString &extension) override
    {
        savePanels.append({proposedFileName, extension});
        return savePanelAnswer;
    }
    std::optional<QString> openPanel(const QStringList &extensions,
                                     const QString &message = QString()) override
    {
        openPanels.append(extensions);
        openPanelMessages.append(message);
        return openPanelAnswer;
    }

    struct Question
    {
        QString message;
        QString informativeText;
        QStringList buttons;
        int defaultButton = 0;
        int escapeButton = 0;
    };

    QList<Alert> alerts;
    QList<Question> questions;
    int askAnswer = -1;                      // the button index to choose; -1 answers with Escape
    QList<QStringList> destructiveQuestions; // message, informative text, button
    bool destructiveAnswer = false;
    UnsavedChangesChoice unsavedChoice = UnsavedChangesChoice::cancel;
    int unsavedQuestions = 0;
    std::optional<QString> savePanelAnswer;
    QList<std::pair<QString, QString>> savePanels;
    std::optional<QString> openPanelAnswer;
    QList<QStringList> openPanels;
    QStringList openPanelMessages;
};

// A reading session without windows: it records what the service asked and loads the text into
// its model as the real controller does.
class FakeReadingOverlay : public ReadingOverlay
{
public:
    struct Load
    {
        QString text;
        bool hasNextPage = false;
        bool isNotesMode = false;
    };

    void show(const QString &text, bool hasNextPage, bool isNotesMode,
              std::function<void()> onComplete) override
    {
        calls << QStringLiteral("show");
        m_hasPanel = true;
        m_onComplete = std::move(onComplete);
        load(text, hasNextPage, isNotesMode);
    }
    void updateContent(const QString &text, bool hasNextPage, bool isNotesMode) override
    {
        calls << QStringLiteral("updateContent");
        load(text, hasNextPage, isNotesMode);
    }
    void dismiss() override { calls << QStringLiteral("dismiss"); }
    void registerHotKeys() override { calls << QStringLiteral("registerHotKeys"); }
    bool hasPanel() const override { return m_hasPanel; }
    OverlayContent &overlayContent() const override { return m_content; }
    SpeechRecognizer &speechRecognizer() const override { return m_recognizer; }

    // The end of the session's teardown.
    void complete()
    {
        m_hasPanel = false;
        if (const std::function<void()> onComplete = std::exchange(m_onComplete, {}))
            onComplete();
    }

    QStringList calls;
    Load lastLoad;

private:
    void load(const QString &text, bool hasNextPage, bool isNotesMode)
    {
        lastLoad = {text, hasNextPage, isNotesMode};
        m_content.loadPage(text, hasNextPage, isNotesMode);
    }

    bool m_hasPanel = false;
    std::function<void()> m_onComplete;
    mutable OverlayContent m_content;
    mutable SpeechRecognizer m_recognizer;
};

// A service over fakes, with its autosave in a temporary folder of its own.
struct ServiceFixture
{
    InMemoryKeyValueStore store;
    FakeCaptureShield shield{false};
    NotchSettings settings{store, shield, QStringLiteral("es")};
    FakeReadingOverlay overlay;
    FakeDialogs dialogs;
    QTemporaryDir directory;
    BrivelService service{settings, overlay, dialogs, directory.path()};

    QString path(const QString &name) const { return directory.filePath(name); }
};
