#pragma once

namespace platform {

// Makes the answers to --help and --version reach the console the program was started
// from. On Windows the program is a window program, which has no console of its own: it
// writes to the one it was started from, unless its output already goes to a file or a
// pipe. Elsewhere the program's output is its terminal's already.
void useParentConsole();

}  // namespace platform
