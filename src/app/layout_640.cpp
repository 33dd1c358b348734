#include "app/layout.h"

const Layout& layout() {
    static const Layout l{640, 480, false, -232, -144, 20, 20, 639, 479, 80, 0, 480};
    return l;
}
