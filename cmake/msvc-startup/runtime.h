// Shared by the entry points of the start-up unit.
#pragma once

// Runs the constructors of the module's static objects, in the order the linker placed them.
// Static objects that need destruction are not supported: the compiler registers their
// destructors with atexit, which this unit does not supply, so such a module does not link.
void run_static_constructors();
