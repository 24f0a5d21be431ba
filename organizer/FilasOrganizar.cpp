#include "organizer/FilasOrganizar.h"

#include <cmath>
#include <cstdint>

int EnteroDeTabla(double Valor) {
    if (std::isnan(Valor)) return 0;
    double r = std::nearbyint(Valor);
    if (r >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    if (r <= static_cast<double>(INT32_MIN)) return INT32_MIN;
    return static_cast<int>(r);
}
