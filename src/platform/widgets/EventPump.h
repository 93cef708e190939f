#pragma once

// Lets the window system deliver all pending events (paint, mouse, menu) and returns.
// Long operations call it to keep the windows alive; handlers may run inside it.
void processPendingEvents();

// Seconds on a clock that never jumps back (unlike the time of day, which restarts at
// midnight); only differences between two readings mean anything.
double monotonicSeconds();

// Set once the user chose to end the program. Long operations that let events run check it
// after each pass and stop early, so that the program can close cleanly.
bool quitRequested();
void requestQuit();

// Waits `seconds` while still handling window events, without spinning the processor.
// Measures on the monotonic clock, so a pause across midnight still ends on time. A
// duration of 0 or less returns after one test without handling events; a pause also ends
// early once the user chose to end the program.
void pauseSeconds(double seconds);
