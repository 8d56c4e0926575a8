#!/usr/bin/env python3
"""Writes centro-ejemplo.xml: a small invented school in the exchange document's form.

Everything in it is made up. It holds two time frames (morning "1" and afternoon "2"),
30 teachers, 20 rooms and a set of generic rooms, 12 groups over both frames, subjects, tasks
and 150 teaching sessions, with a few awkward cases on purpose (see README.md).
Standard library only; the output is the same on every run.
"""

import sys
from pathlib import Path
from xml.sax.saxutils import escape, quoteattr

SUBJECTS = [
    "Matemáticas",
    "Matemáticas Aplicadas",
    "Matemáticas Académicas",
    "Lengua Castellana y Literatura",
    "Inglés",
    "Francés",
    "Geografía e Historia",
    "Biología y Geología",
    "Física y Química",
    "Educación Física",
    "Música",
    "Tecnología",
    "Educación Plástica, Visual y Audiovisual",
    "Filosofía",
    "Historia de España",
    "Economía",
    "Latín",
    "Dibujo Técnico",
    "Valores Éticos",
    "Religión",
]

TASKS = ["Guardia", "Tutoría", "Biblioteca", "Reunión de Departamento", "Atención a Familias"]

# (nombre, nombreCompleto). Two teachers share a nombre; one nombre is long enough to be
# folded into a short code; one carries blanks around it.
TEACHERS = [
    ("García L.", "Lucía García Herrero"),
    ("Martín P.", "Pablo Martín Ortega"),
    ("Martín P.", "Paula Martín Sáez"),
    ("Fernández-Villaverde R.", "Rocío Fernández-Villaverde Ibáñez"),
    ("  Núñez A.  ", "Andrés Núñez Peña"),
    ("López M.", "María López Cabrera"),
    ("Sánchez J.", "Javier Sánchez Rubio"),
    ("Pérez C.", "Carmen Pérez Molina"),
    ("Gómez D.", "Diego Gómez Serrano"),
    ("Ruiz E.", "Elena Ruiz Castaño"),
    ("Díaz F.", "Fernando Díaz Vidal"),
    ("Moreno I.", "Irene Moreno Gil"),
    ("Muñoz R.", "Raúl Muñoz Benítez"),
    ("Álvarez S.", "Sofía Álvarez Lozano"),
    ("Romero T.", "Tomás Romero Arias"),
    ("Navarro B.", "Beatriz Navarro Prieto"),
    ("Torres G.", "Gonzalo Torres Méndez"),
    ("Domínguez N.", "Nuria Domínguez Calvo"),
    ("Vázquez O.", "Óscar Vázquez León"),
    ("Ramos V.", "Verónica Ramos Campos"),
    ("Gil H.", "Hugo Gil Marín"),
    ("Serrano Á.", "Ángela Serrano Rojas"),
    ("Blanco M.", "Manuel Blanco Fuentes"),
    ("Molina L.", "Laura Molina Cano"),
    ("Castro A.", "Alberto Castro Pastor"),
    ("Ortiz C.", "Cristina Ortiz Medina"),
    ("Rubio J.", "Jorge Rubio Soto"),
    ("Marín E.", "Esther Marín Herrera"),
    ("Iglesias R.", "Ramón Iglesias Vega"),
    ("Peña Z.", "Zoe Peña Cortés"),
]

ROOMS = [
    "Aula 101", "Aula 102", "Aula 103", "Aula 104", "Aula 105", "Aula 106",
    "Aula 201", "Aula 202", "Aula 203", "Aula 204", "Aula 205", "Aula 206",
    "Laboratorio de Física", "Laboratorio de Química", "Laboratorio de Biología",
    "Taller de Tecnología", "Aula de Música", "Aula de Plástica", "Gimnasio",
    "Sala de Informática",
]

# (frame, nombre, nivel, curso, unidad)
GROUPS = [("1", f"{c}º ESO {u}", "ESO", str(c), u) for c in (1, 2, 3, 4) for u in ("A", "B")]
GROUPS += [("2", f"{c}º Bachillerato {u}", "BACH", str(c), u) for c in (1, 2) for u in ("A", "B")]

# (index, start, end, kind) of each day; Monday to Friday.
FRAMES = {
    "1": ("Mañana", [
        (1, "08:30", "09:25", "Lectivo"), (2, "09:25", "10:20", "Lectivo"),
        (3, "10:20", "11:15", "Lectivo"), (4, "11:15", "11:45", "Recreo"),
        (5, "11:45", "12:40", "Lectivo"), (6, "12:40", "13:35", "Lectivo"),
        (7, "13:35", "14:30", "Lectivo"),
    ]),
    "2": ("Tarde", [
        (1, "15:30", "16:25", "Lectivo"), (2, "16:25", "17:20", "Lectivo"),
        (3, "17:20", "18:15", "Lectivo"), (4, "18:15", "18:35", "Recreo"),
        (5, "18:35", "19:30", "Lectivo"), (6, "19:30", "20:25", "Lectivo"),
    ]),
}

