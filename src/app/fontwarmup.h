#pragma once

// Reading the desktop's font configuration costs the first text on screen about ten
// milliseconds. Brivel starts that reading on a thread of its own as soon as it knows it will
// show a window, so it runs beside the application's set-up instead of inside the first layout.
namespace FontWarmUp {

// Begins reading the configuration; once per process, before the first text is laid out.
void start();
// Returns once the configuration is read; at once when it was never started.
void finish();

} // namespace FontWarmUp
