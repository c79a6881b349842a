#pragma once
// Starting another program from one command line.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A command line split into the program and its arguments.
struct CommandLineParts {
    std::string program;
    std::vector<std::string> arguments;
};

// Splits a command line: the program is the text up to the first blank, or the text inside a
// leading pair of double quotes. The rest splits at blanks outside double quotes; an argument
// that is wholly one quoted text loses its quotes, other quotes stay as written, so that a
// program which joins its arguments with blanks ("/INI=\"folder\" file") sees the text the
// caller wrote. nullopt when there is no program (empty line, unclosed quote round it).
std::optional<CommandLineParts> SplitCommandLine(std::string_view cmdLine);

// Stateless process starter; virtual so that callers can be tested with a recording fake.
class CSystem {
  public:
    virtual ~CSystem() = default;

    // Starts the command line as a new process with the caller's environment and folder.
    // WindowStyle (default 0) has no meaning for a Linux program and is not used; Wait
    // (default false) waits for the program to end, without a time limit. Returns whether
    // the program started.
    virtual bool Shell(std::string_view CmdLine, std::optional<int> WindowStyle = std::nullopt,
                       std::optional<bool> Wait = std::nullopt) const;
};
