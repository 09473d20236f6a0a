#include "app/LumicutApp.h"

int main(int argc, char* argv[]) {
    CLumicutApp app(argc, argv);
    return app.Run();
}
