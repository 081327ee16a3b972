#!/usr/bin/env python3
"""Writes the story's conversations from the second level on
(assets/dialogs/<n>.xml, numbers 100 and up), each with the portraits of
its speakers: Blade on the left, whoever he speaks with on the right.

A speech box holds about 20 to 25 characters a line and wraps by itself;
keep each line to a sentence or two. Only Latin-1 characters are drawn.

Run from the repository root:  python3 tools/rooms/campaign_dialogs.py
"""

import os
import sys
from xml.sax.saxutils import escape

PORTRAIT = 'texture="portrait_{}.png" frames="8" frameDelay="0.18" width="96" height="96"'
SPEAKERS = {"Blade": "blade", "Commander": "commander", "Oren": "prisoner",
            "Isel": "smith", "Wren": "scout", "Hale": "deserter"}

# Conversation number -> lines of (speaker, words). Numbers follow the
# levels: 100s the cells, 120s the forges, 140s the gas works, 160s the
# barracks, 180s the high keep, 200s the Commander's hall.
CONVERSATIONS = {
    # ---- Level 2: the cells
    100: [("Blade", "The cells. The air tastes of rust and old water."),
          ("Blade", "If anyone from the valley still lives, they are down here.")],
    101: [("Blade", "Two guns down the row."),
          ("Blade", "A bolt flies straight. Meet it with a slash and it flies home.")],
    102: [("Oren", "Who's there? ...That coat. That sword."),
          ("Blade", "Oren. You still know your own work, smith."),
          ("Oren", "I forged that blade for the Captain. Twelve winters back."),
          ("Oren", "He gave it to you the night he sold us. Everyone knows."),
          ("Blade", "He left me in the snow at the pass with it in my hand."),
          ("Blade", "I've come to give it back to him."),
          ("Oren", "He calls himself Commander now. His hall is at the top."),
          ("Oren", "Half the valley sweats in his forges. Go."),
          ("Blade", "I'll come back for the cells, Oren.")],
    103: [("Blade", "A heavy. Plate from collar to boot."),
          ("Blade", "Cut at that and the edge skips. Better to go through him."),
          ("Blade", "Let the world slow, pick the line, strike. (Hold Shift.)")],
    # ---- Level 3: the forges
    120: [("Blade", "The forges. Hot enough to bake the stone."),
          ("Blade", "Every blade in this army was beaten out down here. By our hands.")],
    121: [("Blade", "Two heavies in a narrow run. No room to dance."),
          ("Blade", "No room for them to turn either. Straight through.")],
    122: [("Blade", "The great forge. They've chained the bellows-men to the wheels."),
          ("Blade", "Clear the floor. The gate will follow.")],
    123: [("Isel", "Blade? Gods. They said you died at the pass."),
          ("Blade", "They said a lot of things, Isel."),
          ("Isel", "He comes down here at night. The Commander."),
          ("Isel", "Stands by the furnace, says nothing. Like he's waiting."),
          ("Blade", "Then I won't keep him waiting."),
          ("Isel", "Go up through the gas works. Wren knows the vents.")],
    # ---- Level 4: the gas works
    140: [("Wren", "Down! ...Oh. You're the one Isel sent word of."),
          ("Blade", "Word travels fast for a place with no windows."),
          ("Wren", "It travels through the vents. So do I."),
          ("Wren", "Troopers in green suits ahead. They lob gas."),
          ("Wren", "Don't stand in the cloud. Keep moving and close in fast.")],
    141: [("Wren", "The pump hall is the way up. Its gate shuts till the floor's clear."),
          ("Wren", "Past the junction there's a filter room. Clean air, and a station.")],
    142: [("Blade", "Green suits, canisters on their belts."),
          ("Blade", "Keep moving. Never stand still in the gas.")],
    # ---- Level 5: the barracks
    160: [("Blade", "The barracks. They've seen me, and nobody fires."),
          ("Blade", "Waiting for an order.")],
    161: [("Blade", "There's the order.")],
    162: [("Hale", "Easy! My rifle's on the floor. See?"),
          ("Blade", "Then you're wiser than your friends."),
          ("Hale", "I marched into your valley three winters back."),
          ("Hale", "The Commander rode at the front. He never drew."),
          ("Hale", "At the pass he told us: spare the boy with the pale sword."),
          ("Blade", "He left me to freeze. That was his mercy."),
          ("Hale", "Maybe. Take what's in the stores. I'm done with this place.")],
    164: [("Blade", "The drill yard. Every kind of soldier the fortress keeps."),
          ("Blade", "Turn the bolts, go through the plate, stay out of the gas.")],
    # ---- Level 6: the high keep
    180: [("Blade", "The high keep. The air is cold again, and clean."),
          ("Blade", "Every stair up is one less between us.")],
    181: [("Blade", "A long gallery, and guns at the far end."),
          ("Blade", "Their bolts first. Send them back, then close in.")],
    182: [("Wren", "You made it. I came up the flue."),
          ("Wren", "He's sent his guard away. The hall holds him and no one else."),
          ("Blade", "He wants it to be just us. He always did."),
          ("Wren", "Oren's out. Isel has the forges. The valley's waking up."),
          ("Wren", "Finish it, Blade.")],
    # ---- Level 7: the Commander's hall
    200: [("Blade", "His antechamber. Braziers lit as if for a feast."),
          ("Blade", "Breathe. Fill up on red and blue. Then the door.")],
    201: [("Commander", "There you are. You've grown into the coat."),
          ("Blade", "You taught me this stance, Captain."),
          ("Commander", "Commander, now. The valley was starving, boy."),
          ("Commander", "The Court offered bread and iron. I took both."),
          ("Blade", "You sold them. You sold me."),
          ("Commander", "I spared you. Show me it was worth it.")],
    202: [("Commander", "...Good. Your left foot still leads. I told you about that."),
          ("Blade", "Why leave me alive at the pass?"),
          ("Commander", "Someone had to come back for them. It was never going to be me."),
          ("Commander", "Finish it. Then open the cells."),
          ("Blade", "Goodbye, Captain.")],
    203: [("Blade", "It's done."),
          ("Blade", "The cells will open. The forges can go cold."),
          ("Blade", "The sword goes home with me. It was never his to give.")],
}


def write(path, lines):
    speakers = {speaker for speaker, _ in lines}
    out = ['<?xml version="1.0" encoding="UTF-8"?>', "<chat>"]
    others = sorted(speakers - {"Blade"})
    if len(others) > 1:
        raise ValueError(f"{path}: Blade speaks with one character at a time")
    if others:
        out.append(f" <rhs {PORTRAIT.format(SPEAKERS[others[0]])}/>")
    if "Blade" in speakers:
        out.append(f" <lhs {PORTRAIT.format(SPEAKERS['Blade'])}/>")
    for speaker, words in lines:
        side = "left" if speaker == "Blade" else "right"
        out.append(f' <dialog side="{side}">{escape(words)}</dialog>')
    out.append("</chat>")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    folder = os.path.join(root, "assets", "dialogs")
    os.makedirs(folder, exist_ok=True)
    for number, lines in sorted(CONVERSATIONS.items()):
        write(os.path.join(folder, f"{number}.xml"), lines)


if __name__ == "__main__":
    main()
