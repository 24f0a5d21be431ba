#pragma once
// The sample school: a made-up secondary school whose exchange folder and
// data folder ship in samples/, so the whole road can be walked without
// typing. Everything in it comes from a seed: the same seed and size give
// the same tables, byte for byte in their values.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Variants.h"

// A row of an exchange table: field name to value (a missing field stays
// blank).
using TFilaIntercambio = std::map<std::string, TVariant>;
// Exchange table name ("Cursost") to its rows in stored order. A table
// listed with no rows is written empty.
using TDatosIntercambio = std::map<std::string, std::vector<TFilaIntercambio>>;

// An optional block of a level and year: of these subjects each student
// takes Cuantas.
struct TBloqueEjemplo {
    AnsiString Nivel, Curso;
    int Bloque;
    int Cuantas;
    std::vector<AnsiString> Asignaturas;
};

struct TEscuelaEjemplo {
    TDatosIntercambio Intercambio;
    std::vector<TBloqueEjemplo> Bloques;
};

inline constexpr uint64_t SemillaEjemplo = 20260914;
inline constexpr int AlumnosEjemplo = 200;

// Three courses (4th year of ESO, and the first year of Bachillerato in the
// day and the night shift, which share their subjects), their subjects with
// hours, groups, teachers, classrooms and Alumnos students with their
// option letters, repeaters and subject choices. A school of more than about
// a thousand students teaches its years in afternoon shifts too, so that no
// course passes 450 students.
TEscuelaEjemplo GeneraEscuela(uint64_t Semilla = SemillaEjemplo, int Alumnos = AlumnosEjemplo);

// Writes the tables into the exchange folder Carpeta (a Windows path, made
// when missing), in the layout the import expects, replacing tables of the
// same names.
void EscribeIntercambio(const TDatosIntercambio& Datos, const AnsiString& Carpeta);

// The data folder Carpeta as the staff would leave it before organizing:
// imported from the exchange folder, every course's subjects classified
// (as opening the subjects screen does), the figures of the common and
// unused subjects fixed (as closing it does) and the optional blocks with
// their subjects per student filled in.
void PreparaCarpetaDatos(const TEscuelaEjemplo& Escuela, const AnsiString& Intercambio,
                         const AnsiString& Carpeta);
