// The program's fixed console texts and the line writer that prints them.
#pragma once

#include <cstdio>
#include <span>

namespace trunpax {

// A fixed text: its lines in order. An empty line stands for a blank line.
using ConsoleText = std::span<const char* const>;

extern const ConsoleText UsageText;
extern const ConsoleText HelpText;
extern const ConsoleText NotWow64Text;

// Writes whole lines to one stream, flushing after each, so that every line
// reaches the operating system as soon as it is written. A refused write or
// flush leaves the stream in error; from then on nothing more is written, and
// nothing is reported: the caller's exit code never depends on its output.
struct ConsoleWriter {
    std::FILE* stream;
    const char* lineBreak;

    void WriteLine(const char* text) const;
    void WriteBlankLine() const;
    void WriteText(ConsoleText text) const;
};

}  // namespace trunpax
