// Program entry of the KISS-488 GPIB Quillstone Logger.
#include "qt/LoggerMain.h"

int main(int argc, char** argv) { return qs::RunLogger(argc, argv); }
