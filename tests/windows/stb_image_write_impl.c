/* The picture writer the draw-path test makes its pictures with: on Linux it comes from
   libstb, which the cross build has no Windows copy of. */
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
