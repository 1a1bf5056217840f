#include "skin/ResourceData.h"

// Written into the build tree by the skin image generator.
extern const ResourceBlob g_resourceTable[];
extern const std::size_t g_resourceCount;

std::vector<ResourceBlob> FindResourceData(int id)
{
    std::vector<ResourceBlob> found;
    for (std::size_t i = 0; i < g_resourceCount; ++i)
        if (g_resourceTable[i].id == id)
            found.push_back(g_resourceTable[i]);
    return found;
}
