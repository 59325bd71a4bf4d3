#pragma once

// Chooses Qt Multimedia's FFmpeg backend for this process unless the environment names one:
// the default GStreamer backend crashes constructing a player here. Call before the
// QApplication is made.
void chooseMediaBackend();
