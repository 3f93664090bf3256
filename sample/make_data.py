#!/usr/bin/env python3
"""Writes the stand-in game's data files (about 35 MB) into a folder.

  make_data.py OUT

Folders and names are upper case, a few levels deep. Some files are
text-like (records and prose that pack well), some are random bytes (like
already compressed sound and pictures, which do not pack), some are a mix.
Every file's bytes come from a generator seeded with its own name, so runs
write the same files, and adding a file changes no other.
"""
import os
import random
import sys
import zlib

MB = 1 << 20

# name: (kind, size in bytes)
FILES = {
    'README.TXT': ('readme', 0),
    'CONFIG\\DEFAULT.CFG': ('config', 3 * 1024),
    'DATA\\MAPS\\MAP1.DAT': ('mixed', 3 * MB),
    'DATA\\MAPS\\MAP2.DAT': ('mixed', 3 * MB),
    'DATA\\MAPS\\MAP3.DAT': ('mixed', 2 * MB),
    'DATA\\MAPS\\TILES\\GRASS.TIL': ('random', 1 * MB),
    'DATA\\MAPS\\TILES\\ROCK.TIL': ('random', 1 * MB),
    'DATA\\MAPS\\TILES\\WATER.TIL': ('random', 512 * 1024),
    'DATA\\MAPS\\SCRIPTS\\MAP1.SCR': ('records', 1 * MB),
    'DATA\\MAPS\\SCRIPTS\\MAP2.SCR': ('records', 1 * MB),
    'DATA\\SOUND\\MUSIC\\THEME.SND': ('random', 5 * MB),
    'DATA\\SOUND\\MUSIC\\BATTLE.SND': ('random', 4 * MB),
    'DATA\\SOUND\\FX\\STEP.SND': ('random', 96 * 1024),
    'DATA\\SOUND\\FX\\SWORD.SND': ('random', 160 * 1024),
    'DATA\\SOUND\\FX\\HORN.SND': ('random', 320 * 1024),
    'DATA\\SOUND\\VOICES\\EN\\INTRO.SND': ('random', 1536 * 1024),
    'DATA\\MODELS\\UNITS\\ARCHER.MDL': ('mixed', 2 * MB),
    'DATA\\MODELS\\UNITS\\KNIGHT.MDL': ('mixed', 2 * MB),
    'DATA\\MODELS\\BUILDINGS\\KEEP.MDL': ('mixed', 3 * MB),
    'DATA\\TEXT\\LANG\\ENGLISH.TXT': ('prose', 2 * MB),
    'DATA\\TEXT\\LANG\\UNITS.TXT': ('records', 3 * MB),
}

WORDS = ('ash grove river stone keep wall tower gate field forest hill road bridge '
         'archer knight squire banner horn sword shield arrow camp fire night dawn '
         'north south east west the a of to and in on under over with from').split()
TERRAIN = ('GRASS', 'ROCK', 'WATER', 'SAND', 'FOREST', 'ROAD', 'MARSH', 'SNOW')
UNITS = ('ARCHER', 'KNIGHT', 'SQUIRE', 'SCOUT', 'CATAPULT', 'HEALER')


README = (
    'Ashgrove Multiplayer demo (sample disc)\r\n'
    '\r\n'
    'This folder holds the stand-in game of the sample disc: ashgrove.exe opens a\r\n'
    'window and ends when it is closed; the files under DATA and CONFIG are\r\n'
    'generated filler that only gives the installer something to copy.\r\n')


def prose(rng, size):
    lines = []
    for _ in range(400):
        words = rng.choices(WORDS, k=rng.randint(6, 14))
        lines.append(' '.join(words).capitalize() + '.\r\n')
    text = ''.join(rng.choices(lines, k=size // 40 + 1))
    return text.encode('ascii')[:size]


def records(rng, size):
    lines = []
    for i in range(2000):
        lines.append('%s %05d x=%d y=%d owner=%d hp=%d terrain=%s\r\n' % (
            rng.choice(UNITS), i, rng.randrange(256), rng.randrange(256), rng.randrange(8),
            rng.randrange(10, 200, 10), rng.choice(TERRAIN)))
    text = ''.join(rng.choices(lines, k=size // 50 + 1))
    return text.encode('ascii')[:size]


def config(rng, size):
    keys = ['%s_%d' % (w.upper(), i) for i, w in enumerate(WORDS)]
    text = ''.join('%s=%d\r\n' % (k, rng.randrange(1000)) for k in keys * 8)
    return text.encode('ascii')[:size]


def mixed(rng, size):
    # Alternating record text and random blocks of 64 KiB.
    out = bytearray()
    block = 64 * 1024
    while len(out) < size:
        out += records(rng, block) if len(out) // block % 2 == 0 else rng.randbytes(block)
    return bytes(out[:size])


KINDS = {
    'prose': prose,
    'records': records,
    'config': config,
    'mixed': mixed,
    'random': lambda rng, size: rng.randbytes(size),
    'readme': lambda rng, size: README.encode('ascii'),
}


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_data.py OUT')
    out = sys.argv[1]
    for name, (kind, size) in FILES.items():
        path = os.path.join(out, *name.split('\\'))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        rng = random.Random(zlib.crc32(name.encode('ascii')))
        with open(path, 'wb') as f:
            f.write(KINDS[kind](rng, size))


if __name__ == '__main__':
    main()
