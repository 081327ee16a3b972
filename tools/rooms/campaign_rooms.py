#!/usr/bin/env python3
"""Writes the story campaign from the second level on: the themed terrain
tilesets, the campaign's sprite tileset, every room (assets/rooms/<n>.tmx,
rooms 10 and up) and the levels in assets/levels.xml after the first one.
Every file is in the map editor's own format, so each room also opens and
can be touched up in Tiled.

A room is drawn as a plan, one character per 48 x 48 cell. Walls, corners
and wall faces around the floor are chosen automatically (the first level's
autotiler), then dressed from the room's theme.

  floor      .  plain      ,  cracked    "  moss, soot or sludge
             ;  blood      =  grate      ~  puddle       r  rug (any rectangle)
  solid      #  (walls and the dark beyond them)
             t  a torch on this wall cell    !  pipes on the wall's face
             |  a grille in the wall's face  f  a banner    c  chains
  on floor   P  Blade starts here
             s  soldier    d  dormant soldier (wakes at an ambush line)
             h  heavy      z  biohazard trooper            @  the Commander
             H  health station      M  special station     N  a character
             o  pillar     v  gas vat    b  bunk    n  anvil    T  table
             K  throne     (solid props stand with their feet on the cell)
             x  crate      k  barrel     u  urn     a  ammo box q  sack
                (props to break; they may hold a mana bottle)
             w  rubble     j  bones      B  brazier (a torch on the floor)
  doors      A to G: two cells of an opening at the edge of the floor; the
             room's entry names the room behind each and its properties.

Run from the repository root:  python3 tools/rooms/campaign_rooms.py
Then check the levels:          build/tools/levelcheck/levelcheck build
"""

import os
import re
import sys
from xml.sax.saxutils import quoteattr

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from author_rooms import TILE, autotile, properties  # noqa: E402

# ---------------------------------------------------------------- tilesets

THEMES = ["cells", "forge", "vents", "barracks", "keep", "hall"]
TERRAIN_COLUMNS, TERRAIN_ROWS = 7, 5

# Global ids of a themed atlas (core/AssetManifest.h, AssetThemedTerrainId).
TOP_WALL = 7
CRACKED = (15, 16)
GROWTH = (17, 18)
STAIN = (19, 20)
GRATE = 21
RUG = {"tl": 22, "t": 23, "tr": 24, "l": 25, "c": 26, "r": 27,
       "bl": 29, "b": 30, "br": 31}
PUDDLE = 28
WALL_CRACKED, WALL_GROWTH, WALL_PIPES, WALL_GRILLE = 32, 33, 34, 35
PIECES = {
    1: "left wall", 2: "inner corner, floor above and left", 3: "bottom wall",
    4: "inner corner, floor above and right", 5: "floor",
    6: "inner corner, floor below and left", 7: "top wall",
    8: "inner corner, floor below and right", 9: "right wall",
    10: "outer corner, top left", 11: "outer corner, top right", 12: "void",
    13: "outer corner, bottom left", 14: "outer corner, bottom right",
    15: "cracked floor", 16: "cracked floor", 17: "floor with growth",
    18: "floor with growth", 19: "bloodied floor", 20: "bloodied floor",
    21: "grate", 22: "rug, top left", 23: "rug, top", 24: "rug, top right",
    25: "rug, left", 26: "rug", 27: "rug, right", 28: "puddle",
    29: "rug, bottom left", 30: "rug, bottom", 31: "rug, bottom right",
    32: "top wall, cracked", 33: "top wall with growth", 34: "top wall with pipes",
    35: "top wall with a grille"}
WALKABLE = set(range(15, 32)) | {5}

# The campaign's sprite tileset: the first level's props, then the story's.
SPRITES = [("prop_crate.png", 48, 48, True), ("prop_barrel.png", 48, 48, True),
           ("prop_urn.png", 48, 48, True), ("prop_ammo_box.png", 48, 48, True),
           ("prop_pillar.png", 48, 96, False), ("prop_rubble.png", 48, 48, False),
           ("prop_weapon_rack.png", 64, 48, False), ("prop_banner.png", 32, 64, False),
           ("prop_bones.png", 48, 48, False), ("prop_sack.png", 48, 48, True),
           ("prop_anvil.png", 48, 48, False), ("prop_vat.png", 48, 96, False),
           ("prop_bunk.png", 48, 96, False), ("prop_table.png", 96, 48, False),
           ("prop_chains.png", 32, 64, False), ("prop_throne.png", 64, 96, False)]
