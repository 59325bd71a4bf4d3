#include "tutorialnotchmodel.h"

void TutorialNotchModel::setNoteTitle(const QString &title)
{
    if (store(m_noteTitle, title))
        Q_EMIT noteTitleChanged();
}

void TutorialNotchModel::setNoteBody(const QString &body)
{
    store(m_noteBody, body);
}

void TutorialNotchModel::setScrollDelta(double delta)
{
    if (store(m_scrollDelta, delta))
        Q_EMIT scrollDeltaChanged();
}

void TutorialNotchModel::setVoiceText(const QString &text)
{
    store(m_voiceText, text);
}

void TutorialNotchModel::setVoiceProgress(int progress)
{
    store(m_voiceProgress, progress);
}

void TutorialNotchModel::setPageCount(int count)
{
    store(m_pageCount, count);
}

void TutorialNotchModel::setCurrentPageIndex(int index)
{
    store(m_currentPageIndex, index);
}

void TutorialNotchModel::setArrowInstruction(const std::optional<QString> &instruction)
{
    store(m_arrowInstruction, instruction);
}

void TutorialNotchModel::setVoiceMode(bool voiceMode)
{
    store(m_voiceMode, voiceMode);
}

void TutorialNotchModel::setIsInvisibleDemo(bool demo)
{
    if (store(m_isInvisibleDemo, demo))
        Q_EMIT isInvisibleDemoChanged();
}

void TutorialNotchModel::setShowInvisibilityToggle(bool show)
{
    store(m_showInvisibilityToggle, show);
}

void TutorialNotchModel::setInvisibilityTried(bool tried)
{
    if (store(m_invisibilityTried, tried))
        Q_EMIT invisibilityTriedChanged();
}

void TutorialNotchModel::toggleInvisibleDemo()
{
    m_isInvisibleDemo = !m_isInvisibleDemo;
    Q_EMIT changed();
    Q_EMIT isInvisibleDemoChanged();
    setInvisibilityTried(true);
}
