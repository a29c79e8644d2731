// x86ident: identifies the x86 processor it runs on.
#include "output.h"
#include "report_driver.h"

int main()
{
    run_report();
    return out_finish("x86ident");
}
