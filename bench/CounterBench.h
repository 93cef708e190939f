#pragma once

#include <QString>

// Measured on a child process, where the face model is not loaded yet: the counter-photo
// window opened from the main window on the 24-megapixel face.
struct CounterFigures {
    double peakMegabytes = -1;       // peak resident memory, window open and framed
    double photoOnlyMegabytes = -1;  // the same before the window opened (photo loaded)
    double modelLoadMs = -1;         // window opened to model ready
    double openingMs = -1;           // the window made and first painted: the timer's first wait
    double longestStallMs = -1;      // longest wait of a 10 ms timer after that, while it loads
    double longestStallWorkMs = -1;  // the window thread's processor time in that wait: the
                                     // wait on a processor that other programs do not share
    double ticks = -1;               // how often that timer fired meanwhile
    double framedMs = -1;            // window opened to the framed photo on screen
};
CounterFigures measureCounterWindow(const char* selfPath);

// The bench program started as that child: returns true (and has printed the figures) when
// argv asked for it.
bool runCounterWindowChild(int argc, char** argv);

// Size of the face model file, in MB; -1 when it is missing.
double faceModelFileMegabytes();
