#include "platform/widgets/EventPump.h"

#include <algorithm>
#include <chrono>

#include <QCoreApplication>
#include <QTimer>

namespace {
bool quitting = false;
}

void processPendingEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

double monotonicSeconds() {
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

bool quitRequested() { return quitting; }

void requestQuit() { quitting = true; }

void pauseSeconds(double seconds) {
    const double start = monotonicSeconds();
    if (!(monotonicSeconds() - start < seconds)) return;
    // The timer only wakes the wait below when no other event arrives in time.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(static_cast<int>(std::min(seconds * 1000.0, 1e9)) + 1);
    while (monotonicSeconds() - start < seconds && !quitRequested()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        if (!wake.isActive() && monotonicSeconds() - start < seconds) {
            wake.start(1);
        }
    }
}
