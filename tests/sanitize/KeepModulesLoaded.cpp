// Linked into every executable of the sanitizer build only (see the top CMakeLists.txt).
//
// The GL driver (Mesa's swrast_dri.so) is dlopen'ed when the window opens and dlclose'd
// when SDL closes the display, before LeakSanitizer looks at the heap at exit. Objects the
// driver keeps for the life of the process then look leaked, and their allocation stacks
// point into a module that is no longer mapped, so no suppression can name them. This
// dlclose takes the place of the C library's for the whole process (the executable's
// definition comes first in symbol lookup) and leaves every module loaded, so the
// driver's memory stays reachable, and whatever it does leak is reported under its name.
#include <dlfcn.h>

extern "C" int dlclose(void*) {
    return 0;
}
