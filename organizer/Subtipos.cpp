#include "organizer/Subtipos.h"

int SubtipoDeAlumno(const std::vector<TFilaSubtipo>& Subtipos, const TFilaAlumno& Alumno) {
    const auto asigs = AsignaturasDe(Alumno.ASIG);
    for (size_t i = 0; i < Subtipos.size(); ++i) {
        const auto& s = Subtipos[i];
        if (s.REPITE == Alumno.REPITE && s.OPCION == Alumno.OPCION && IncluyeAsignaturas(s.ASIG, asigs))
            return static_cast<int>(i);
    }
    return -1;
}

void CuentaSubtipos(std::vector<TFilaSubtipo>& Subtipos, const std::vector<TFilaAlumno>& Alumnos,
                    TNumeradorFilas& Numerador) {
    for (const auto& a : Alumnos) {
        if (a.ANULAR) continue;
        const int i = SubtipoDeAlumno(Subtipos, a);
        if (i >= 0) {
            ++Subtipos[static_cast<size_t>(i)].NALUM;
            continue;
        }
        TFilaSubtipo s;
        s.N = Numerador.Siguiente(PrimerNSubtipoCalculado);
        s.NALUM = 1;
        s.TNC = a.TNC;
        s.OPCION = a.OPCION;
        s.REPITE = a.REPITE;
        size_t k = 0;
        for (const auto& asig : AsignaturasDe(a.ASIG)) s.ASIG[k++] = asig;
        Subtipos.push_back(std::move(s));
    }
}
