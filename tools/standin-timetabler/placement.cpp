#include "placement.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <map>
#include <string>

namespace ttp::standin {

namespace {

bool hasTimes(const Slot& s) {
    return s.desde >= 0 && s.hasta > s.desde;
}

struct Booking {
    std::size_t slot;
    std::string group, teacher, room;  // empty: nobody to keep apart
};

class Week {
  public:
    explicit Week(const Problem& problem) : problem_(problem) {}

    bool groupFree(std::size_t slot, const std::string& group) const {
        return free(slot, [&](const Booking& b) { return b.group == group; });
    }
    bool teacherFree(std::size_t slot, const std::string& teacher) const {
        return teacher.empty() ||
               free(slot, [&](const Booking& b) { return b.teacher == teacher; });
    }
    bool roomFree(std::size_t slot, const std::string& room) const {
        return free(slot, [&](const Booking& b) { return b.room == room; });
    }
    void book(Booking booking) { bookings_.push_back(std::move(booking)); }

  private:
    template <class Same>
    bool free(std::size_t slot, Same same) const {
        const Slot& s = problem_.slots[slot];
        for (const Booking& b : bookings_) {
            if (same(b) && clash(s, problem_.slots[b.slot])) return false;
        }
        return true;
    }

    const Problem& problem_;
    std::vector<Booking> bookings_;
};

const Group* findGroup(const Problem& problem, const std::string& abrev) {
    if (abrev.empty()) return nullptr;
    for (const Group& g : problem.groups) {
        if (g.abrev == abrev) return &g;
    }
    return nullptr;
}

SolucRow rowFor(const Course& c) {
    SolucRow row;
    row.asig = c.casig;
    row.codgrupo = c.cgrup;
    row.prof = c.cprof;
    row.turno = c.turno;
    row.nivel = c.nivel;
    row.curso = c.curso;
    row.grupo = c.grupo;
    row.tarea = c.ctarea;
    row.sesiones = c.sesiones;
    return row;
}

// Courses of the busiest teachers first: their sessions have the fewest places to go.
// Otherwise table order (a stable sort), so the result stays deterministic.
std::vector<std::size_t> placementOrder(const Problem& problem) {
    std::map<std::string, int> load;
    for (const Course& c : problem.courses) {
        if (!c.cprof.empty()) load[c.cprof] += std::max(c.horas, 0);
    }
    const auto loadOf = [&](const Course& c) { return c.cprof.empty() ? 0 : load[c.cprof]; };
    std::vector<std::size_t> order(problem.courses.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return loadOf(problem.courses[a]) > loadOf(problem.courses[b]);
    });
    return order;
}

}  // namespace

bool clash(const Slot& a, const Slot& b) {
    if (a.dia != b.dia) return false;
    if (hasTimes(a) && hasTimes(b)) return a.desde < b.hasta && b.desde < a.hasta;
    return a.marco == b.marco && a.hora == b.hora;
}

std::vector<SolucRow> place(const Problem& problem) {
    std::vector<SolucRow> rows;
    Week week(problem);
    int placedCount = 0;

    for (std::size_t index : placementOrder(problem)) {
        const Course& course = problem.courses[index];
        const int sessions = std::clamp(course.horas, 0, kMaxSessionsPerCourse);
        const Group* group = findGroup(problem, course.cgrup);
        std::vector<std::size_t> used;  // slots this course already holds

        for (int n = 0; n < sessions; ++n) {
            SolucRow row = rowFor(course);
            if (group) row.marco = group->marco;

            // The free slot of the group's frame on the day the course uses least; ties go
            // to the earlier slot in table order.
            std::size_t best = problem.slots.size();
            int bestLoad = std::numeric_limits<int>::max();
            if (group) {
                for (std::size_t i = 0; i < problem.slots.size(); ++i) {
                    const Slot& slot = problem.slots[i];
                    if (slot.marco != group->marco) continue;
                    if (std::find(used.begin(), used.end(), i) != used.end()) continue;
                    if (!week.groupFree(i, course.cgrup)) continue;
                    if (!week.teacherFree(i, course.cprof)) continue;
                    const int load = static_cast<int>(std::count_if(
                        used.begin(), used.end(),
                        [&](std::size_t u) { return problem.slots[u].dia == slot.dia; }));
                    if (load < bestLoad) {
                        best = i;
                        bestLoad = load;
                    }
                }
            }
            if (best == problem.slots.size()) {
                rows.push_back(std::move(row));  // dia 0: no slot for this session
                continue;
            }

            const Slot& slot = problem.slots[best];
            row.dia = slot.dia;
            row.hora = slot.hora;
            const bool roomless = !course.ctarea.empty() || placedCount % 4 == 3;
            if (!roomless) {
                for (const std::string& room : problem.rooms) {
                    if (week.roomFree(best, room)) {
                        row.aula = room;
                        break;
                    }
                }
            }
            week.book({best, course.cgrup, course.cprof, row.aula});
            used.push_back(best);
            ++placedCount;
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

}  // namespace ttp::standin
