// The program's image resources, compiled in (generated at build time).
#pragma once

#include <cstddef>
#include <vector>

struct ResourceBlob {
    int id;
    const unsigned char *data; // a complete BMP or PNG file
    std::size_t size;
};

// Every image stored under a resource number (an icon has one per size);
// empty for an unknown number.
std::vector<ResourceBlob> FindResourceData(int id);
