// Process entry: hands the application to the framework.
#include "app/application.h"

int main(int argc, char** argv) { return loom::app::runApp<Application>(argc, argv); }
