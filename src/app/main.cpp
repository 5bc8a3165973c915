// Korvel, a calculator for expressions with memories.
#include "app/ccorvalinapp.h"

int main(int argc, char *argv[])
{
    CCorvalinApp app(argc, argv);
    return app.InitInstance();
}
