#pragma once

namespace velnor::cli {

// The three standard streams of one invocation, as file descriptors, and
// whether a person sits at them. Tests hand in files and set the flags.
struct CliStreams {
    int in = 0;
    int out = 1;
    int err = 2;
    bool inIsTerminal = false;   // questions may be asked on it
    bool errIsTerminal = false;  // the progress bar may be drawn on it
    bool errTakesEscapes = true; // it redraws the bar by escape sequences
    // A console window opened for the program alone, gone when it ends.
    bool consoleOfItsOwn = false;
};

// The process's own streams, with the flags taken from the system.
CliStreams StandardStreams();

} // namespace velnor::cli
