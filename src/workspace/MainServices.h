#pragma once

#include <utility>

#include "platform/files/PhotoSave.h"
#include "platform/widgets/PrinterChoice.h"

class Dialogs;
class FaceModelSource;
class QThreadPool;

// Everything the main window reaches the world through, handed to it when it is made: the
// program passes the defaults, tests and benchmarks their own.
struct MainServices {
    MainServices() = default;
    explicit MainServices(Dialogs* dialogs, SaveServices save = {}, PrinterChoice printer = {})
        : dialogs(dialogs), save(std::move(save)), printer(std::move(printer)) {}

    // The open, save and printer dialogs and the message boxes; null: the real ones.
    Dialogs* dialogs = nullptr;
    // How File / "Save Photo" writes its files; empty members: the real ones.
    SaveServices save;
    // The printer File / "Print Photo" prints on until File / "Setup Printer" chooses another;
    // empty: the system's default printer.
    PrinterChoice printer;
    // The face model of File / "Passport Photo 2020..." and the threads its long jobs run on;
    // null: the program's own (FaceModelSource::shared(), counterWorkers()).
    FaceModelSource* faces = nullptr;
    QThreadPool* workers = nullptr;
};
