#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/widgets/Dialogs.h"
#include "platform/widgets/PrinterChoice.h"

// Dialogs answered from a script instead of a human (tests, benchmarks, the screenshot tool). Each call takes the next queued answer;
// an empty queue answers like a user who cancels (empty path, false, No). Every request is
// recorded, so tests can check what the program asked.
class ScriptedDialogs : public Dialogs {
public:
    QString openFile(const FileFilter& filter) override;
    QString saveFile(const FileFilter& filter) override;
    QString saveFileNamed(const FileFilter& filter, const QString& suggestedPath) override;
    bool setupPrinter(PrinterChoice& choice) override;
    bool choosePrinter(PrinterChoice& choice) override;
    void message(const QString& text) override;
    bool ask(const QString& text) override;

    // Answers, taken in order.
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<std::optional<PrinterChoice>> printerAnswers;  // nullopt = Cancel
    // The print dialog before printing; nullopt = Cancel.
    std::deque<std::optional<PrinterChoice>> printAnswers;
    std::deque<bool> askAnswers;
    // Runs inside a message box (the program waits in it), e.g. to check state meanwhile.
    std::function<void(const QString&)> onMessage;

    // What was asked.
    std::vector<FileFilter> openRequests;
    std::vector<FileFilter> saveRequests;
    QStringList saveSuggestions;  // the preset of each save dialog; empty when none
    int printerRequests = 0;
    std::vector<PrinterChoice> printPresets;  // what each print dialog was opened on
    QStringList messages;
    QStringList questions;
};
