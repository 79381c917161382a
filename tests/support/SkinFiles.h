// The picture and cursor files that the skin tests load, committed in
// tests/support/pictures (drawn there by make-pictures.sh); each name says
// what the file holds, e.g. "red-2x2.bmp", "quarter-4x4.bmp", "arrow-32.cur".
#pragma once

#include <string>

// The folder of the pictures, as a program under Wine names it.
std::string PictureFolder();
std::string PicturePath(const std::string& name);
// The file's bytes; empty when there is no such picture.
std::string PictureBytes(const std::string& name);
