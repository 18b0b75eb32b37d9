#ifndef NOCTAVI_TESTS_SUPPORT_PNGPICTURE_H
#define NOCTAVI_TESTS_SUPPORT_PNGPICTURE_H

#include <string>

namespace support {

// The bytes of a PNG file of one colour, as a machine may send a thumbnail.
std::string PngPicture(int width, int height);

} // namespace support

#endif
