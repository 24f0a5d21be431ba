// Whole runs on synthetic schools, checked by the independent validator, and
// the digest of their results that guards the search against changes made
// for speed.
#include <gtest/gtest.h>

#include "tests/organizer/Apoyo.h"
#include "tests/organizer/EscuelaSintetica.h"
#include "tests/organizer/Validador.h"

namespace {

struct TCaso {
    int Alumnos, Grupos, Optativas, Bloques;
    bool Ajustado;
    uint64_t Semilla;
};

struct TSalida {
    std::optional<TResultadoOrganizar> Resultado;
    std::vector<validador::TAlumnoColocado> Colocacion;
    int SinGrupo = 0;
    int64_t Comprobaciones = 0;
};

TSalida Ejecuta(const escuela::TEscuela& E) {
    apoyo::TMensajes m;
    TOrganizador o(m);
    TSalida s;
    TOpcionesOrganizar op;
    op.Opciones = E.SepararOpciones;
    s.Resultado = apoyo::Organiza(o, E.Datos, 1, op, [&](TOrganizador& x) {
        s.Colocacion = validador::Toma(x);
        s.SinGrupo = x.AlumnosSinGrupo();
        s.Comprobaciones = x.Estadistica.Comprobaciones;
    });
    return s;
}

uint64_t Digest(const TResultadoOrganizar& R) {
    uint64_t h = 1469598103934665603ULL;
    auto mezcla = [&](const AnsiString& s) {
        for (char c : s) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        h = (h ^ 0xFF) * 1099511628211ULL;
    };
    for (const auto& t : R.Tipos) {
        mezcla(IntToStr(t.NALUM) + t.OPCION);
        for (const auto& a : t.ASIG) mezcla(a);
    }
    for (const auto& t : R.TipGrup) {
        mezcla(IntToStr(t.NALUM) + t.GRUPO + t.OPCION);
        for (int k = 0; k < SlotsFila; ++k) mezcla(t.ASIG[k] + "." + t.DIV[k] + ":" + t.CON[k]);
    }
    return h;
}

class EscuelasSinteticas : public ::testing::TestWithParam<TCaso> {};

TEST_P(EscuelasSinteticas, TodosPlacesEveryoneWithinTheRules) {
    const TCaso c = GetParam();
    escuela::TParametros p{c.Alumnos, c.Grupos, c.Optativas, c.Bloques, c.Ajustado, c.Semilla};
    const escuela::TEscuela e = escuela::Genera(p);
    TSalida s = Ejecuta(e);
    ASSERT_TRUE(s.Resultado);
    EXPECT_EQ(s.SinGrupo, 0);
    for (const auto& f : validador::Comprueba(e.Datos, s.Colocacion, {e.SepararOpciones})) ADD_FAILURE() << f;
    for (const auto& f : validador::CompruebaFilas(e.Datos, s.Colocacion, *s.Resultado, TNumeracion::ABC))
        ADD_FAILURE() << f;
    std::printf("%d/%d seed %d: digest %llu checks %lld\n", c.Alumnos, c.Grupos, (int)c.Semilla,
                (unsigned long long)Digest(*s.Resultado), (long long)s.Comprobaciones);
}

INSTANTIATE_TEST_SUITE_P(Tamanos, EscuelasSinteticas,
                         ::testing::Values(TCaso{30, 2, 6, 2, false, 1}, TCaso{60, 2, 7, 2, false, 2},
                                           TCaso{90, 3, 8, 3, false, 3}, TCaso{120, 4, 9, 3, false, 4},
                                           TCaso{150, 5, 10, 3, true, 5}, TCaso{200, 7, 12, 4, false, 6},
                                           TCaso{300, 12, 15, 4, false, 7}));

}  // namespace
