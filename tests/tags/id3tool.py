#!/usr/bin/python3
"""Writes and reads ID3 tags with mutagen and eyeD3, so the tests can compare Melvo with both.

  id3tool.py write FILE JSON   JSON: {"version": 3|4, "frames": [{"id": "TPE1", "enc": 0, "text": "..."}, ...],
                               "v1": {"title": ..., "artist": ..., "genre": N}}  ("cp": "cp1251" stores the text
                               in that code page under encoding 0)
  id3tool.py read FILE         mutagen's view as JSON: version, frames by id, v1 fields
  id3tool.py eyed3 FILE        eyeD3's view as JSON
  id3tool.py eyed3-write FILE JSON   eyeD3 writes {"version": 3|4, "artist", "title", "album", "comment", "genre"}
"""
import hashlib
import json
import struct
import sys


def latin1_of(frame):
    text = frame.get("text", "")
    if frame.get("cp"):
        return text.encode(frame["cp"]).decode("latin-1")
    return text


def write(path, spec):
    from mutagen.id3 import ID3, Frames, COMM, APIC, PRIV, USLT, TXXX
    tag = ID3()
    for f in spec.get("frames", []):
        enc = f.get("enc", 0)
        text = latin1_of(f) if enc == 0 else f.get("text", "")
        fid = f["id"]
        if fid == "COMM":
            tag.add(COMM(encoding=enc, lang=f.get("lang", "eng"), desc=f.get("desc", ""), text=[text]))
        elif fid == "APIC":
            tag.add(APIC(encoding=0, mime="image/png", type=3, desc="cover", data=bytes.fromhex(f["hex"])))
        elif fid == "PRIV":
            tag.add(PRIV(owner=f.get("owner", "melvo.test"), data=bytes.fromhex(f["hex"])))
        elif fid == "USLT":
            tag.add(USLT(encoding=enc, lang="eng", desc="", text=text))
        elif fid == "TXXX":
            tag.add(TXXX(encoding=enc, desc=f.get("desc", ""), text=[text]))
        else:
            values = f.get("values") or [text]
            tag.add(Frames[fid](encoding=enc, text=values))
    if spec.get("frames"):
        tag.save(path, v2_version=spec.get("version", 3), v1=0)
    v1 = spec.get("v1")
    if v1:
        def field(name, size):
            raw = v1.get(name, "")
            data = raw.encode(v1["cp"]) if v1.get("cp") else raw.encode("latin-1")
            return data[:size].ljust(size, b"\0")
        block = (b"TAG" + field("title", 30) + field("artist", 30) + field("album", 30) + field("year", 4)
                 + field("comment", 28) + b"\0" + bytes([v1.get("track", 0)]) + bytes([v1.get("genre", 255)]))
        with open(path, "ab") as out:
            out.write(block)


def text_of(frame):
    return [str(t) for t in frame.text]


def read(path):
    from mutagen.id3 import ID3, ParseID3v1, ID3NoHeaderError
    result = {"version": None, "frames": {}, "v1": None}
    try:
        tag = ID3(path, translate=False, v2_version=4, load_v1=False)
        result["version"] = tag.version[1]
        for frame in tag.values():
            fid = frame.FrameID
            entry = {}
            if fid == "APIC" or fid == "PRIV":
                entry["sha"] = hashlib.sha256(frame.data).hexdigest()
            elif fid == "USLT":
                entry = {"enc": int(frame.encoding), "text": [frame.text]}
            elif hasattr(frame, "text"):
                entry = {"enc": int(frame.encoding), "text": text_of(frame)}
                if fid == "COMM":
                    entry["desc"] = frame.desc
            result["frames"].setdefault(fid, []).append(entry)
    except ID3NoHeaderError:
        pass
    with open(path, "rb") as f:
        data = f.read()
    if len(data) >= 128 and data[-128:-125] == b"TAG":
        frames = ParseID3v1(data[-128:]) or {}
        v1 = {fid: str(frame.text[0]) for fid, frame in frames.items() if hasattr(frame, "text")}
        v1["genre_byte"] = data[-1]
        result["v1"] = v1
    print(json.dumps(result))


def eyed3_read(path):
    import eyed3
    import logging
    logging.getLogger("eyed3").setLevel(logging.ERROR)
    audio = eyed3.load(path)
    tag = audio.tag if audio else None
    if tag is None:
        print(json.dumps(None))
        return
    print(json.dumps({
        "version": list(tag.version),
        "artist": tag.artist, "title": tag.title, "album": tag.album,
        "genre": tag.genre.name if tag.genre else None,
        "genre_id": tag.genre.id if tag.genre else None,
        "comments": [c.text for c in tag.comments],
        "track": tag.track_num[0],
        "year": str(tag.getBestDate()) if tag.getBestDate() else None,
    }))


def eyed3_write(path, spec):
    import eyed3
    import eyed3.id3
    import logging
    logging.getLogger("eyed3").setLevel(logging.ERROR)
    audio = eyed3.load(path)
    if audio.tag is None:
        audio.initTag(version=(2, spec.get("version", 4), 0))
    tag = audio.tag
    for key in ("artist", "title", "album"):
        if key in spec:
            setattr(tag, key, spec[key])
    if "comment" in spec:
        tag.comments.set(spec["comment"])
    if "genre" in spec:
        tag.genre = spec["genre"]
    version = (2, spec.get("version", 4), 0)
    tag.save(version=version, encoding="utf8" if version[1] == 4 else "utf16")


if __name__ == "__main__":
    command, path = sys.argv[1], sys.argv[2]
    if command == "write":
        write(path, json.loads(sys.argv[3]))
    elif command == "read":
        read(path)
    elif command == "eyed3":
        eyed3_read(path)
    elif command == "eyed3-write":
        eyed3_write(path, json.loads(sys.argv[3]))
