/* The picture decoder's implementation: on Linux it comes from libstb, which the cross
   build has no Windows copy of, so it is compiled here from the same header. */
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
