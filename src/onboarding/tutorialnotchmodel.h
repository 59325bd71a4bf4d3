#pragma once

#include <QObject>
#include <QString>

#include <optional>

// What the tutorial panel shows. Written by the practice steps, drawn by TutorialNotchContent.
// Every setter is silent when the value does not change. Main thread only.
class TutorialNotchModel : public QObject
{
    Q_OBJECT

public:
    explicit TutorialNotchModel(QObject *parent = nullptr)
        : QObject(parent)
    {}

    QString noteTitle() const { return m_noteTitle; }
    void setNoteTitle(const QString &title);
    QString noteBody() const { return m_noteBody; }
    void setNoteBody(const QString &body);
    double scrollDelta() const { return m_scrollDelta; }
    void setScrollDelta(double delta);
    QString voiceText() const { return m_voiceText; }
    void setVoiceText(const QString &text);
    int voiceProgress() const { return m_voiceProgress; }
    void setVoiceProgress(int progress);
    int pageCount() const { return m_pageCount; }
    void setPageCount(int count);
    int currentPageIndex() const { return m_currentPageIndex; }
    void setCurrentPageIndex(int index);
    std::optional<QString> arrowInstruction() const { return m_arrowInstruction; }
    void setArrowInstruction(const std::optional<QString> &instruction);
    bool voiceMode() const { return m_voiceMode; }
    void setVoiceMode(bool voiceMode);
    bool isInvisibleDemo() const { return m_isInvisibleDemo; }
    void setIsInvisibleDemo(bool demo);
    bool showInvisibilityToggle() const { return m_showInvisibilityToggle; }
    void setShowInvisibilityToggle(bool show);
    bool invisibilityTried() const { return m_invisibilityTried; }
    void setInvisibilityTried(bool tried);

    // The panel's eye toggle: flips the demo (always heard) and marks it tried.
    void toggleInvisibleDemo();

Q_SIGNALS:
    // After any change; the specific signals follow it for the readers that need only one.
    void changed();
    void noteTitleChanged();
    void scrollDeltaChanged();
    void isInvisibleDemoChanged();
    void invisibilityTriedChanged();

private:
    template <typename T>
    bool store(T &field, const T &value)
    {
        if (field == value)
            return false;
        field = value;
        Q_EMIT changed();
        return true;
    }

    QString m_noteTitle;
    QString m_noteBody;
    double m_scrollDelta = 0;
    QString m_voiceText;
    int m_voiceProgress = 0;
    int m_pageCount = 0;
    int m_currentPageIndex = 0;
    std::optional<QString> m_arrowInstruction;
    bool m_voiceMode = false;
    bool m_isInvisibleDemo = false;
    bool m_showInvisibilityToggle = false;
    bool m_invisibilityTried = false;
};
