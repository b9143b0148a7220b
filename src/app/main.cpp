// Process entry: hands the application to the framework; a failure that ends
// the run becomes one line on standard error and exit status 1.
#include "app/application.h"

int main(int argc, char** argv) { return loom::app::runAppReportingFailure<Application>("strophe", argc, argv); }
