#include "gui/mainwindow/EntryOpeners.h"

#include <array>

namespace tl {

namespace {

std::array<EntryOpener, 3>& table() {
    static std::array<EntryOpener, 3> openers;
    return openers;
}

} // namespace

void EntryOpeners::install(EntryKind kind, EntryOpener opener) {
    table()[static_cast<size_t>(kind)] = std::move(opener);
}

bool EntryOpeners::has(EntryKind kind) {
    return static_cast<bool>(table()[static_cast<size_t>(kind)]);
}

const EntryOpener& EntryOpeners::opener(EntryKind kind) {
    return table()[static_cast<size_t>(kind)];
}

} // namespace tl
