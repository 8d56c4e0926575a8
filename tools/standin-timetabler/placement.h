#pragma once

#include <string>
#include <vector>

// The stand-in timetabler's placement: plain values in, SOLUC rows out. It knows nothing of
// files, so tests can pose small problems directly.
namespace ttp::standin {

// One teaching slot of a frame (a DIASHORAST row).
struct Slot {
    int dia = 0;        // 1 = Monday
    int hora = 0;       // slot number in the day
    std::string marco;  // frame digit
    // Minutes since midnight; -1 when the row's times cannot be read.
    int desde = -1;
    int hasta = -1;
};

// A group and the frame digit it is taught in (a GRUPOST row).
struct Group {
    std::string abrev;
    std::string marco;
};

// One teaching assignment (an ASIGT row): `horas` sessions a week of a subject to a group.
struct Course {
    std::string casig, cprof, cgrup, turno, nivel, curso, grupo, sesiones, ctarea;
    int horas = 0;
};

struct Problem {
    std::vector<Slot> slots;
    std::vector<Group> groups;
    std::vector<std::string> rooms;  // codes of the ordinary rooms, in AULAT order
    std::vector<Course> courses;
};

// One SOLUC row: a placed session, or one that could not be placed (dia 0).
struct SolucRow {
    int dia = 0;
    int hora = 0;
    std::string marco, aula, asig, codgrupo, prof, turno, nivel, curso, grupo, tarea, sesiones;
};

// Sessions of one course beyond this are not placed (a week holds far fewer slots).
inline constexpr int kMaxSessionsPerCourse = 200;

// True when the two slots overlap in time: same day and overlapping hours, or, when either
// lacks readable hours, the same frame and slot number.
bool clash(const Slot& a, const Slot& b);

// Places every session of every course (the busiest teachers' courses first) into distinct slots of
// its group's frame so that no group, teacher or room is in two places at once; spreads a course
// over the week, assigns ordinary rooms (tasks and every fourth session get none) and writes a dia
// 0 row for each session that finds no slot. Deterministic.
std::vector<SolucRow> place(const Problem& problem);

}  // namespace ttp::standin
