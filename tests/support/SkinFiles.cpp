#include "SkinFiles.h"

#include "UiProbe.h"

std::string PictureFolder() {
    return ToWinePath(TEST_SUPPORT_DIR "/pictures");
}

std::string PicturePath(const std::string& name) {
    return PictureFolder() + "\\" + name;
}

std::string PictureBytes(const std::string& name) {
    return ReadFileBytes(PicturePath(name));
}
