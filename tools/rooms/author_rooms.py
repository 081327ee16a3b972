#!/usr/bin/env python3
"""Writes the story level's room maps (assets/rooms/<n>.tmx) from the floor
plans below, in the map editor's own format, so every room also opens and
can be touched up in Tiled.

A plan is drawn with '.' for floor and ' ' for solid ground; the walls,
corners and door frames around the floor are chosen from the terrain atlas
automatically. Doors, torches, props, the gate, the player start, the
characters and stations, the breakable props, enemies and dummies and the
trigger lines are listed per room in map pixels (x right, y down, as Tiled
shows them).

Run from the repository root:  python3 tools/rooms/author_rooms.py
"""

import os
import sys
from xml.sax.saxutils import quoteattr

TILE = 48
SPRITE_FIRST_GID = 15
# Images of core_sprites.tsx by local id.
SPRITES = {"crate": 0, "barrel": 1, "urn": 2, "ammo_box": 3, "pillar": 4,
           "rubble": 5, "weapon_rack": 6, "banner": 7}
SPRITE_SIZES = {"crate": (48, 48), "barrel": (48, 48), "urn": (48, 48),
                "ammo_box": (48, 48), "pillar": (48, 96), "rubble": (48, 48),
                "weapon_rack": (64, 48), "banner": (32, 64)}

# Terrain atlas global ids.
LEFT_WALL, BOTTOM_WALL, FLOOR, TOP_WALL, RIGHT_WALL = 1, 3, 5, 7, 9
INNER_UP_LEFT, INNER_UP_RIGHT, INNER_DOWN_LEFT, INNER_DOWN_RIGHT = 2, 4, 6, 8
OUTER_TOP_LEFT, OUTER_TOP_RIGHT, VOID = 10, 11, 12
OUTER_BOTTOM_LEFT, OUTER_BOTTOM_RIGHT = 13, 14


def autotile(plan):
    """Terrain ids for a plan: floor stays floor, cells next to floor become
    the wall piece that faces it, everything else is the dark void."""
    rows, cols = len(plan), len(plan[0])

    def floor(c, r):
        return 0 <= r < rows and 0 <= c < cols and plan[r][c] == "."

    ids = []
    for r in range(rows):
        row = []
        for c in range(cols):
            if floor(c, r):
                row.append(FLOOR)
                continue
            up, down = floor(c, r - 1), floor(c, r + 1)
            left, right = floor(c - 1, r), floor(c + 1, r)
            if down and right:
                piece = INNER_DOWN_RIGHT
            elif down and left:
                piece = INNER_DOWN_LEFT
            elif up and right:
                piece = INNER_UP_RIGHT
            elif up and left:
                piece = INNER_UP_LEFT
            elif down:
                piece = TOP_WALL
            elif up:
                piece = BOTTOM_WALL
            elif right:
                piece = LEFT_WALL
            elif left:
                piece = RIGHT_WALL
            elif floor(c + 1, r + 1):
                piece = OUTER_TOP_LEFT
            elif floor(c - 1, r + 1):
                piece = OUTER_TOP_RIGHT
            elif floor(c + 1, r - 1):
                piece = OUTER_BOTTOM_LEFT
            elif floor(c - 1, r - 1):
                piece = OUTER_BOTTOM_RIGHT
            else:
                piece = VOID
            row.append(piece)
        ids.append(row)
    return ids


def room_plan(cols, rows, openings):
    """A rectangular hall with a wall ring; `openings` lists door gaps as
    (side, first cell along the wall): two floor cells cut through the wall."""
    plan = [[" "] * cols for _ in range(rows)]
    for r in range(1, rows - 1):
        for c in range(1, cols - 1):
            plan[r][c] = "."
    for side, at in openings:
        for k in (0, 1):
            if side == "left":
                plan[at + k][0] = "."
            elif side == "right":
                plan[at + k][cols - 1] = "."
            elif side == "top":
                plan[0][at + k] = "."
            else:
                plan[rows - 1][at + k] = "."
    return ["".join(row) for row in plan]


def door_line(cols, rows, side, at):
    """Tiled position and polyline of a door across a two-cell opening,
    4 pixels inside the map's edge."""
    if side == "left":
        return 4, (at + 2) * TILE - 3, "0,0 0,-90"
    if side == "right":
        return cols * TILE - 4, (at + 2) * TILE - 3, "0,0 0,-90"
    if side == "top":
        return at * TILE + 3, 4, "0,0 90,0"
    return at * TILE + 3, rows * TILE - 4, "0,0 90,0"


def prop(value, kind):
    kinds = {bool: "bool", int: "int", float: "float"}
    text = ("true" if value else "false") if isinstance(value, bool) else str(value)
    t = kinds.get(type(value))
    typed = f' type="{t}"' if t else ""
    return f'    <property name={quoteattr(kind)}{typed} value={quoteattr(text)}/>'


