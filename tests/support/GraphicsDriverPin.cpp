#include "support/GraphicsDriverPin.h"

#include <dlfcn.h>
#include <link.h>

#include <string>

namespace kestrel::test {

void KeepGraphicsDriversLoaded()
{
    static const bool pinned = [] {
        void* vendor = dlopen("libGLX_mesa.so.0", RTLD_NOW | RTLD_NODELETE);
        if (vendor == nullptr)
            return false;
        // The DRI drivers live in the "dri" folder beside the vendor library.
        link_map* map = nullptr;
        if (dlinfo(vendor, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr)
            return false;
        const std::string vendorPath = map->l_name;
        const std::string folder = vendorPath.substr(0, vendorPath.find_last_of('/') + 1);
        dlopen((folder + "dri/swrast_dri.so").c_str(), RTLD_NOW | RTLD_NODELETE);
        return true;
    }();
    (void)pinned;
}

} // namespace kestrel::test

// Every test program that may draw links this file; run by hand, it finds the suppressions of
// third-party allocations that the test script would otherwise pass in LSAN_OPTIONS.
extern "C" const char* __lsan_default_options()
{
    return "suppressions=" KESTREL_LSAN_SUPPRESSIONS;
}
