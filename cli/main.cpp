#include "cli/cli_options.h"

int main(int argc, char** argv) { return lumiva::runLumivaGen(argc, argv); }