def properties(values):
    if not values:
        return []
    lines = ["   <properties>"]
    lines += [prop(v, k) for k, v in sorted(values.items())]
    lines.append("   </properties>")
    return lines


class Room:
    def __init__(self, number, cols, rows, doors):
        self.number, self.cols, self.rows = number, cols, rows
        # doors: (target room, side, first cell along the wall, extra properties)
        self.doors = doors
        self.plan = room_plan(cols, rows, [(d[1], d[2]) for d in doors])
        self.torches, self.statics, self.enemies = [], [], []
        self.npcs, self.sliceables, self.triggers = [], [], []
        self.player = None
        self.gate = None

    def torch(self, column):
        """A torch on the top wall above floor column `column`."""
        self.torches.append((column * TILE + 8, 8))

    def side_torch(self, side, row):
        x = 8 if side == "left" else self.cols * TILE - 40
        self.torches.append((x, row * TILE + 8))

    def static(self, name, x, bottom, collidable=False):
        self.statics.append((name, x, bottom, collidable))

    def sliceable(self, name, x, bottom, drop_chance=100):
        """A breakable prop of the sprite tileset; drop_chance in percent."""
        self.sliceables.append((name, x, bottom, drop_chance))

    def character(self, kind, centre, props, size=(96, 96)):
        """A character or station (group NPCs) centred at `centre`: kind
        "Station", "WindowNPC" or any other name for a talking character."""
        w, h = size
        self.npcs.append((kind, centre[0] - w // 2, centre[1] - h // 2, w, h, props))

    def enemy(self, name, x, y, props=None):
        self.enemies.append((name, x, y, props or {}))

    def trigger(self, x, y, points, props):
        """A trigger line: the polyline `points` from (x, y)."""
        self.triggers.append((x, y, points, props))

    def write(self, path):
        out = ['<?xml version="1.0" encoding="UTF-8"?>',
               f'<map version="1.8" tiledversion="1.8.2" orientation="orthogonal" '
               f'renderorder="right-down" width="{self.cols}" height="{self.rows}" '
               f'tilewidth="{TILE}" tileheight="{TILE}" infinite="0" '
               f'backgroundcolor="#000000" nextlayerid="10" nextobjectid="{{next}}">',
               ' <tileset firstgid="1" source="core_terrain.tsx"/>',
               f' <tileset firstgid="{SPRITE_FIRST_GID}" source="core_sprites.tsx"/>',
               f' <layer id="1" name="Tiles" width="{self.cols}" height="{self.rows}">',
               '  <data encoding="csv">']
        ids = autotile(self.plan)
        lines = [",".join(str(v) for v in row) for row in ids]
        out.append(",\n".join(lines))
        out += ["</data>", " </layer>"]
        next_id = 1

        def group(gid, name, color):
            return f' <objectgroup id="{gid}" name="{name}" color="{color}">'

        out.append(group(2, "Torches", "#ffcc14"))
        for x, y in self.torches:
            out.append(f'  <object id="{next_id}" name="Torch" x="{x}" y="{y}" '
                       f'width="32" height="32">')
            out += properties({"Color.R": 1.0, "Color.G": 0.72, "Color.B": 0.42,
                               "FrameDelay": 0.2, "Frames": 3, "Range": 1.6,
                               "Strength": 0.8, "TextureName": "../prop_torch.png"})
            out.append("  </object>")
            next_id += 1
        out.append(" </objectgroup>")
        if self.player:
            out.append(group(3, "Player", "#ff0000"))
            x, y = self.player
            out.append(f'  <object id="{next_id}" name="Player" x="{x}" y="{y}" '
                       f'width="36" height="36">')
            out.append("   <ellipse/>")
            out.append("  </object>")
            out.append(" </objectgroup>")
            next_id += 1
        out.append(group(4, "Doors", "#a0a0ff"))
        for target, side, at, extra in self.doors:
            x, y, points = door_line(self.cols, self.rows, side, at)
            out.append(f'  <object id="{next_id}" name="{target}" x="{x}" y="{y}">')
            out += properties(extra)
            out.append(f'   <polyline points="{points}"/>')
            out.append("  </object>")
            next_id += 1
        out.append(" </objectgroup>")
        out.append(group(5, "StaticObjects", "#c0c0c0"))
        for name, x, bottom, collidable in self.statics:
            w, h = SPRITE_SIZES[name]
            gid = SPRITE_FIRST_GID + SPRITES[name]
            out.append(f'  <object id="{next_id}" gid="{gid}" x="{x}" y="{bottom}" '
                       f'width="{w}" height="{h}">')
            out += properties({"Collidable": collidable} if collidable else {})
            out.append("  </object>")
            next_id += 1
        if self.gate:
            x, y = self.gate
            out.append(f'  <object id="{next_id}" name="Gate" x="{x}" y="{y}" '
                       f'width="96" height="64">')
            out += properties({"FrameDelay": 0.08, "Frames": 4,
                               "TextureName": "../prop_gate.png"})
            out.append("  </object>")
            next_id += 1
        out.append(" </objectgroup>")
        if self.enemies:
            out.append(group(6, "Enemies", "#00aaff"))
            for entry in self.enemies:
                name, x, y = entry[:3]
                extra = entry[3] if len(entry) > 3 else {}
                out.append(f'  <object id="{next_id}" name="{name}" x="{x}" y="{y}" '
                           f'width="36" height="36">')
                out += properties(extra)
                out.append("   <ellipse/>")
                out.append("  </object>")
                next_id += 1
            out.append(" </objectgroup>")
        if self.npcs:
            out.append(group(7, "NPCs", "#40c060"))
            for kind, x, y, w, h, extra in self.npcs:
                out.append(f'  <object id="{next_id}" name="{kind}" x="{x}" y="{y}" '
                           f'width="{w}" height="{h}">')
                out += properties(extra)
                out.append("  </object>")
                next_id += 1
            out.append(" </objectgroup>")
        if self.sliceables:
            out.append(group(8, "SliceableObjects", "#c08040"))
            for name, x, bottom, chance in self.sliceables:
                w, h = SPRITE_SIZES[name]
                gid = SPRITE_FIRST_GID + SPRITES[name]
                out.append(f'  <object id="{next_id}" gid="{gid}" x="{x}" y="{bottom}" '
                           f'width="{w}" height="{h}">')
                out += properties({"DropChance": float(chance)} if chance != 100 else {})
                out.append("  </object>")
                next_id += 1
            out.append(" </objectgroup>")
        if self.triggers:
            out.append(group(9, "Triggers", "#c0a0ff"))
            for x, y, points, extra in self.triggers:
                out.append(f'  <object id="{next_id}" name="Trigger" x="{x}" y="{y}">')
                out += properties(extra)
                out.append(f'   <polyline points="{points}"/>')
                out.append("  </object>")
                next_id += 1
            out.append(" </objectgroup>")
        out.append("</map>")
        text = "\n".join(out).replace("{next}", str(next_id)) + "\n"
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)


def story_level_one():
    # 1: the gatehouse where Blade starts; east door to the hall.
    gatehouse = Room(1, 18, 12, [(2, "right", 5, {})])
    gatehouse.player = (4 * TILE, 4 * TILE)
    for column in (3, 8, 13):
        gatehouse.torch(column)
    gatehouse.side_torch("left", 7)
    gatehouse.side_torch("right", 9)
    gatehouse.static("banner", 5 * TILE + 8, 2 * TILE - 16)
    gatehouse.static("banner", 11 * TILE + 8, 2 * TILE - 16)
    gatehouse.static("weapon_rack", 9 * TILE + 16, 2 * TILE + 20)
    gatehouse.static("pillar", 7 * TILE, 9 * TILE, True)
    gatehouse.static("pillar", 12 * TILE, 9 * TILE, True)
    gatehouse.static("rubble", 2 * TILE, 10 * TILE + 24)
    gatehouse.static("rubble", 15 * TILE, 3 * TILE + 12)
    # The quartermaster waits beside Blade's start (inside the 31.6 units an
    # automatic character reacts to) and talks him through the controls; the
    # scout by the west wall shows the list of controls.
    gatehouse.character("Quartermaster", (222, 186), {
        "TextureName": "../npc_quartermaster.png", "Frames": 4, "FrameDelay": 0.2,
        "Dialog": 1, "Automatic": True, "HorizontalFlip": True})
    gatehouse.character("WindowNPC", (96, 120), {
        "TextureName": "../npc_scout.png", "Frames": 4, "FrameDelay": 0.2,
        "WindowType": "Controls", "WindowWidth": 300.0, "WindowHeight": 214.0})
    # A health and a special station against the north wall, under a torch.
    gatehouse.character("Station", (640, 100), {"GivesHP": True})
    gatehouse.character("Station", (730, 100), {"GivesHP": False})
    # The training corner: a plain dummy, and one by the east wall whose
    # harmless bolts cross the way to the hall, so Blade meets a shot (and
    # may bat one back) before the first real fight.
    gatehouse.enemy("Dummy", 470, 230)
    gatehouse.enemy("Dummy", 780, 190, {"Shootable": True})
    # Crates to practise on; most hold a bottle.
    gatehouse.sliceable("crate", 300, 150, 100)
    gatehouse.sliceable("barrel", 348, 150, 50)
    gatehouse.sliceable("urn", 560, 250, 25)
    gatehouse.sliceable("crate", 608, 250, 100)
    gatehouse.sliceable("ammo_box", 660, 420, 50)
    gatehouse.sliceable("barrel", 708, 420, 25)

    # 2: the great hall; west back to the gatehouse, north through the gate
    # to the armoury. Its soldiers keep the gate shut until they fall.
    hall = Room(2, 22, 14, [(1, "left", 6, {}), (3, "top", 10, {})])
    for column in (3, 7, 14, 18):
        hall.torch(column)
    hall.side_torch("right", 6)
    hall.side_torch("left", 3)
    hall.side_torch("left", 10)
    hall.gate = (10 * TILE, 52)
    for x in (6, 15):
        hall.static("pillar", x * TILE, 5 * TILE, True)
        hall.static("pillar", x * TILE, 10 * TILE, True)
    hall.static("banner", 9 * TILE, 2 * TILE - 16)
    hall.static("banner", 12 * TILE + 16, 2 * TILE - 16)
    hall.static("rubble", 19 * TILE, 12 * TILE + 24)
    # The soldiers hold their fire until Blade is well inside, and come in
    # turns: crossing the first line he reads the quiet, the next two wake
    # a pair a few steps apart, and the third soldier, by the gate at the
    # far end, only once Blade walks on into the hall's second half.
    hall.enemy("Enemy", 9 * TILE, 5 * TILE, {"DisableAttack": True, "Wave": 1})
    hall.enemy("Enemy", 10 * TILE, 10 * TILE, {"DisableAttack": True, "Wave": 2})
    hall.enemy("Enemy", 20 * TILE, 2 * TILE, {"DisableAttack": True, "Wave": 3})
    hall.trigger(150, TILE, f"0,0 0,{12 * TILE}", {"Dialog": 2, "Trigger": "TriggerDialog"})
    hall.trigger(230, TILE, f"0,0 0,{12 * TILE}", {"Trigger": "TriggerEnemy", "Wave": 1})
    hall.trigger(330, TILE, f"0,0 0,{12 * TILE}", {"Trigger": "TriggerEnemy", "Wave": 2})
    hall.trigger(14 * TILE, TILE, f"0,0 0,{12 * TILE}", {"Trigger": "TriggerEnemy", "Wave": 3})
    # Once the hall is clear, walking towards the gate brings the
    # Commander's voice.
    hall.trigger(TILE, 230, f"0,0 {20 * TILE},0",
                 {"Dialog": 3, "Trigger": "TriggerDialogNoEnemy"})
    hall.sliceable("crate", 60, 13 * TILE - 4, 50)
    hall.sliceable("barrel", 108, 13 * TILE - 4, 25)
    hall.sliceable("urn", 18 * TILE + 12, 3 * TILE, 100)
    hall.sliceable("ammo_box", 19 * TILE + 12, 3 * TILE, 50)
    hall.sliceable("crate", 20 * TILE, 13 * TILE - 4, 25)
    hall.sliceable("barrel", 20 * TILE, 12 * TILE - 8, 100)

    # 3: the armoury; south back to the hall, the way out to the east.
    armoury = Room(3, 16, 12, [(2, "bottom", 7, {}), (0, "right", 4, {})])
    for column in (3, 7, 12):
        armoury.torch(column)
    armoury.side_torch("left", 8)
    armoury.static("weapon_rack", 2 * TILE, 2 * TILE + 20)
    armoury.static("weapon_rack", 10 * TILE, 2 * TILE + 20)
    armoury.static("pillar", 5 * TILE, 8 * TILE, True)
    armoury.static("pillar", 10 * TILE, 8 * TILE, True)
    armoury.static("rubble", 13 * TILE, 10 * TILE + 20)
    # A heavy guards the way out; a biohazard trooper lobs gas from the east,
    # behind the pillar.
    armoury.enemies = [("HeavyEnemy", 8 * TILE, 5 * TILE), ("BiohazardEnemy", 12 * TILE, 8 * TILE)]
    return [gatehouse, hall, armoury]


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    rooms_dir = os.path.join(root, "assets", "rooms")
    for room in story_level_one():
        room.write(os.path.join(rooms_dir, f"{room.number}.tmx"))
    # The first level leads the list; the levels after it are kept as the
    # campaign's script wrote them.
    path = os.path.join(root, "assets", "levels.xml")
    later = []
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            later = [line.rstrip("\n") for line in f
                     if '<level room="' in line and '<level room="1"' not in line]
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "<levels>",
             ' <level room="1" bgm="01.Level1Music.ogg"/>'] + later + ["</levels>"]
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
