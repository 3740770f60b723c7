"""Writes one output file of a generator that the build names as its output."""

import os


def write_output(path, text):
    """Writes the file (and its folder) when its text changed, and marks it
    up to date either way, so the build does not run the generator again."""
    folder = os.path.dirname(path)
    if folder:
        os.makedirs(folder, exist_ok=True)
    try:
        with open(path, encoding='utf-8') as fh:
            same = fh.read() == text
    except FileNotFoundError:
        same = False
    if not same:
        tmp = path + '.tmp'
        with open(tmp, 'w', encoding='utf-8') as fh:
            fh.write(text)
        os.replace(tmp, path)
    os.utime(path)
