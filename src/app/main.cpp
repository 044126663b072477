#include "app/Application.h"

int main(int argc, char* argv[]) {
    nerova::Application app(argc, argv);
    return app.run();
}