SPRITE_FIRST_GID = TERRAIN_COLUMNS * TERRAIN_ROWS + 1


def sprite(name):
    for index, (image, w, h, _) in enumerate(SPRITES):
        if image == f"prop_{name}.png":
            return SPRITE_FIRST_GID + index, w, h
    raise KeyError(name)


def write_tilesets(rooms_dir):
    for theme in THEMES:
        out = ['<?xml version="1.0" encoding="UTF-8"?>',
               f'<tileset version="1.10" tiledversion="1.10.2" name="{theme}_terrain" '
               f'tilewidth="{TILE}" tileheight="{TILE}" '
               f'tilecount="{TERRAIN_COLUMNS * TERRAIN_ROWS}" columns="{TERRAIN_COLUMNS}">',
               f' <image source="../terrain_{theme}.png" width="{TERRAIN_COLUMNS * TILE}" '
               f'height="{TERRAIN_ROWS * TILE}"/>']
        for gid in range(1, TERRAIN_COLUMNS * TERRAIN_ROWS + 1):
            piece = f'<property name="piece" value="{PIECES[gid]}"/>'
            if gid in WALKABLE:
                out.append(f' <tile id="{gid - 1}"><properties>{piece}'
                           '<property name="walkable" type="bool" value="true"/>'
                           '</properties></tile>')
            else:
                out.append(f' <tile id="{gid - 1}"><properties>{piece}</properties></tile>')
        out.append("</tileset>")
        with open(os.path.join(rooms_dir, f"{theme}_terrain.tsx"), "w", encoding="utf-8") as f:
            f.write("\n".join(out) + "\n")
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<tileset version="1.10" tiledversion="1.10.2" name="campaign_sprites" '
           f'tilewidth="96" tileheight="96" tilecount="{len(SPRITES)}" columns="0">',
           ' <grid orientation="orthogonal" width="1" height="1"/>']
    for index, (image, w, h, sliceable) in enumerate(SPRITES):
        flag = "true" if sliceable else "false"
        out += [f' <tile id="{index}">',
                f'  <properties><property name="Sliceable" type="bool" value="{flag}"/>'
                '</properties>',
                f'  <image source="../{image}" width="{w}" height="{h}"/>',
                ' </tile>']
    out.append("</tileset>")
    with open(os.path.join(rooms_dir, "campaign_sprites.tsx"), "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


# ------------------------------------------------------------------ rooms

FLOOR_CHARS = set('.,";=~r') | set("Psdhz@HMNovbnTKxkuaqwjB") | set("ABCDEFG")
SOLID_CHARS = set("# t!|fc")
ENEMIES = {"s": "Enemy", "d": "Enemy", "h": "HeavyEnemy", "z": "BiohazardEnemy",
           "@": "Commander"}
SOLID_PROPS = {"o": "pillar", "v": "vat", "b": "bunk", "n": "anvil", "T": "table",
               "K": "throne"}
BREAKABLE = {"x": "crate", "k": "barrel", "u": "urn", "a": "ammo_box", "q": "sack"}
DECOR = {"w": "rubble", "j": "bones"}

TORCH_LIGHT = {
    "cells": (0.85, 0.8, 0.7), "forge": (1.0, 0.6, 0.3), "vents": (0.8, 0.95, 0.55),
    "barracks": (1.0, 0.72, 0.42), "keep": (1.0, 0.75, 0.5), "hall": (1.0, 0.55, 0.4)}


def hashed(*values):
    h = 2166136261
    for v in values:
        h = ((h ^ (v & 0xFFFFFFFF)) * 16777619) & 0xFFFFFFFF
    return h


class Room:
    """One room: its number, theme, plan and what its letters stand for."""

    def __init__(self, number, theme, plan, doors, npcs=(), triggers=(), gates=(),
                 drops=None, dormant_name="Enemy"):
        self.number, self.theme = number, theme
        self.plan = plan.strip("\n").split("\n")
        width = max(len(row) for row in self.plan)
        self.plan = [row.ljust(width, "#") for row in self.plan]
        self.cols, self.rows = width, len(self.plan)
        # doors: letter -> (target room, properties)
        self.doors = doors
        self.npcs = list(npcs)  # in plan order of the N cells
        # triggers: (kind, dialog, (column, row), (column, row)) in cell units
        self.triggers = list(triggers)
        self.gates = set(gates)  # door letters with a gate inside them
        self.drops = drops if drops is not None else 35  # percent per breakable
        self.check_plan()

    def at(self, c, r):
        if 0 <= r < self.rows and 0 <= c < self.cols:
            return self.plan[r][c]
        return "#"

    def is_floor(self, c, r):
        return self.at(c, r) in FLOOR_CHARS

    def check_plan(self):
        for r, row in enumerate(self.plan):
            for c, ch in enumerate(row):
                if ch not in FLOOR_CHARS and ch not in SOLID_CHARS:
                    raise ValueError(f"room {self.number}: unknown cell {ch!r} at {c},{r}")
        for letter in self.doors:
            if len(self.cells_of(letter)) != 2:
                raise ValueError(f"room {self.number}: door {letter} is not two cells")

    def cells_of(self, ch):
        return [(c, r) for r, row in enumerate(self.plan) for c, x in enumerate(row) if x == ch]

    def door_line(self, letter):
        """Tiled position and polyline of the door across its opening, 4
        pixels inside the opening's outer edge, and the way out."""
        (c0, r0), (c1, r1) = sorted(self.cells_of(letter))
        if r0 == r1:  # a horizontal opening: the way out is up or down
            if not self.is_floor(c0, r0 - 1) and not self.is_floor(c1, r0 - 1):
                return c0 * TILE + 3, r0 * TILE + 4, "0,0 90,0", "up"
            return c0 * TILE + 3, (r0 + 1) * TILE - 4, "0,0 90,0", "down"
        if not self.is_floor(c0 - 1, r0) and not self.is_floor(c0 - 1, r1):
            return c0 * TILE + 4, (r1 + 1) * TILE - 3, "0,0 0,-90", "left"
        return (c0 + 1) * TILE - 4, (r1 + 1) * TILE - 3, "0,0 0,-90", "right"

    def terrain(self):
        """Global tile ids: the autotiled walls, dressed from the plan."""
        base = autotile(["".join("." if self.is_floor(c, r) else " "
                                 for c in range(self.cols)) for r in range(self.rows)])
        ids = [list(row) for row in base]
        for r in range(self.rows):
            for c in range(self.cols):
                ch = self.plan[r][c]
                h = hashed(self.number, c, r)
                if ids[r][c] == TOP_WALL:
                    if ch == "!":
                        ids[r][c] = WALL_PIPES
                    elif ch == "|":
                        ids[r][c] = WALL_GRILLE
                    elif h % 100 < 9:
                        ids[r][c] = WALL_CRACKED
                    elif h % 100 < 15 and self.theme in ("cells", "vents", "keep"):
                        ids[r][c] = WALL_GROWTH
                    elif h % 100 < 19 and self.theme in ("forge", "vents"):
                        ids[r][c] = WALL_PIPES
                    continue
                if not self.is_floor(c, r):
                    continue
                if ch == ",":
                    ids[r][c] = CRACKED[h % 2]
                elif ch == '"':
                    ids[r][c] = GROWTH[h % 2]
                elif ch == ";":
                    ids[r][c] = STAIN[h % 2]
                elif ch == "=":
                    ids[r][c] = GRATE
                elif ch == "~":
                    ids[r][c] = PUDDLE
                elif ch == "r":
                    up, down = self.at(c, r - 1) == "r", self.at(c, r + 1) == "r"
                    left, right = self.at(c - 1, r) == "r", self.at(c + 1, r) == "r"
                    row = "t" if not up else ("b" if not down else "")
                    col = "l" if not left else ("r" if not right else "")
                    ids[r][c] = RUG[(row + col) or "c"]
                elif h % 100 < 4:
                    ids[r][c] = CRACKED[(h >> 8) % 2]  # the odd worn flagstone
        return ids

    def write(self, path):
        next_id = [1]

        def new_id():
            next_id[0] += 1
            return next_id[0] - 1

        objects = {"Torches": [], "Player": [], "Doors": [], "NPCs": [], "Enemies": [],
                   "SliceableObjects": [], "StaticObjects": [], "Triggers": []}
        light = TORCH_LIGHT[self.theme]
        npcs = iter(self.npcs)
        for r, row in enumerate(self.plan):
            for c, ch in enumerate(row):
                cx, cy = c * TILE + TILE // 2, r * TILE + TILE // 2
                if ch == "t":
                    objects["Torches"].append(self.torch(new_id(), c * TILE + 8, r * TILE + 8,
                                                         32, "../prop_torch.png", 3, 0.2,
                                                         light, 0.8, 1.6))
                elif ch == "B":
                    objects["Torches"].append(self.torch(new_id(), cx - 24, cy - 34, 48,
                                                         "../prop_brazier.png", 3, 0.15,
                                                         (1.0, 0.62, 0.32), 1.0, 2.0))
                elif ch == "P":
                    objects["Player"].append(
                        f'  <object id="{new_id()}" name="Player" x="{cx}" y="{cy}">'
                        "<point/></object>")
                elif ch in ENEMIES:
                    props = {"DisableAttack": True} if ch == "d" else {}
                    if ch == "@":
                        props = {"Dialog": self.commander_dialog}
                    objects["Enemies"].append(self.point(new_id(), ENEMIES[ch], cx, cy, props))
                elif ch in "HM":
                    objects["NPCs"].append(self.box(
                        new_id(), "Station", cx - 48, cy - 48, 96, 96,
                        {"GivesHP": ch == "H"}))
                elif ch == "N":
                    npc = next(npcs)
                    objects["NPCs"].append(self.box(
                        new_id(), npc["name"], cx - 48, cy - 48, 96, 96,
                        {"TextureName": f'../npc_{npc["look"]}.png', "Frames": 4,
                         "FrameDelay": npc.get("delay", 0.2), "Dialog": npc["dialog"],
                         "HorizontalFlip": npc.get("flip", False),
                         "Automatic": npc.get("automatic", False)}))
                elif ch in SOLID_PROPS:
                    objects["StaticObjects"].append(
                        self.tile(new_id(), SOLID_PROPS[ch], c, r, {"Collidable": True}))
                elif ch in DECOR:
                    objects["StaticObjects"].append(self.tile(new_id(), DECOR[ch], c, r, {}))
                elif ch in BREAKABLE:
                    props = {"DropChance": float(self.drops)} if self.drops != 100 else {}
                    objects["SliceableObjects"].append(
                        self.tile(new_id(), BREAKABLE[ch], c, r, props))
                elif ch in "fc":
                    name = "banner" if ch == "f" else "chains"
                    gid, w, h = sprite(name)
                    objects["StaticObjects"].append(
                        f'  <object id="{new_id()}" gid="{gid}" x="{c * TILE + (TILE - w) // 2}" '
                        f'y="{(r + 1) * TILE + 12}" width="{w}" height="{h}"/>')
        for letter, (target, props) in sorted(self.doors.items()):
            x, y, points, _ = self.door_line(letter)
            lines = [f'  <object id="{new_id()}" name="{target}" x="{x}" y="{y}">']
            lines += properties(props)
            lines += [f'   <polyline points="{points}"/>', "  </object>"]
            objects["Doors"].append("\n".join(lines))
            if letter in self.gates:
                (c0, r0), _ = sorted(self.cells_of(letter))
                if self.door_line(letter)[3] != "up":
                    raise ValueError(f"room {self.number}: gates stand in north doors only")
                objects["StaticObjects"].append(self.box(
                    new_id(), "Gate", c0 * TILE, r0 * TILE + 52, 96, 64,
                    {"FrameDelay": 0.08, "Frames": 4, "TextureName": "../prop_gate.png"}))
        for kind, dialog, (c0, r0), (c1, r1) in self.triggers:
            x0, y0 = round(c0 * TILE), round(r0 * TILE)
            dx, dy = round(c1 * TILE) - x0, round(r1 * TILE) - y0
            props = {"Trigger": kind}
            if dialog:
                props["Dialog"] = dialog
            lines = [f'  <object id="{new_id()}" name="{kind}" x="{x0}" y="{y0}">']
            lines += properties(props)
            lines += [f'   <polyline points="0,0 {dx},{dy}"/>', "  </object>"]
            objects["Triggers"].append("\n".join(lines))

        ids = self.terrain()
        out = ['<?xml version="1.0" encoding="UTF-8"?>',
               f'<map version="1.8" tiledversion="1.8.2" orientation="orthogonal" '
               f'renderorder="right-down" width="{self.cols}" height="{self.rows}" '
               f'tilewidth="{TILE}" tileheight="{TILE}" infinite="0" '
               f'backgroundcolor="#000000" nextlayerid="10" nextobjectid="{next_id[0]}">',
               f' <tileset firstgid="1" source="{self.theme}_terrain.tsx"/>',
               f' <tileset firstgid="{SPRITE_FIRST_GID}" source="campaign_sprites.tsx"/>',
               f' <layer id="1" name="Tiles" width="{self.cols}" height="{self.rows}">',
               '  <data encoding="csv">',
               ",\n".join(",".join(str(v) for v in row) for row in ids),
               "</data>", " </layer>"]
        colours = {"Torches": "#ffcc14", "Player": "#ff0000", "Doors": "#a0a0ff",
                   "NPCs": "#55ff7f", "Enemies": "#00aaff", "SliceableObjects": "#c08040",
                   "StaticObjects": "#c0c0c0", "Triggers": "#ff66ff"}
        for layer, (group, items) in enumerate(objects.items(), start=2):
            if not items:
                continue
            out.append(f' <objectgroup id="{layer}" name="{group}" color="{colours[group]}">')
            out += items
            out.append(" </objectgroup>")
        out.append("</map>")
        with open(path, "w", encoding="utf-8") as f:
            f.write("\n".join(out) + "\n")

    commander_dialog = 0

    @staticmethod
    def torch(oid, x, y, size, texture, frames, delay, colour, strength, reach):
        lines = [f'  <object id="{oid}" name="Torch" x="{x}" y="{y}" width="{size}" '
                 f'height="{size}">']
        lines += properties({"Color.R": colour[0], "Color.G": colour[1], "Color.B": colour[2],
                             "FrameDelay": delay, "Frames": frames, "Range": reach,
                             "Strength": strength, "TextureName": texture})
        lines.append("  </object>")
        return "\n".join(lines)

    @staticmethod
    def point(oid, name, x, y, props):
        lines = [f'  <object id="{oid}" name="{name}" x="{x}" y="{y}">']
        lines += properties(props)
        lines += ["   <point/>", "  </object>"]
        return "\n".join(lines)

    @staticmethod
    def box(oid, name, x, y, w, h, props):
        lines = [f'  <object id="{oid}" name={quoteattr(name)} x="{x}" y="{y}" '
                 f'width="{w}" height="{h}">']
        lines += properties(props)
        lines.append("  </object>")
        return "\n".join(lines)

    @staticmethod
    def tile(oid, name, c, r, props):
        """A tile object standing with its feet on cell (c, r)."""
        gid, w, h = sprite(name)
        x = c * TILE + (TILE - w) // 2 if w <= TILE else c * TILE
        lines = [f'  <object id="{oid}" gid="{gid}" x="{x}" y="{(r + 1) * TILE}" '
                 f'width="{w}" height="{h}">']
        lines += properties(props)
        lines.append("  </object>")
        return "\n".join(lines)


# ------------------------------------------------------------------- story

def talk(name, look, dialog, **extra):
    return dict(name=name, look=look, dialog=dialog, **extra)


def level_cells():
    """Level 2, the cells: soldiers and their bolts; Oren the smith; the first
    heavy at the far end."""
    block = Room(10, "cells", """
##tc###t#c##t####tc###t#######
##...##...##...##...##...#####
##.j.##.".##...##.N.##.;.#####
##..,##...##.,.##...##..w#####
#............................A
#P..........s..........s.....A
#..,.......................;.#
#.......;;...................#
##...##...##...##...##...#####
##.".##.j.##...##.".##...#####
##...##...##.w.##...##.k.#####
###t####t####t####t####t######
""", doors={"A": (11, {})},
        npcs=[talk("Oren", "prisoner", 102, delay=0.25)],
        triggers=[("TriggerDialog", 100, (3, 4), (3, 8)),
                  ("TriggerDialog", 101, (8, 4), (8, 8))])
    guard = Room(11, "cells", """
####t###DD###t######
#..................#
#..x......s.....k..#
#.....o.......o....#
#..................#
A.....,............#
A......s...........C
#..........;......qC
#.....o.......o....#
#..q......s........#
#.......w......x...#
#..................#
###t#########t######
""", doors={"A": (10, {}), "C": (13, {}), "D": (12, {})}, gates={"D"})
    store = Room(13, "cells", """
###t##t##
#xq...kx#
#.......#
#...M...#
C...,...#
C.......#
#q..x..u#
#########
""", doors={"C": (11, {})}, drops=60)
    walk = Room(12, "cells", """
#####t##EE##t###
####........####
####...ss...####
####........####
##t#..o..o..#t##
##..........,..#
##.....h.......#
##..;.........w#
##.............#
##..o.....o....#
####........####
####.,......####
####...""...####
######FF########
""", doors={"E": (0, {}),
            "F": (11, {"EnterDialog": 103, "EnterDialogTrigger": "OneShot"})})
    return [block, guard, store, walk]


def level_forges():
    """Level 3, the forges: heavies, and the dash that goes through them;
    Isel at the great forge."""
    gate = Room(20, "forge", """
###t###!######!###t#####
#.........=..=.........#
#..B....n........n..B..#
#......................#
#P......####.....s.....A
#.......####...........A
#...""........s........#
#..B...n.......n....B..#
#........=..=..........#
####t############t######
""", doors={"A": (21, {})},
        triggers=[("TriggerDialog", 120, (3, 1), (3, 9))])
    run = Room(21, "forge", """
############DD####################
############..####################
#t####!#####..#####t#######!####t#
A................................E
A.......,......h.......h...,.....E
#...;............."".............#
##t######t#######t#######t########
""", doors={"A": (20, {}), "D": (22, {}), "E": (23, {})},
        triggers=[("TriggerDialog", 121, (4, 3), (4, 6))])
    tools = Room(22, "forge", """
###t#####t###
#a.x.....qx.#
#.....M.....#
#..n.....n..#
#.....=.....#
#x..k...k..a#
#####FF######
""", doors={"F": (21, {})}, drops=60)
    forge = Room(23, "forge", """
###t######!##GG##!######t#
#........................#
#..B..................B..#
#........................#
#..s..####..h...####..s..#
#.....####......####.....#
#..........=..=..........#
A........................#
A.......n.........n......#
#..........=..=..........#
#.....####......####.....#
#.....####..h...####...N.#
#.H......................#
#..B..................B..#
#........................#
####t######t######t#######
""", doors={"A": (21, {"EnterDialog": 122, "EnterDialogTrigger": "OneShot"}),
            "G": (24, {})}, gates={"G"},
        npcs=[talk("Isel", "smith", 123, flip=True)])
    yard = Room(24, "forge", """
#####t####EE####t#####
#....................#
#..~.......s.......~.#
#.....~..........~...#
#........o..o........#
#..s......~..~....s..#
#........~....~......#
#....h...............#
#.........H..........#
#....................#
##########FF##########
""", doors={"E": (0, {}), "F": (23, {})})
    return [gate, run, tools, forge, yard]


def level_gasworks():
    """Level 4, the gas works: biohazard troopers and their canisters; Wren
    the scout in the vents."""
    intake = Room(30, "vents", """
###|#####t######|#######
#P.....=.......=.......#
#..................""..#
#......=.......=.......#
###############....N...#
###############........#
###############..=.....#
###############....~...#
###############t.......#
#################AA#####
""", doors={"A": (31, {})},
        npcs=[talk("Wren", "scout", 141)],
        triggers=[("TriggerDialog", 140, (13, 1), (13, 4))])
    chamber = Room(31, "vents", """
#####AA##t####|#####
#..................#
#..v.....v.....v...#
#..................#
#.....z.......~....#
#.."...............#
#......v.....v.....C
#..................C
#..~........z......#
#..v.....v.....v...#
#.........=........#
#t#######t########t#
""", doors={"A": (30, {"EnterDialog": 142, "EnterDialogTrigger": "OneShot"}),
            "C": (32, {})})
    junction = Room(32, "vents", """
#######DD######t######
#t...................#
#..x.....s...........#
#....=======.....q...#
A....=.....=.........E
A....=..z..=....s....E
#....=======.........#
#..k...........x.....#
#t...................#
######################
""", doors={"A": (31, {}), "D": (33, {}), "E": (34, {})})
    filters = Room(33, "vents", """
###|##t##|##
#..~....~..#
#.H......M.#
#..........#
#.q..==..x.#
#..........#
#####FF#####
""", doors={"F": (32, {})}, drops=60)
    pumps = Room(34, "vents", """
###|#####t#EE#t#####|###
#......................#
#..v...v.........v..v..#
#......................#
#....z.....h.....z.....#
#.........====.........#
#.."".....====.....~...#
A......................#
A.........s............#
#..v...v.........v..v..#
#......................#
###t#########t######t###
""", doors={"A": (32, {}), "E": (0, {})}, gates={"E"})
    return [intake, chamber, junction, filters, pumps]


def level_barracks():
    """Level 5, the barracks: every kind together, and dormant gunners that
    open fire when Blade crosses their line; the deserter in the stores."""
    dorm = Room(40, "barracks", """
###t#####t#####t#####t#####
#.........................#
#.b..b..b..b..b..b..b..b..#
#..d..........d...........#
#P........................A
#..........rrrrrrrr.......A
#.........d........d......#
#.b..b..b..b..b..b..b..b..#
#.........................#
###t#####t#####t#####t#####
""", doors={"A": (41, {})},
        triggers=[("TriggerDialog", 160, (3, 1), (3, 9)),
                  ("TriggerEnemy", 0, (7, 1), (7, 9)),
                  ("TriggerDialog", 161, (7, 1), (7, 9))])
    mess = Room(41, "barracks", """
####t#####t#GG#t#####t###
#.......................#
#..T...T.....T...T......#
#.......................#
#..T...T..s..T...T..z...#
A.......................#
A...........h...........E
#..T...T.....T...T......E
#.......................#
#..T...T.....T...T......#
####t#######t#######t####
""", doors={"A": (40, {}), "E": (43, {}), "G": (42, {})}, gates={"G"})
    armoury = Room(42, "barracks", """
######tEEt######
######....######
###..........###
###d.........d##
###..........###
######....######
######....######
###..........###
###d...h.....d##
###..........###
######....######
######....######
######.,..######
#######FF#######
""", doors={"E": (44, {}), "F": (41, {})},
        triggers=[("TriggerEnemy", 0, (6, 10.5), (10, 10.5))])
    stores = Room(43, "barracks", """
####t###t####
#x.q.....a.x#
#...........#
A.....N.....#
A........H..#
#.k.......q.#
#############
""", doors={"A": (41, {})}, drops=60,
        npcs=[talk("Hale", "deserter", 162, delay=0.25)])
    yard = Room(44, "barracks", """
###t######t###EE###t######t#
#..........................#
#..d.......d......d........#
#..........................#
#....o.....o.......o....o..#
#..........................#
#......s........s..........#
#..........rrrrrr..........#
#..h.......rrrrrr..........#
#..........rrrrrr..........#
#.........z................#
#....o.....o.......o....o..#
#..........................#
#.H........................#
###t######t###FF###t######t#
""", doors={"E": (0, {}),
            "F": (42, {"EnterDialog": 164, "EnterDialogTrigger": "OneShot"})},
        gates={"E"},
        triggers=[("TriggerEnemy", 0, (1, 5.5), (27, 5.5))])
    return [dorm, mess, armoury, stores, yard]


def level_keep():
    """Level 6, the high keep: the hardest rooms before the hall, where only
    deflections and dashes get through; Wren waits in the chapel."""
    stair = Room(50, "keep", """
####f#t###GG###t#f####
#....................#
#.......s....s.......#
#....................#
#...o....rrrr....o...#
#....z...rrrr...z....#
#...o....rrrr....o...#
#....................#
#.P..................#
####t####t##t####t####
""", doors={"G": (51, {})}, gates={"G"},
        triggers=[("TriggerDialog", 180, (1, 7.5), (21, 7.5))])
    gallery = Room(51, "keep", """
##t####t####t####t####tDDt#t####t#
#................................E
#..o....o....o....o....o....o....E
#d.....h..........h.........s....#
#...........rrrrrrrrrrr.....s....#
#d.........................s.....#
#..o....o....o....o....o....o....#
#................................#
###########AA#####################
""", doors={"A": (50, {"EnterDialog": 181, "EnterDialogTrigger": "OneShot"}),
            "D": (52, {}), "E": (53, {})},
        triggers=[("TriggerEnemy", 0, (16, 1), (16, 8))])
    chapel = Room(52, "keep", """
###t###t###t###
#B...........B#
#....rrrrr....#
#..H.rrrrr.M..#
#....rrNrr....#
#....rrrrr....#
#.x.........q.#
######DD#######
""", doors={"D": (51, {})}, drops=60,
        npcs=[talk("Wren", "scout", 182)])
    great = Room(53, "keep", """
####t#####t#EE#t#####t####
#........................#
#..s.......s.........s...#
#........................#
#....oo..........oo......#
#........................#
A.....h.....rr.....h.....#
A...........rr...........#
#......z....rr....z......#
#........................#
#....oo..........oo......#
#........................#
#.H......................#
####t#####t####t#####t####
""", doors={"A": (51, {}), "E": (0, {})}, gates={"E"})
    return [stair, gallery, chapel, great]


def level_hall():
    """Level 7, the Commander's hall: the antechamber's stations and last
    guards, the hall where he waits by his chair, and the stair beyond it
    where the story ends."""
    ante = Room(60, "hall", """
####t####DD####t####
#..................#
#..B....s..s....B..#
#........rr........#
#..o.....rr.....o..#
#.....h..rr..z.....#
#........rr........#
#..o.....rr.....o..#
#........rr........#
#.H..B...rr...B..M.#
#........P.........#
####t##########t####
""", doors={"D": (61, {})},
        triggers=[("TriggerDialog", 200, (1, 9.6), (19, 9.6))])
    hall = Room(61, "hall", """
####f#t####f#t#GG#t#f####t#f##
#............................#
#..B......................B..#
#............K..@............#
#............................#
#...o.....rrrrrrrrrr.....o...#
#.........rrrrrrrrrr.........#
#.........rrrrrrrrrr.........#
#...o.....rrrrrrrrrr.....o...#
#.........rrrrrrrrrr.........#
#.........rrrrrrrrrr.........#
#...o.....rrrrrrrrrr.....o...#
#............................#
#..B......................B..#
#............................#
##############DD##############
""", doors={"D": (60, {"EnterDialog": 201, "EnterDialogTrigger": "OneShot",
                       "Audio": "06.CommanderMusic.ogg"}),
            "G": (62, {})}, gates={"G"})
    hall.commander_dialog = 202
    stair = Room(62, "hall", """
####t###t####
#...........#
#.B.......B.#
#...........#
#....rrr....#
#....rrr....#
#....rrr....#
#.B..rrr..B.#
#....rrr....#
#####DD######
""", doors={"D": (61, {"EnterDialog": 203, "EnterDialogTrigger": "OneShot"})},
        triggers=[("TriggerCredits", 0, (1, 2.5), (12, 2.5))])
    return [ante, hall, stair]


def levels():
    """Story levels from the second on: (start room, music, rooms)."""
    return [(10, "02.Level2Music.ogg", level_cells()),
            (20, "04.Level3Music.ogg", level_forges()),
            (30, "07.Level4Music.ogg", level_gasworks()),
            (40, "08.Level5Music.ogg", level_barracks()),
            (50, "09.Level6Music.ogg", level_keep()),
            (60, "10.Level7Music.ogg", level_hall())]


def update_levels_xml(path, story):
    """Keeps the levels before the campaign's (start rooms below 10) and
    writes the campaign's after them."""
    kept = []
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            for line in f:
                m = re.search(r'<level room="(\d+)"', line)
                if m and int(m.group(1)) < 10:
                    kept.append(line.rstrip("\n"))
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "<levels>"] + kept
    lines += [f' <level room="{start}" bgm="{music}"/>' for start, music, _ in story]
    lines.append("</levels>")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    rooms_dir = os.path.join(root, "assets", "rooms")
    write_tilesets(rooms_dir)
    story = levels()
    for _, _, rooms in story:
        for room in rooms:
            room.write(os.path.join(rooms_dir, f"{room.number}.tmx"))
    update_levels_xml(os.path.join(root, "assets", "levels.xml"), story)


if __name__ == "__main__":
    main()
