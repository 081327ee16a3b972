/* stb_image's implementation for the fuzz targets (see CMakeLists.txt). */
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