# Weekly sessions of each subject, by level; each group's week fits its frame (30 and 25
# teaching slots) with a little room to spare.
PLAN = {
    "ESO": [("Matemáticas", 4), ("Lengua Castellana y Literatura", 4), ("Inglés", 3),
            ("Geografía e Historia", 3), ("Biología y Geología", 2), ("Física y Química", 2),
            ("Educación Física", 2), ("Música", 2), ("Tecnología", 2),
            ("Educación Plástica, Visual y Audiovisual", 1), ("Francés", 1),
            ("Valores Éticos", 1)],
    "BACH": [("Matemáticas Académicas", 3), ("Lengua Castellana y Literatura", 3),
             ("Inglés", 3), ("Filosofía", 2), ("Historia de España", 2), ("Economía", 2),
             ("Física y Química", 2), ("Latín", 2), ("Dibujo Técnico", 2),
             ("Educación Física", 2), ("Religión", 1), ("Biología y Geología", 1)],
}

# Teachers of each subject, taken in turn (by position in TEACHERS).
TEACHES = {
    "Matemáticas": [0, 1], "Matemáticas Académicas": [2], "Lengua Castellana y Literatura": [3, 4],
    "Inglés": [5, 6], "Francés": [7], "Geografía e Historia": [8, 9], "Historia de España": [9],
    "Biología y Geología": [10, 11], "Física y Química": [12, 13], "Educación Física": [14, 15],
    "Música": [16], "Tecnología": [17, 18], "Educación Plástica, Visual y Audiovisual": [19],
    "Filosofía": [20], "Economía": [21], "Latín": [22], "Dibujo Técnico": [23],
    "Valores Éticos": [24], "Religión": [25],
}


def element(name, text, indent):
    return f"{indent}<{name}>{escape(text)}</{name}>"


def sessions():
    """(materia, profesor, grupo, tarea, numSesiones) of every session, 150 in all."""
    out = []
    turn = {}
    for _, nombre, nivel, _, _ in GROUPS:
        for materia, weekly in PLAN[nivel]:
            teachers = TEACHES[materia]
            k = turn.get(materia, 0)
            turn[materia] = k + 1
            profesor = TEACHERS[teachers[k % len(teachers)]][0].strip()
            out.append((materia, profesor, nombre, "", str(weekly)))
    # Tutorials: a task named as the subject, with its task code.
    for i, (_, nombre, _, _, _) in enumerate(GROUPS[:2]):
        out.append(("Tutoría", TEACHERS[26 + i][0], nombre, "Tutoría", "1"))
    # Awkward cases, each on purpose.
    out.append(("Astronomía Recreativa", "Rubio J.", "3º ESO A", "", "1"))  # unknown subject
    out.append(("Música", "Profesor Desconocido", "4º ESO B", "", "2"))  # teacher not found
    out.append(("Latín", "Serrano Á.", "2º Bachillerato C", "", "3"))  # group not found
    out.append(("Economía", "Marín E.", "2º Bachillerato B", "Guardia", ""))  # empty count
    assert len(out) == 150, len(out)
    return out


def document():
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "<datosRVT>"]
    lines.append("  <materias>")
    lines += [element("materia", s, "    ") for s in SUBJECTS]
    lines.append("  </materias>")
    lines.append("  <tareas>")
    lines += [element("tarea", t, "    ") for t in TASKS]
    lines.append("  </tareas>")
    lines.append("  <profesores>")
    for nombre, completo in TEACHERS:
        lines.append("    <profesor>")
        lines.append(element("nombre", nombre, "      "))
        lines.append(element("nombreCompleto", completo, "      "))
        lines.append("    </profesor>")
    lines.append("  </profesores>")
    lines.append("  <aulas>")
    for room in ROOMS:
        lines.append(f"    <aula>{element('nombre', room, '')}</aula>")
    lines.append("  </aulas>")
    lines.append("  <conjuntoDeAulas>")
    lines.append('    <general nombre="Genérica" numero="4"/>')
    lines.append("  </conjuntoDeAulas>")
    lines.append("  <grupos>")
    for frame, nombre, nivel, curso, unidad in GROUPS:
        lines.append(f"    <grupo submarco={quoteattr(frame)}>")
        for name, value in (("nombre", nombre), ("nivel", nivel), ("curso", curso),
                            ("unidad", unidad)):
            lines.append(element(name, value, "      "))
        lines.append("    </grupo>")
    lines.append("  </grupos>")
    lines.append("  <sesionesLectivas>")
    for number, (materia, profesor, grupo, tarea, weekly) in enumerate(sessions(), start=1):
        lines.append(f'    <sesion numero="{number}">')
        lines.append(element("materia", materia, "      "))
        lines.append(element("profesor", profesor, "      "))
        lines.append(element("grupo", grupo, "      "))
        lines.append(element("tarea", tarea, "      "))
        lines.append("      <distribucionSemanal><distribucionVariable>"
                     f"{element('numSesiones', weekly, '')}"
                     "</distribucionVariable></distribucionSemanal>")
        lines.append("    </sesion>")
    lines.append("  </sesionesLectivas>")
    lines.append("  <marcosDeHorario>")
    for frame, (description, slots) in FRAMES.items():
        lines.append(f"    <marcoHorario id={quoteattr(frame)} descripcion={quoteattr(description)}>")
        for day in range(5):
            for index, start, end, kind in slots:
                lines.append("      <tramo>"
                             f"<submarco>{frame}</submarco><dia>{day}</dia>"
                             f"<indice>{index}</indice><horaEntrada>{start}</horaEntrada>"
                             f"<horaSalida>{end}</horaSalida><Tipo>{kind}</Tipo></tramo>")
        lines.append("    </marcoHorario>")
    lines.append("  </marcosDeHorario>")
    lines.append("</datosRVT>")
    return "\n".join(lines) + "\n"


def main():
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("centro-ejemplo.xml")
    target.write_text(document(), encoding="utf-8")


if __name__ == "__main__":
    main()
