// x86ident: identifies the x86 processor it runs on.
#include <stdio.h>

#include "cpuid.h"
#include "output.h"
#include "report_driver.h"

int main()
{
    if (!cpuid_instruction_present()) {
        fputs("x86ident: this processor has no CPUID instruction\n", stderr);
        return 1;
    }
    run_report();
    return out_finish("x86ident");
}
