// A module for LoadLibraryW / GetProcAddress to find beside the test program.
extern "C" int qcModuleAnswer() { return 42; }
