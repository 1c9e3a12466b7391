// Entry point of the engine.
#include "shell/engine.h"

int main(int argc, char** argv) { return orv::runEngine(argc, argv); }
