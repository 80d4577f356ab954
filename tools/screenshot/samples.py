#!/usr/bin/env python3
"""Sample media for the manual's pictures, and a small CDDB server that knows the sample disc.

  samples.py make FOLDER        tagged MP3 files, a playlist and an audio CD image (CUE/BIN) in FOLDER
  samples.py serve PORT         answers CDDB-over-HTTP requests on 127.0.0.1:PORT until killed

Every name is made up; the audio is plain tones, the disc image silence (a sparse file).
"""
import http.server
import math
import os
import struct
import subprocess
import sys
import time
import urllib.parse
import wave

TITLES = [  # artist, title, album, year, genre, seconds, tone in Hz
    ("The Paper Lanterns", "Morning Light", "Quiet Hours", "2003", "Pop", 221, 440),
    ("The Paper Lanterns", "Harbour Road", "Quiet Hours", "2003", "Pop", 198, 494),
    ("Mira Colefield", "Slow River", "Northern Songs", "2001", "Folk", 254, 523),
    ("Mira Colefield", "Lanterns in the Rain", "Northern Songs", "2001", "Folk", 187, 587),
    ("Oskar & the Tin Drums", "Clockwork Parade", "Brass and Steam", "1999", "Jazz", 276, 659),
    ("Oskar & the Tin Drums", "Last Tram Home", "Brass and Steam", "1999", "Jazz", 233, 698),
]

DISC_ARTIST = "Velvet Orchard"
DISC_TITLE = "Songs from the Greenhouse"
DISC_TRACKS = [  # title, seconds
    ("Seedlings", 194), ("Under Glass", 221), ("Rain on the Roof", 248), ("Copper Watering Can", 176),
    ("Evening Frost", 263), ("The Gardener's Waltz", 205), ("Orchard Lights", 232), ("Late Harvest", 301),
]
DISC_NAME = "Songs from the Greenhouse"
PREGAP = 150  # frames before the first track, as the CDDB query counts them


def tone_wav(path, seconds, freq):
    # One second of tone, repeated: whole-hertz tones join without a click.
    second = bytearray()
    for i in range(44100):
        level = int(6000 * math.sin(2 * math.pi * freq * i / 44100))
        second += struct.pack("<hh", level, level)
    with wave.open(path, "wb") as out:
        out.setnchannels(2)
        out.setsampwidth(2)
        out.setframerate(44100)
        for _ in range(seconds):
            out.writeframes(second)


def disc_offsets():
    """Track start frames (with the pregap) and the lead-out, as the CDDB query gives them."""
    offsets, frame = [], PREGAP
    for _, seconds in DISC_TRACKS:
        offsets.append(frame)
        frame += seconds * 75
    return offsets, frame


def disc_id():
    offsets, leadout = disc_offsets()
    digits = sum(sum(int(c) for c in str(o // 75)) for o in offsets)
    seconds = leadout // 75 - offsets[0] // 75
    return (digits % 0xFF) << 24 | seconds << 8 | len(offsets)


def xmcd_record(category, artist, title):
    offsets, leadout = disc_offsets()
    lines = ["# xmcd", "#", "# Track frame offsets:"] + ["#\t%d" % o for o in offsets]
    lines += ["#", "# Disc length: %d seconds" % (leadout // 75), "#", "DISCID=%08x" % disc_id(),
              "DTITLE=%s / %s" % (artist, title), "DYEAR=2004", "DGENRE=%s" % category.capitalize()]
    lines += ["TTITLE%d=%s" % (i, t) for i, (t, _) in enumerate(DISC_TRACKS)]
    lines += ["EXTD="] + ["EXTT%d=" % i for i in range(len(DISC_TRACKS))] + ["PLAYORDER="]
    return lines


def make(folder):
    music = os.path.join(folder, "Music")
    os.makedirs(music, exist_ok=True)
    paths = []
    for number, (artist, title, album, year, genre, seconds, freq) in enumerate(TITLES, 1):
        wav = os.path.join(folder, "tone.wav")
        tone_wav(wav, seconds, freq)
        mp3 = os.path.join(music, "%02d %s.mp3" % (number, title))
        subprocess.run(["lame", "--quiet", "-b", "128", "--tt", title, "--ta", artist, "--tl", album, "--ty", year,
                        "--tn", str(number), "--tg", genre, "--add-id3v2", wav, mp3], check=True)
        os.remove(wav)
        paths.append(mp3)
    with open(os.path.join(folder, "playlist.m3u"), "w", encoding="utf-8") as out:
        out.writelines(p + "\n" for p in paths)

    disc = os.path.join(folder, "Disc")
    os.makedirs(disc, exist_ok=True)
    offsets, leadout = disc_offsets()
    with open(os.path.join(disc, DISC_NAME + ".bin"), "wb") as out:
        out.truncate((leadout - PREGAP) * 2352)
    with open(os.path.join(disc, DISC_NAME + ".cue"), "w", encoding="utf-8") as out:
        out.write('FILE "%s.bin" BINARY\n' % DISC_NAME)
        for number, offset in enumerate(offsets, 1):
            frames = offset - PREGAP
            out.write("  TRACK %02d AUDIO\n    INDEX 01 %02d:%02d:%02d\n" %
                      (number, frames // 4500, frames // 75 % 60, frames % 75))
    print(os.path.join(disc, DISC_NAME + ".cue"))


class Cddb(http.server.BaseHTTPRequestHandler):
    MATCHES = [("rock", DISC_ARTIST, DISC_TITLE), ("misc", DISC_ARTIST, DISC_TITLE + " (Deluxe)"),
               ("folk", "Orchard Velvet", DISC_TITLE)]

    def do_GET(self):
        query = urllib.parse.parse_qs(urllib.parse.urlsplit(self.path).query)
        words = query.get("cmd", [""])[0].split()
        if words[:2] == ["cddb", "query"]:
            lines = ["210 Found exact matches, list follows (until terminating `.')"]
            lines += ["%s %08x %s / %s" % (c, disc_id(), a, t) for c, a, t in self.MATCHES] + ["."]
        elif words[:2] == ["cddb", "read"] and len(words) >= 4:
            time.sleep(3)  # a slow server: the progress window can be seen at work
            category = words[2]
            match = next((m for m in self.MATCHES if m[0] == category), self.MATCHES[0])
            lines = ["210 %s %08x CD database entry follows (until terminating `.')" % (category, disc_id())]
            lines += xmcd_record(*match) + ["."]
        elif words[:1] == ["sites"]:
            lines = ["210 OK, site information follows (until terminating `.')",
                     "gnudb.gnudb.org http 80 /~cddb/cddb.cgi N000.00 W000.00 Random gnudb server",
                     "127.0.0.1 http %d /~cddb/cddb.cgi N000.00 W000.00 This computer" % self.server.server_port,
                     "."]
        else:
            lines = ["500 Command syntax error"]
        body = "".join(line + "\n" for line in lines).encode("latin-1", "replace")
        self.send_response(200)
        self.send_header("Content-Type", "text/plain; charset=ISO-8859-1")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        try:
            self.wfile.write(body)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the picture was taken and Melvo ended before the slow answer came

    def log_message(self, *args):
        pass


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "make":
        make(sys.argv[2])
    elif len(sys.argv) == 3 and sys.argv[1] == "serve":
        http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[2])), Cddb).serve_forever()
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
