#pragma once
// The twelve tables of a data folder: their layouts, the course key that
// binds most of them to a course, and CreaTablas.
//
// How the layouts land on disk (the dBase engine decides the bytes; these are
// the decisions a reader of our files, or of the code that reads them, needs):
// - Every file is a dBase level-4 table (version byte 0x03; 0x83 for tipgrup2,
//   the only table with memos) with the language byte 0x57, Windows ANSI
//   (code page 1252): names like "Ibáñez" are stored as single bytes.
// - "small integer" fields are numeric N 6,0 (whole numbers up to 999999;
//   they read back as floats, and the screens write whole numbers);
//   HORAS, the one float, is numeric N 20,4, so 2.5 hours read back exactly.
// - An empty numeric reads as 0 when computed with (AsInteger, AsFloat) and
//   as the empty text through AsString; an empty logical reads false.
// - The memos of tipgrup2 live in tipgrup2.dbt, in the memo layout every
//   dBase reader takes (text ended by two 0x1A bytes).
// - Every table but conex has one production index (.mdx) with one tag per
//   key field, named like the field; the NALUM and CONTADOR tags are
//   descending. A lost or stale .mdx is rebuilt from the .dbf when the table
//   opens, so a table is never recreated because of its index.
// - Deleted rows stay in the file, hidden from every reader of ours, and are
//   never packed away.
#include <memory>
#include <string_view>
#include <vector>

#include "organizer/FilasOrganizar.h"
#include "platform/db/DB.h"
#include "platform/db/Table.h"

class TDataSet;
class TTable;

// The database the main window opens every data folder as.
inline constexpr const char* NombreBaseDatos = "Zelmor";

struct TCampoEscolar {
    AnsiString Nombre;
    TFieldType Tipo;  // ftString, ftSmallint, ftFloat, ftBoolean or ftMemo
    int Ancho;        // characters of an ftString; 0 for the other kinds
};

struct TTablaEscolar {
    const char* Nombre;  // lower-case: the table name we give and the name of its files
    std::vector<TCampoEscolar> Campos;
    std::vector<const char*> Etiquetas;  // one tag per key field, named like it
    // tipos2, tipgrup2 and conex belong to the types screen while it is open:
    // every opening of the folder starts them empty, except while another
    // program's screen holds them (TReservaTrabajo, organizer/TablasTipos.h).
    bool DeTrabajo = false;
};

// nomasg, cursos, grupos, prof, aulas, asigcur, alum, tipos, tipos2, tipgrup,
// tipgrup2, conex: the order of creation.
const std::vector<TTablaEscolar>& TablasEscolares();
// Raises EDatabaseError for a name that is none of the twelve.
const TTablaEscolar& TablaEscolar(std::string_view Nombre);
// Tags on these fields list the largest values first.
bool EtiquetaDescendente(std::string_view Campo);

// Whether a file name, in any letter case, is the data, index or memo file
// of one of the twelve tables ("ALUM.DBF", "tipgrup2.dbt").
bool EsFicheroDeTablaEscolar(std::string_view Nombre);

// Fills the table's FieldDefs and IndexDefs with the layout.
void DefineTabla(TTable& Tabla, const TTablaEscolar& Diseno);
// Creates the table in the layout (replacing one of that name) on the
// database, under the layout's name or under TableName (the conversion's
// temporary tables).
void CreaTabla(const AnsiString& DatabaseName, const TTablaEscolar& Diseno, const AnsiString& TableName = {});

// Makes sure the database's folder holds the twelve tables: the working
// tables are made anew and empty, unless another program holds their claim
// (its types screen or placing dialog is open on them): then they are left
// as they are and the user is told; a stored table whose data file is there
// and has the fields of its layout keeps its rows (its index is rebuilt from
// the data when it was lost or is stale, as after another dBase program
// wrote the table); one damaged only at the end of its data file (cut
// short, a header counting more or fewer records than the file holds, a
// part of a record after the last) keeps every whole row, its former bytes
// copied to "<name>.dbf.bak"; a stored table whose data file is missing is
// created empty, and so is one whose header is damaged beyond reading or
// that holds other fields (another table's file copied over it), after its
// bytes are kept aside as "<name>.dbf.bak". The user is told of each. A name
// of a table's files taken by a folder refuses the whole folder
// (EDatabaseError) before anything is written.
void CreaTablas(const AnsiString& DatabaseName);
// The twelve tables, empty, in a folder that holds none of them yet.
void CreaTablasNuevas(const AnsiString& DatabaseName);

// The Windows folder (with its trailing "\") a database name stands for: the
// "Path=" of a database component of that name, or the name itself.
AnsiString CarpetaDeBase(const AnsiString& DatabaseName);

// The names of a numbered run of fields: Numerados("ASIG", 20) gives
// ASIG1 .. ASIG20 (the subject slots; DIV and CON run alongside them, NMAXAL
// to 30).
std::vector<AnsiString> Numerados(std::string_view Prefijo, int Cuantos);
inline constexpr int HuecosAsignatura = 20;
// MaximosGrupo (30, NMAXAL1 .. NMAXAL30) comes with the rows of organizer/FilasOrganizar.h.

// Course key TNC: shift, level and year as their fields give them back,
// joined without separators ("D" "ESO" "4" -> "DESO4").
AnsiString ClaveCurso(const AnsiString& Turno, const AnsiString& Nivel, const AnsiString& Curso);
// "TNC='<key>'" with every apostrophe of the key doubled, so a key holding
// one still names exactly its course.
AnsiString FiltroCurso(const AnsiString& TNC);
// Shows only the course's rows. The filter compares whole texts: a key
// ending in '*' is not taken as a prefix.
void FiltraPorCurso(TDataSet& Tabla, const AnsiString& TNC);

// Table objects of one operation: NewTempTable and OpenTempTable of
// platform/db/Table.h.
