#pragma once

#include "rtfreadstate.h"

#include <QByteArrayView>

#include <string_view>

namespace zorv::rtf {

class Parser;

// How a control word acts, which decides what its action is given.
enum class KeywordClass : quint8 {
    Flag,        // does one thing; its parameter is ignored
    Toggle,      // turns a property on, or off with a parameter of 0
    Value,       // sets a value from its parameter (`arg` without one)
    Symbol,      // stands for the character `arg`
    Destination, // says what the text of its group is for; acts in every destination
};

// One control word the reader knows. A Destination word acts in every destination; a word
// of another class only in its `dest`, so a word may have one entry per destination.
struct Keyword
{
    // Flag and Destination: (arg, 0); Toggle: (arg, 1 or 0); Value: (arg, parameter).
    using Action = void (*)(Parser &, int arg, int value);

    std::string_view name;
    KeywordClass kind = KeywordClass::Flag;
    Dest dest = Dest::Text;
    int arg = 0;
    Action action = nullptr;
};

// The entry for `word` in destination `dest`: its own entry there, else its Destination
// entry, else null.
const Keyword *findKeyword(QByteArrayView word, Dest dest);

// Runs a control word found in the table, with the parameter the input gave it.
void runKeyword(Parser &parser, const Keyword &keyword, bool hasParam, int param);

} // namespace zorv::rtf
