#pragma once
// The tests' access to the organizer's insides. The program sees the
// organizer only through EjecutaOrganizar, the dialog's session and the
// summary; its tests also check the search one step at a time (the
// placement checks, the displacement strategies, the undo) and read the
// placement a run left before the write-back frees it, and the benchmark
// counts the work of a run. Only what they use is opened here.
#include "organizer/Organizar.h"

class TOrganizadorPrueba : public TOrganizador {
public:
    using TOrganizador::TOrganizador;

    // the dialog's side
    using TOrganizador::AlumnosSinGrupo;
    using TOrganizador::HuboEjecucion;
    using TOrganizador::TotalAlumnos;

    // steps
    using TOrganizador::AgrupaTipos;
    using TOrganizador::AsignaClav;
    using TOrganizador::CargaDatos;
    using TOrganizador::CompruebaDatos;
    using TOrganizador::CuentaTipos;

    // checks
    using TOrganizador::AlcanzaConexion;
    using TOrganizador::AsignaConexion;
    using TOrganizador::BloqueEnDivision;
    using TOrganizador::CabeEnDivision;
    using TOrganizador::CabeEnGrupo;
    using TOrganizador::CodigosCambiados;
    using TOrganizador::ConexionesNuevas;
    using TOrganizador::DivisionDelGrupo;
    using TOrganizador::GrupoEnDivision;
    using TOrganizador::MarcaConexion;
    using TOrganizador::MayorConexion;
    using TOrganizador::OpcionDelGrupo;
    using TOrganizador::PonCodigo;
    using TOrganizador::RestableceTrabajo;

    // search and undo
    using TOrganizador::ColocaNodo;
    using TOrganizador::CreaArbol;
    using TOrganizador::DeshaceHasta;
    using TOrganizador::DesplazaTipo;
    using TOrganizador::IniciaNodo;
    using TOrganizador::Instantanea;
    using TOrganizador::MarcaDiario;
    using TOrganizador::SecuenciaBusqueda;
    using TOrganizador::TamanoLote;

    // hooks: a failing allocation by tag, and a call before and after every try of a batch
    using TOrganizador::AntesDeIntento;
    using TOrganizador::DespuesDeIntento;
    using TOrganizador::FalloMemoria;

    // model and state
    using TOrganizador::AlumnoActual;
    using TOrganizador::Alumnos;
    using TOrganizador::Comparten;
    using TOrganizador::Estadistica;
    using TOrganizador::EstAsig;
    using TOrganizador::EstCurso;
    using TOrganizador::Memo;
    using TOrganizador::NumAlumnos;
    using TOrganizador::NumAsigs;
    using TOrganizador::OpcionesEnVigor;
    using TOrganizador::PrimerEquilibrio;
    using TOrganizador::SelloRelleno;
};
