// Zelmor's entry point.
#include <cstdio>

#include "platform/rtl/Strings.h"

int main() {
    std::printf("%s\n", ToUtf8("Zelmor: el programa arranca, pero la ventana principal todavía no existe "
                               "en esta versión.").c_str());
    return 0;
}
