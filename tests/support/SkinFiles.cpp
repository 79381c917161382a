#include "SkinFiles.h"

#include "UiProbe.h"

#include <algorithm>

std::string PictureFolder() {
    std::string folder = "Z:" TEST_SUPPORT_DIR "/pictures";
    std::replace(folder.begin(), folder.end(), '/', '\\');
    return folder;
}

std::string PicturePath(const std::string& name) {
    return PictureFolder() + "\\" + name;
}

std::string PictureBytes(const std::string& name) {
    return ReadFileBytes(PicturePath(name));
}
