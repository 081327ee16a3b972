// StoryTour.h -- what the drivers that play a whole story level share: where
// the level ends, the order Blade walks its rooms in, and the room's chores
// besides fighting (crossing its trigger lines, talking to its characters).
#pragma once

#include "entities/DialogNPC.h"
#include "entities/RefillStation.h"
#include "world/TriggerLine.h"

#include "program/LevelDriver.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <vector>

class StoryTour : public LevelDriver {
protected:
    static constexpr float kLowHealth = 0.5f; // a station is sought below this

    // A station of the room that still gives what he lacks, or null.
    RefillStation* StationFor(bool health) const {
        for (RefillStation* s : InRoom<RefillStation>()) {
            if (s->givesHealth == health && s->usesLeft > 0)
                return s;
        }
        return nullptr;
    }
    // Low on health, with a health station in the room: walks to it and
    // uses it. True when he went (a fight's `betweenBlows`).
    bool RefillWhenLow() {
        if (refilling || Blade().IsDead() || Blade().health >= kLowHealth)
            return false;
        RefillStation* station = StationFor(true);
        if (!station)
            return false;
        refilling = true;
        UseStation(*station);
        refilling = false;
        return true;
    }
    void UseStation(RefillStation& station) {
        WalkUntil(
            station.GetPosition(), [&] { return station.promptUp || Blade().IsDead(); }, 900);
        for (int i = 0; i < 400 && !Blade().IsDead() && station.usesLeft > 0; ++i) {
            const int before = station.usesLeft;
            if (station.interactionOn)
                Tap(QN_VK_E);
            else
                Frame();
            if (station.usesLeft < before)
                break;
        }
        ++refills;
    }

    // Where the level ends: the room with the exit door, or the one with
    // the line that rolls the credits.
    int32_t ExitRoom() const {
        for (const auto& [number, room] : scene->rooms) {
            if (room->DoorTo(0))
                return number;
            for (const auto& line : room->triggers)
                if (line->triggerKind == LevelMap::TriggerCredits)
                    return number;
        }
        return 0;
    }
    // The rooms in the order Blade walks them: depth first from the start
    // room through the doors that may be walked, back out of every branch
    // but the one that holds the exit, which comes last.
    std::vector<int32_t> Tour(int32_t start, int32_t exitRoom) const {
        std::map<int32_t, std::vector<int32_t>> children;
        std::set<int32_t> seen{start};
        std::function<void(int32_t)> grow = [&](int32_t room) {
            for (const LevelMap::Door& door : scene->rooms.at(room)->doors) {
                if (door.target == 0 || door.enterCondition == LevelMap::DoorDisabled)
                    continue;
                if (seen.insert(door.target).second) {
                    children[room].push_back(door.target);
                    grow(door.target);
                }
            }
        };
        grow(start);
        std::function<bool(int32_t)> holdsExit = [&](int32_t room) {
            if (room == exitRoom)
                return true;
            for (int32_t child : children[room])
                if (holdsExit(child))
                    return true;
            return false;
        };
        std::vector<int32_t> way;
        std::function<void(int32_t)> walk = [&](int32_t room) {
            int32_t last = 0;
            for (int32_t child : children[room]) {
                if (holdsExit(child)) {
                    last = child;
                    continue;
                }
                way.push_back(child);
                walk(child);
                way.push_back(room);
            }
            if (last != 0) {
                way.push_back(last);
                walk(last);
            }
        };
        way.push_back(start);
        walk(start);
        return way;
    }

