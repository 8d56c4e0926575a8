#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "placement.h"

namespace ttp::standin {
namespace {

// A frame of `days` days with `perDay` one-hour slots from 08:00, all with frame digit `marco`.
std::vector<Slot> frame(const std::string& marco, int days, int perDay, int startMinute = 480) {
    std::vector<Slot> slots;
    for (int d = 1; d <= days; ++d) {
        for (int h = 1; h <= perDay; ++h) {
            const int from = startMinute + (h - 1) * 60;
            slots.push_back({d, h, marco, from, from + 55});
        }
    }
    return slots;
}

Course course(std::string subject, std::string teacher, std::string group, int hours,
              std::string task = "") {
    Course c;
    c.casig = std::move(subject);
    c.cprof = std::move(teacher);
    c.cgrup = std::move(group);
    c.horas = hours;
    c.ctarea = std::move(task);
    c.sesiones = std::string(static_cast<std::size_t>(std::max(hours, 0)), '1');
    return c;
}

const Slot* slotOf(const Problem& p, const SolucRow& r) {
    for (const Slot& s : p.slots) {
        if (s.dia == r.dia && s.hora == r.hora && s.marco == r.marco) return &s;
    }
    return nullptr;
}

// Checks what every solution must hold, independently of how it was found: placed rows sit in
// a slot of their group's frame, and no group, teacher or room is in two places at once.
void expectSound(const Problem& p, const std::vector<SolucRow>& rows) {
    std::map<std::string, std::string> frameOf;
    for (const Group& g : p.groups) frameOf.emplace(g.abrev, g.marco);
    const std::set<std::string> rooms(p.rooms.begin(), p.rooms.end());

    for (std::size_t i = 0; i < rows.size(); ++i) {
        const SolucRow& a = rows[i];
        if (a.dia == 0) continue;
        const Slot* sa = slotOf(p, a);
        ASSERT_NE(sa, nullptr) << "row " << i << " is in no slot";
        ASSERT_TRUE(frameOf.count(a.codgrupo)) << "row " << i;
        EXPECT_EQ(a.marco, frameOf[a.codgrupo]) << "row " << i << " is outside its frame";
        if (!a.aula.empty()) {
            EXPECT_TRUE(rooms.count(a.aula)) << "row " << i << ": " << a.aula;
        }
        for (std::size_t j = i + 1; j < rows.size(); ++j) {
            const SolucRow& b = rows[j];
            if (b.dia == 0) continue;
            const Slot* sb = slotOf(p, b);
            ASSERT_NE(sb, nullptr);
            if (!clash(*sa, *sb)) continue;
            EXPECT_NE(a.codgrupo, b.codgrupo) << "group twice at once: rows " << i << ", " << j;
            if (!a.prof.empty()) {
                EXPECT_NE(a.prof, b.prof) << "teacher twice at once: rows " << i << ", " << j;
            }
            if (!a.aula.empty()) {
                EXPECT_NE(a.aula, b.aula) << "room twice at once: rows " << i << ", " << j;
            }
        }
    }
}

std::size_t placedCount(const std::vector<SolucRow>& rows) {
    std::size_t n = 0;
    for (const auto& r : rows) n += r.dia != 0;
    return n;
}

TEST(StandinPlacement, PlacesEverySessionSoundlyWhenThereIsRoom) {
    Problem p;
    p.slots = frame("0", 5, 6);
    for (const Slot& s : frame("1", 5, 6, 900)) p.slots.push_back(s);
    p.groups = {{"1A", "0"}, {"1B", "0"}, {"2A", "1"}};
    p.rooms = {"A1", "A2"};
    p.courses = {course("MAT", "ANA", "1A", 4),
                 course("MAT", "ANA", "1B", 4),
                 course("LEN", "LUIS", "1A", 5),
                 course("LEN", "LUIS", "2A", 3),
                 course("TUT", "ANA", "2A", 1, "TUTORIA"),
                 course("FIS", "", "1B", 3)};
    const auto rows = place(p);

    ASSERT_EQ(rows.size(), 20u);
    EXPECT_EQ(placedCount(rows), 20u);
    expectSound(p, rows);
    // Each course keeps its own values and uses distinct slots.
    std::map<std::string, std::set<std::pair<int, int>>> slotsOf;
    std::map<std::string, int> count;
    for (const SolucRow& r : rows) {
        const std::string key = r.asig + "/" + r.codgrupo;
        slotsOf[key].insert({r.dia, r.hora});
        ++count[key];
    }
    for (const auto& [key, n] : count)
        EXPECT_EQ(slotsOf[key].size(), static_cast<size_t>(n)) << key;
    // Some sessions get a room and some none; a task never gets one.
    std::size_t withRoom = 0;
    for (const SolucRow& r : rows) {
        withRoom += !r.aula.empty();
        if (!r.tarea.empty()) {
            EXPECT_TRUE(r.aula.empty());
        }
    }
    EXPECT_GT(withRoom, 0u);
    EXPECT_LT(withRoom, rows.size());
}

TEST(StandinPlacement, IsDeterministic) {
    Problem p;
    p.slots = frame("0", 5, 4);
    p.groups = {{"1A", "0"}, {"1B", "0"}};
    p.rooms = {"A1"};
    p.courses = {course("MAT", "ANA", "1A", 4), course("LEN", "ANA", "1B", 4)};
    const auto a = place(p);
    const auto b = place(p);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(std::tie(a[i].dia, a[i].hora, a[i].aula),
                  std::tie(b[i].dia, b[i].hora, b[i].aula));
    }
}

TEST(StandinPlacement, SpreadsACourseOverTheWeek) {
    Problem p;
    p.slots = frame("0", 5, 6);
    p.groups = {{"1A", "0"}};
    p.courses = {course("MAT", "ANA", "1A", 5)};
    std::set<int> days;
    for (const SolucRow& r : place(p)) days.insert(r.dia);
    EXPECT_EQ(days, (std::set<int>{1, 2, 3, 4, 5}));
}

TEST(StandinPlacement, ATeacherInBothFramesIsNeverInOverlappingSlots) {
    Problem p;
    // Frame 0 from 08:00, frame 1 from 08:30: every slot of one overlaps one of the other.
    p.slots = frame("0", 1, 2);
    for (const Slot& s : frame("1", 1, 2, 510)) p.slots.push_back(s);
    p.groups = {{"1A", "0"}, {"2A", "1"}};
    p.courses = {course("MAT", "ANA", "1A", 1), course("MAT", "ANA", "2A", 2)};
    const auto rows = place(p);
    expectSound(p, rows);
    // 08:00 taken in frame 0 blocks 08:30 in frame 1; only 09:30 remains there.
    EXPECT_EQ(placedCount(rows), 2u);
}

TEST(StandinPlacement, SessionsWithoutASlotAreRowsWithoutDay) {
    struct Case {
        const char* name;
        Problem problem;
        std::size_t rows, placed;
    };
    Problem tooMany;
    tooMany.slots = frame("0", 1, 3);
    tooMany.groups = {{"1A", "0"}};
    tooMany.courses = {course("MAT", "ANA", "1A", 5)};

    Problem busyTeacher;
    busyTeacher.slots = frame("0", 1, 2);
    busyTeacher.groups = {{"1A", "0"}, {"1B", "0"}};
    busyTeacher.courses = {course("MAT", "ANA", "1A", 2), course("LEN", "ANA", "1B", 1)};

    Problem unknownGroup;
    unknownGroup.slots = frame("0", 1, 3);
    unknownGroup.groups = {{"1A", "0"}};
    unknownGroup.courses = {course("MAT", "ANA", "", 2), course("LEN", "ANA", "9Z", 1)};

    Problem frameWithoutSlots;
    frameWithoutSlots.slots = frame("0", 1, 3);
    frameWithoutSlots.groups = {{"1A", "1"}};
    frameWithoutSlots.courses = {course("MAT", "ANA", "1A", 2)};

    Problem negativeHours;
    negativeHours.slots = frame("0", 1, 3);
    negativeHours.groups = {{"1A", "0"}};
    negativeHours.courses = {course("MAT", "ANA", "1A", -3), course("LEN", "ANA", "1A", 0)};

    const std::vector<Case> cases = {{"too many sessions", tooMany, 5, 3},
                                     {"busy teacher", busyTeacher, 3, 2},
                                     {"unknown group", unknownGroup, 3, 0},
                                     {"frame without slots", frameWithoutSlots, 2, 0},
                                     {"no sessions", negativeHours, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto rows = place(c.problem);
        EXPECT_EQ(rows.size(), c.rows);
        EXPECT_EQ(placedCount(rows), c.placed);
        for (const SolucRow& r : rows) {
            if (r.dia == 0) {
                EXPECT_EQ(r.hora, 0);
                EXPECT_TRUE(r.aula.empty());
            }
        }
        expectSound(c.problem, rows);
    }
}

TEST(StandinPlacement, RoomsAreNeverDoubleBookedWhenFewerThanGroups) {
    Problem p;
    p.slots = frame("0", 1, 2);
    p.groups = {{"1A", "0"}, {"1B", "0"}, {"1C", "0"}};
    p.rooms = {"A1"};
    p.courses = {course("MAT", "ANA", "1A", 2), course("LEN", "LUIS", "1B", 2),
                 course("FIS", "EVA", "1C", 2)};
    const auto rows = place(p);
    EXPECT_EQ(placedCount(rows), 6u);
    expectSound(p, rows);
}

}  // namespace
}  // namespace ttp::standin
