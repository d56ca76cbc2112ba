#!/usr/bin/python3
"""Copies of installed faces whose name tables carry the family names the
program asks GDI+ for, so text really renders under Wine."""
import sys
from fontTools.ttLib import TTFont

CJK = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
FACES = [
    (CJK, "微软雅黑", "msyh.ttf"),
    (CJK, "新宋体", "simsun_new.ttf"),
    (CJK, "宋体", "simsun.ttf"),
    (SANS, "Microsoft Sans Serif", "micross.ttf"),
    (SANS, "Tahoma", "tahoma.ttf"),
]


def rename(src, family, out):
    font = TTFont(src, fontNumber=0) if src.endswith(".ttc") else TTFont(src)
    name = font["name"]
    for lang in (0x409, 0x804):
        for name_id in (1, 4):
            name.setName(family, name_id, 3, 1, lang)
        name.setName("Regular", 2, 3, 1, lang)
        name.setName(family.replace(" ", "") + "-Regular", 6, 3, 1, lang)
    # Drop Mac-platform and typographic family records that would keep the
    # old family name alive.
    name.names = [n for n in name.names if n.platformID == 3 and n.nameID not in (16, 17)]
    font.save(out)


def main():
    out_dir = sys.argv[1]
    for src, family, file_name in FACES:
        rename(src, family, f"{out_dir}/{file_name}")


if __name__ == "__main__":
    main()
