#include "app/program.h"

int main(int argc, char **argv)
{
    return mizro::app::runProgram(argc, argv);
}