    // A point of `line` Blade can stand on, the nearest to him.
    Vec2 StandingPointOn(const Line2D& line) const {
        Vec2 best = (line.start + line.end) * 0.5f;
        float bestDistance = 1e30f;
        for (int k = 1; k < 16; ++k) {
            const Vec2 p = line.start + (line.end - line.start) * (static_cast<float>(k) / 16.0f);
            const float d = LengthSq(p - Blade().GetPosition());
            if (scene->IsWalkable(RoomOf(), p) && d < bestDistance) {
                best = p;
                bestDistance = d;
            }
        }
        return best;
    }
    // The floor cell nearest the middle of the room's floor.
    Vec2 MiddleOfFloor() const {
        const LevelMap::Room& room = *scene->currentRoom;
        Vec2 sum{0.0f, 0.0f};
        int count = 0;
        for (int32_t r = 0; r < room.height; ++r)
            for (int32_t c = 0; c < room.width; ++c)
                if (room.IsWalkable(room.CellCentre(c, r))) {
                    sum = sum + room.CellCentre(c, r);
                    ++count;
                }
        const Vec2 mean = count ? sum * (1.0f / static_cast<float>(count)) : Blade().GetPosition();
        Vec2 best = Blade().GetPosition();
        for (int32_t r = 0; r < room.height; ++r)
            for (int32_t c = 0; c < room.width; ++c)
                if (room.IsWalkable(room.CellCentre(c, r)) &&
                    LengthSq(room.CellCentre(c, r) - mean) < LengthSq(best - mean))
                    best = room.CellCentre(c, r);
        return best;
    }
    // Walks across every trigger line of the room of the given kind until
    // it has done its work (or Blade has fallen).
    void CrossLines(int32_t kind) {
        for (int pass = 0; pass < 8; ++pass) {
            const LevelMap::TriggerLine* line = nullptr;
            for (const auto& t : scene->currentRoom->triggers)
                if (t->triggerKind == kind && !line)
                    line = t.get();
            if (!line)
                return;
            const Vec2 on = StandingPointOn(*line);
            const auto spent = [&] {
                for (const auto& t : scene->currentRoom->triggers)
                    if (t.get() == line)
                        return false;
                return true;
            };
            const bool crossed = WalkUntil(
                on, [&] { return spent() || Blade().IsDead(); }, 1800);
            if (Blade().IsDead())
                return;
            ASSERT_TRUE(crossed) << "the line " << kind << " of room " << RoomOf() << " near "
                                 << on.x << ", " << on.y << " did nothing";
            Frames(2); // what it started is heard out here
        }
    }
    Enemy* NearestNonCommander() const {
        Enemy* best = nullptr;
        for (Enemy* e : InRoom<Enemy>()) {
            if (e->IsDead() || dynamic_cast<Commander*>(e))
                continue;
            if (!best || LengthSq(e->GetPosition() - Blade().GetPosition()) <
                             LengthSq(best->GetPosition() - Blade().GetPosition()))
                best = e;
        }
        return best;
    }
    // Walks up to every character of the room that talks and talks to it.
    // The characters that spoke by themselves are heard already.
    void TalkToCharacters() {
        for (DialogNPC* npc : InRoom<DialogNPC>()) {
            if (!npc->interactionOn)
                continue;
            const std::string name = std::to_string(npc->dialog);
            const auto said = [&] {
                return std::find(heard.begin(), heard.end(), name) != heard.end();
            };
            const bool reached = WalkUntil(
                npc->GetPosition(), [&] { return npc->promptUp || said() || Blade().IsDead(); },
                1800);
            if (Blade().IsDead())
                return;
            ASSERT_TRUE(reached) << "room " << RoomOf() << ": the character at "
                                 << npc->GetPosition().x << ", " << npc->GetPosition().y
                                 << " cannot be reached";
            if (!said() && !npc->IsAutomatic())
                Tap(QN_VK_E);
            RunUntil(said, 120);
            EXPECT_TRUE(said()) << "room " << RoomOf() << ": character " << name << " said nothing";
        }
    }
    // The Commander's hall: the duel, his last words from a step away, the
    // finishing slash (unless Blade falls first).
    void DefeatCommander(Commander& boss) {
        const bool down = WearDown(boss, 60 * 240);
        if (Blade().IsDead())
            return;
        ASSERT_TRUE(down) << "he still stands after four minutes";
        // A step away before he speaks, so the confirm button that holds
        // his words does not cut him.
        const size_t before = heard.size();
        hearConversations = false;
        ASSERT_TRUE(WalkTo(AwayFrom(boss), 240));
        hearConversations = true;
        ASSERT_TRUE(RunUntil([&] { return heard.size() > before; }, 240)) << "his last words";
        ASSERT_TRUE(WalkTo(Beside(boss), 600));
        FinishingSlash(boss);
        ASSERT_TRUE(boss.IsDead());
        Frames(30);
    }

    bool refilling = false;
    int refills = 0; // stations used
};
