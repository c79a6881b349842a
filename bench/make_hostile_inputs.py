#!/usr/bin/env python3
"""Writes the hostile inputs of the preview's cost budgets into a folder (default /tmp/hostile):
    rtf_sizes.rtf    13,104 size and style changes in one family
    rtf_families.rtf the same over 8 families
    bm.txt           200 "BM" lines naming one 5700 x 5700 PNG (big.png)
    fg.txt           100 "FG" lines; big.list names a 32 MB data file 20 times
    picture.vdf      a 1.5 MB VDF holding one 20000 x 20000 PNG
    huge.vdf         1 GiB of zeros
    line100m.txt     one line of 100 MB
    line33m.txt      one line of 33 MB of form-feed-separated text
    formfeeds.txt    a million form feeds
Run each with `/usr/bin/time -v build/bin/preview_bench FILE`; needs ImageMagick's convert."""
import os, struct, subprocess, sys, zlib

out = sys.argv[1] if len(sys.argv) > 1 else "/tmp/hostile"
os.makedirs(out, exist_ok=True)
p = lambda name: os.path.join(out, name)
sjis = lambda s: s.encode("cp932")

faces = ["ＭＳ 明朝", "ＭＳ ゴシック", "ＭＳ Ｐ明朝", "ＭＳ Ｐゴシック", "Courier New", "Arial",
         "Times New Roman", "DejaVu Sans"]
for name, families in (("rtf_sizes.rtf", 1), ("rtf_families.rtf", 8)):
    table = "".join("{\\f%d %s;}" % (i, faces[i]) for i in range(families))
    body, k = [], 0
    for style in ("", "\\b", "\\i", "\\b\\i"):
        for n in range(1, 3277):
            body.append("{\\f%d\\fs%d%s a}" % (k % families, n, style))
            k += 1
    with open(p(name), "wb") as f:
        f.write(sjis("{\\rtf1\\ansi{\\fonttbl%s}%s}" % (table, "".join(body))))

subprocess.run(["convert", "-size", "5700x5700", "xc:white", "-fill", "black", "-draw",
                "circle 2850,2850 2850,100", "-fill", "white", "-draw",
                "circle 2850,2850 2850,200", "-type", "Grayscale", "-depth", "8", p("big.png")], check=True)
with open(p("bm.txt"), "wb") as f:
    f.write(b"?BM;010;010;050;050;big.png\r\n\x0c" * 200)

data = ["荷重", "分布", "0.00, 0.00, 0.00, 0.00, 10.00, 10.00", "座標情報",
        "1, 0.000000, 0.000000", "2, 10.000000, 10.000000", "END", "線分情報", "1, 1, 2, 1",
        "END", "塗潰情報"]
with open(p("big.dat"), "wb") as f:
    f.write(sjis("\r\n".join(data) + "\r\n"))
    f.write(b"1, 0.000000, 0.000000, 1\r\n" * ((32 << 20) // 26 - 20))
    f.write(b"END\r\n")
with open(p("big.list"), "wb") as f:
    f.write(sjis("図\r\n 150           130\r\n" + (p("big.dat") + "\r\n 30            25\r\n") * 20
                 + "END\r\n"))
with open(p("fg.txt"), "wb") as f:
    f.write(("?FG;010;010;%s\r\n" % p("big.list")).encode() * 100)

def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
side, z = 20000, zlib.compressobj(9)
png = [z.compress(b"\0" + b"\xff" * side * 3) for _ in range(side)]
png = b"".join(png) + z.flush()
png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0))
       + chunk(b"IDAT", png) + chunk(b"IEND", b""))
page = struct.pack("<iBiiIIi", 9, 0, 11906, 16838, 0, 1, 0)[:-4]  # A4, no text, one item
page += b"\x03" + struct.pack("<iiiiI", 1440, 1440, 1440, 1440, 0) + struct.pack("<I", 0)
with open(p("picture.vdf"), "wb") as f:
    f.write(b"MBXVDF\r\n" + struct.pack("<IIII", 1, 0, 1, 1) + struct.pack("<I", len(png)) + png
            + page + b"VEND")
with open(p("huge.vdf"), "wb") as f:
    f.truncate(1 << 30)

text = sjis("日本語のテキスト ABC 123 ")
with open(p("line100m.txt"), "wb") as f:
    f.write(text * ((100 << 20) // len(text)) + b"\r\n")
with open(p("line33m.txt"), "wb") as f:
    f.write((text + b"\x0c") * ((33 << 20) // (len(text) + 1)) + b"\r\n")
with open(p("formfeeds.txt"), "wb") as f:
    f.write(b"\x0c" * 1000000 + b"\r\n")
