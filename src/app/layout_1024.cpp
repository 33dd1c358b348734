#include "app/layout.h"

const Layout& layout() {
    static const Layout l{1024, 768, true, 0, 0, 512, 384, 1023, 767, 256, 128, 512};
    return l;
}
