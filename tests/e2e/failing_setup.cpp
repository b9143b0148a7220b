// A program whose set-up throws, entered the way strophe is.
#include <stdexcept>

#include "framework/app/app.h"

namespace {

class FailingSetup : public loom::app::AppBasic {
  void setup() override { throw std::runtime_error("set-up failed\non purpose"); }
};

}  // namespace

int main(int argc, char** argv) { return loom::app::runAppReportingFailure<FailingSetup>("strophe", argc, argv); }
