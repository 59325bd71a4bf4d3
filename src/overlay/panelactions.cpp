#include "panelactions.h"

#include "overlay/model/overlaycontent.h"
#include "speech/speechrecognizer.h"

void PanelActions::minimizeFromPicker(OverlayContent &content)
{
    content.setShowPagePicker(false);
    content.setIsCollapsed(true);
    content.setIsMiniMode(true);
}

void PanelActions::closeSession(SpeechRecognizer &recognizer)
{
    recognizer.stopListening();
    recognizer.setShouldDismiss(true);
}
