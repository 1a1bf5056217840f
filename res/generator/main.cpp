// Draws the skin images and the program's image resources:
//   tovix-skin-generator <folder for Skins/> <resource folder> <resource source file>
#include "Images.h"

#include "skin/SkinAtlas.h"

#include <cstdio>
#include <sys/stat.h>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <folder for Skins/> <resource folder> <resource source file>\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1], resources = argv[2];
    mkdir((root + "/Skins").c_str(), 0755);
    mkdir(resources.c_str(), 0755);
    const bool ok = DrawMainSkin(root + "/" + MainSkin::kFile) && DrawSubSkin(root + "/" + SubSkin::kFile) &&
                    DrawItemStatusSkin(root + "/" + ItemStatusSkin::kFile) &&
                    DrawDefaultPicture(root + "/" + kDefaultPictureFile) && DrawResources(resources, argv[3]);
    return ok ? 0 : 1;
}
