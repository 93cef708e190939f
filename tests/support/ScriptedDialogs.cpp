#include "ScriptedDialogs.h"

namespace {
template <typename T>
T take(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}
}  // namespace

QString ScriptedDialogs::openFile(const FileFilter& filter) {
    openRequests.push_back(filter);
    return take(openAnswers, QString());
}

QString ScriptedDialogs::saveFile(const FileFilter& filter) {
    return saveFileNamed(filter, QString());
}

QString ScriptedDialogs::saveFileNamed(const FileFilter& filter, const QString& suggestedPath) {
    saveRequests.push_back(filter);
    saveSuggestions << suggestedPath;
    return take(saveAnswers, QString());
}

bool ScriptedDialogs::setupPrinter(PrinterChoice& choice) {
    ++printerRequests;
    const std::optional<PrinterChoice> answer =
        take(printerAnswers, std::optional<PrinterChoice>());
    if (!answer) return false;
    choice = *answer;
    return true;
}

bool ScriptedDialogs::choosePrinter(PrinterChoice& choice) {
    printPresets.push_back(choice);
    const std::optional<PrinterChoice> answer = take(printAnswers, std::optional<PrinterChoice>());
    if (!answer) return false;
    choice = *answer;
    return true;
}

void ScriptedDialogs::message(const QString& text) {
    messages << text;
    if (onMessage) onMessage(text);
}

bool ScriptedDialogs::ask(const QString& text) {
    questions << text;
    return take(askAnswers, false);
}
