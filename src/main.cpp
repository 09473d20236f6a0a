#include <csignal>

#include "app/LumicutApp.h"

int main(int argc, char* argv[]) {
    // A write past the file-size limit must fail like a full disk (the save reports it and
    // keeps the earlier file), not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    LumicutApp app(argc, argv);
    return app.run();
}
