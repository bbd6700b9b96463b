#include "platform/KavrelPlatform.h"

#include <cstring>

// Resources are linked into the library as data (see resources/embed-linux.S.in). The table is
// weak so that code without the resource object links and simply finds no resource.
namespace {
struct EmbeddedResource {
    const char* type;
    int64_t id;
    const uint8_t* data;
    uint64_t size;
};
} // namespace

extern "C" {
extern const EmbeddedResource kavrel_resource_table[] __attribute__((weak));
}

bool kavrel::platform::loadModuleResource(const char* type, int id, const uint8_t** data,
                                          size_t* size) {
    if (!type || !kavrel_resource_table) return false;
    for (const EmbeddedResource* r = kavrel_resource_table; r->type; ++r) {
        if (r->id != id || std::strcmp(r->type, type) != 0) continue;
        if (!r->data || r->size == 0) return false;
        *data = r->data;
        *size = static_cast<size_t>(r->size);
        return true;
    }
    return false;
}
