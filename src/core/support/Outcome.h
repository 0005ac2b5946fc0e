#pragma once

#include <QString>

namespace tl {

// What a core action did, for the window or the command-line tool to show:
// ok, or why not in Chinese words for the operator, with the technical
// detail kept for a details button. Core never shows it itself.
struct Outcome {
    enum class Kind {
        Ok,
        Refused, // the operator's input or a rule said no; message says why
        Failed,  // the file or the engine failed; detail holds its own words
    };

    Kind kind = Kind::Ok;
    QString message;
    QString detail;

    static Outcome ok() { return {}; }
    static Outcome refused(const QString& message) { return {Kind::Refused, message, {}}; }
    static Outcome failed(const QString& message, const QString& detail = QString()) {
        return {Kind::Failed, message, detail};
    }
    bool isOk() const { return kind == Kind::Ok; }
    explicit operator bool() const { return isOk(); }
};

} // namespace tl
