#include "counter/Workers.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

QThreadPool* counterWorkers() {
    static QPointer<QThreadPool> pool;
    if (!pool) {
        pool = new QThreadPool(QCoreApplication::instance());
        // The model's load and the halved copies run side by side when the window opens;
        // the search follows the load.
        pool->setMaxThreadCount(2);
    }
    return pool;
}
