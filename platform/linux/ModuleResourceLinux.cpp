#include "platform/KavrelPlatform.h"

#include <cstring>

// Resources are linked into the library as data (see resources/embed-linux.S.in). The symbols
// are weak so that code without the resource object links and simply finds no resource.
extern "C" {
extern const uint8_t kavrel_resource_presetbank_1000[] __attribute__((weak));
extern const uint8_t kavrel_resource_presetbank_1000_end[] __attribute__((weak));
}

bool kavrel::platform::loadModuleResource(const char* type, int id, const uint8_t** data,
                                          size_t* size) {
    if (std::strcmp(type, "PRESETBANK") != 0 || id != 1000) return false;
    const uint8_t* begin = kavrel_resource_presetbank_1000;
    const uint8_t* end = kavrel_resource_presetbank_1000_end;
    if (!begin || !end || end <= begin) return false;
    *data = begin;
    *size = static_cast<size_t>(end - begin);
    return true;
}
