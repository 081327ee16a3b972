#!/usr/bin/env python3
"""Writes the last story level, the Commander's hall (rooms 60 to 62), in the
map editor's own format with the room writer of author_rooms.py, so every
room also opens and can be touched up in Tiled.

  60  the antechamber: Blade starts here, by a health and a special station.
  61  the hall: pillars, torches, the Commander by his chair; his music starts
      at the door, a few words are exchanged, and the gate north stays shut
      while he stands.
  62  the stair beyond him: the line across it rolls the credits.

The level's entry in assets/levels.xml is one line, kept by hand:
  <level room="60" bgm="04.Level3Music.ogg"/>

Run from the repository root:  python3 tools/rooms/author_commander_hall.py
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from author_rooms import TILE, Room  # noqa: E402

BOSS_MUSIC = "06.CommanderMusic.ogg"
# His words before the duel (entering the hall) and after his fall.
DIALOG_ENTER, DIALOG_FALLEN = 601, 600


def antechamber():
    # West to east: Blade's start, the stations under the torches, the door
    # into the hall on the east wall.
    room = Room(60, 16, 12, [(61, "right", 5, {})])
    room.player = (3 * TILE, 5 * TILE)
    for column in (3, 7, 12):
        room.torch(column)
    room.side_torch("left", 8)
    room.static("banner", 5 * TILE + 8, 2 * TILE - 16)
    room.static("banner", 10 * TILE + 8, 2 * TILE - 16)
    room.static("pillar", 5 * TILE, 9 * TILE, True)
    room.static("pillar", 10 * TILE, 9 * TILE, True)
    room.static("rubble", 2 * TILE, 10 * TILE + 20)
    room.character("Station", (8 * TILE, 100), {"GivesHP": True})
    room.character("Station", (9 * TILE + 40, 100), {"GivesHP": False})
    room.sliceable("urn", 13 * TILE, 3 * TILE, 100)
    room.sliceable("crate", 14 * TILE, 3 * TILE, 50)
    room.sliceable("barrel", 13 * TILE + 24, 10 * TILE + 40, 50)
    return room


def hall():
    # Blade comes in by the west door; the Commander waits in the east half
    # by his chair (a weapon rack and banners); the way on is the gated door
    # in the north wall. Two rows of pillars break up the floor.
    room = Room(61, 24, 16, [
        (60, "left", 7, {"Audio": BOSS_MUSIC, "EnterDialog": DIALOG_ENTER,
                         "EnterDialogTrigger": "OneShot"}),
        (62, "top", 17, {})])
    for column in (2, 6, 10, 14, 21):
        room.torch(column)
    room.side_torch("left", 3)
    room.side_torch("left", 12)
    room.side_torch("right", 5)
    room.side_torch("right", 11)
    room.gate = (17 * TILE, 52)
    for x in (6, 11, 16):
        room.static("pillar", x * TILE, 5 * TILE, True)
        room.static("pillar", x * TILE, 13 * TILE, True)
    room.static("banner", 15 * TILE + 8, 2 * TILE - 16)
    room.static("banner", 20 * TILE + 8, 2 * TILE - 16)
    room.static("weapon_rack", 19 * TILE, 2 * TILE + 20)
    room.static("rubble", 3 * TILE, 14 * TILE + 20)
    room.static("rubble", 21 * TILE, 14 * TILE + 12)
    room.enemy("Commander", 19 * TILE, 8 * TILE, {"Dialog": DIALOG_FALLEN})
    return room


def stair():
    # Blade comes up from the hall by the south door; the line across the
    # whole room, five rows up, is the end of the story.
    room = Room(62, 14, 12, [(61, "bottom", 6, {})])
    for column in (2, 6, 11):
        room.torch(column)
    room.side_torch("left", 5)
    room.side_torch("right", 5)
    room.static("banner", 4 * TILE + 8, 2 * TILE - 16)
    room.static("banner", 9 * TILE + 8, 2 * TILE - 16)
    room.static("rubble", 2 * TILE, 9 * TILE + 20)
    room.static("rubble", 11 * TILE, 4 * TILE + 12)
    room.trigger(TILE, 6 * TILE, f"0,0 {12 * TILE},0", {"Trigger": "TriggerCredits"})
    return room


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    rooms_dir = os.path.join(root, "assets", "rooms")
    for room in (antechamber(), hall(), stair()):
        room.write(os.path.join(rooms_dir, f"{room.number}.tmx"))


if __name__ == "__main__":
    main()
