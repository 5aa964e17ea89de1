// Runs the program over the Windows host, which the Windows host's tests drive through the
// scriptable Win32 stand-in.
#pragma once

#include "shell/program.h"
#include "shell/win32/win32_host.h"

inline int RunPlanned(InstanceHandle instance, const RunPlan& plan) {
    Win32Host host(instance);
    Program program(host, plan);
    return program.Run();
}

inline int RunZorvik(InstanceHandle instance, const Options& options) {
    Win32Host host(instance);
    return RunZorvik(host, options);
}
