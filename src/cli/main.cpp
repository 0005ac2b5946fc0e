#include "cli/Cli.h"

int main(int argc, char** argv) {
    return tl::cli::run(argc, argv);
}
