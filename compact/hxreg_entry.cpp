// Program entry of HXReg. The command line is ignored and there is no exit code to speak of.
#include "mod_main.h"

int main() {
  compact::Main();
  return 0;
}
