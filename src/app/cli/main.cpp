// tavorix-cli: batch front end of Tavorix.
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: tavorix-cli <import|prepare> ...\n";
    return 2;
  }
  std::cerr << "tavorix-cli: unknown command '" << argv[1] << "'\n";
  return 2;
}
