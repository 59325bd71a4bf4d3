#pragma once

class OverlayContent;
class SpeechRecognizer;

// What the window buttons of the pinned and the floating panel do. They only write requests;
// the controller's poll (or a duplicate window's own) acts on them.
namespace PanelActions {

// Minimise from the page picker: the picker closes into the mini form of the collapsed bar.
void minimizeFromPicker(OverlayContent &content);
// Close: the voice follower stops and the reading session is asked to end.
void closeSession(SpeechRecognizer &recognizer);

} // namespace PanelActions
