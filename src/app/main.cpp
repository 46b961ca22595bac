#include "windowset.h"

int main(int argc, char **argv)
{
    return zorv::deskMain(argc, argv);
}
