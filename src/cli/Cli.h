#pragma once

namespace tl::cli {

// The whole tool: parses the arguments, logs in, runs one command. Returns
// the exit code (0 done, 1 refused or failed, 2 wrong usage).
int run(int argc, char** argv);

} // namespace tl::cli
