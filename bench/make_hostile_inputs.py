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
    bm16.txt         8 "BM" lines naming 8 different 4000 x 4000 16-bit RGBA PNGs (rgba16_*.png)
    picture16.vdf    a VDF holding one 11300 x 11300 16-bit RGBA PNG
    jpeg3.txt        3 "BM" lines naming 3 progressive 5600 x 5600 JPEGs (progressive_*.jpg)
    bigfont.vdf      3,000 characters of a 1,638-point font at one spot
    ellipses1k.vdf   1,000 dashed ellipses of the widest pen at the coordinate limit
    ellipses100k.vdf 100,000 of them
    texts.txt        one "FG" line; texts.list names texts.dat, 1,000 texts of 1,500 characters
    fg3000.txt       3,000 "FG" lines naming 3,000 different 1000 x 1000 mm figures (fg3000/)
    headings.txt     a million "R1" headings, a thousand to a line
    headings_pages.txt a million "R1" headings, one a line, 50 a page (20,000 pages)
    longword.rtf     an RTF paragraph holding a word of 300 characters
Run each with `/usr/bin/time -v build/bin/preview_bench FILE` (add --pdf or --docx for the
exports); needs ImageMagick's convert."""
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


def png_bytes(width, height, depth, colour, rows):
    """A PNG of `height` rows: `rows` is a list of (count, row bytes without the filter byte);
    the compressor state is shared through the first run so that variants cost one pass."""
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, 0))
            + chunk(b"IDAT", rows) + chunk(b"IEND", b""))

def compressed_variants(row, count, last_rows):
    """One zlib stream per entry of last_rows: `count` copies of `row`, then that last row."""
    z = zlib.compressobj(9)
    head = [z.compress(b"\0" + row) for _ in range(count)]
    head = b"".join(head)
    out = []
    for last in last_rows:
        c = z.copy()
        out.append(head + c.compress(b"\0" + last) + c.flush())
    return out

def vdf(fonts, images, pages):
    """fonts: (name, size in 1/100 pt, flags); images: PNG bytes; pages: page bytes."""
    body = b"MBXVDF\r\n" + struct.pack("<IIII", 1, len(fonts), len(images), len(pages))
    for name, size, flags in fonts:
        units = name.encode("utf-16-le")
        body += struct.pack("<I", len(units) // 2) + units + struct.pack("<iB", size, flags)
    for image in images:
        body += struct.pack("<I", len(image)) + image
    return body + b"".join(pages) + b"VEND"

def vdf_page(text, char_x, items):
    """An A4 portrait page: its text units, their x positions and its item bytes; no tags."""
    units = text.encode("utf-16-le")
    return (struct.pack("<iBii", 9, 0, 11906, 16838) + struct.pack("<I", len(units) // 2) + units
            + b"".join(struct.pack("<i", x) for x in char_x) + struct.pack("<I", len(items))
            + b"".join(items) + struct.pack("<I", 0))

# Eight 4000 x 4000 16-bit RGBA pictures, each a different colour in its last row.
side = 4000
pixel = struct.pack(">HHHH", 0xffff, 0x8000, 0x4000, 0xffff)
streams = compressed_variants(pixel * side, side - 1,
                              [struct.pack(">HHHH", k * 8000, 0, 0, 0xffff) * side for k in range(8)])
for k, stream in enumerate(streams):
    with open(p("rgba16_%d.png" % k), "wb") as f:
        f.write(png_bytes(side, side, 16, 6, stream))
with open(p("bm16.txt"), "wb") as f:
    f.write(b"".join(b"?BM;010;010;050;050;rgba16_%d.png\r\n\x0c" % k for k in range(8)))

# A VDF with one 11300 x 11300 16-bit RGBA picture (1 GB decoded) on one page.
side = 11300
stream = compressed_variants(pixel * side, side - 1, [pixel * side])[0]
picture = struct.pack("<BiiiiI", 3, 1440, 1440, 1440, 1440, 0)
with open(p("picture16.vdf"), "wb") as f:
    f.write(vdf([], [png_bytes(side, side, 16, 6, stream)], [vdf_page("", [], [picture])]))

# Three progressive 5600 x 5600 JPEGs.
for k, colour in enumerate(("red", "green", "blue")):
    subprocess.run(["convert", "-size", "5600x5600", "gradient:white-" + colour, "-interlace",
                    "Plane", "-quality", "90", p("progressive_%d.jpg" % k)], check=True)
with open(p("jpeg3.txt"), "wb") as f:
    f.write(b"".join(b"?BM;010;010;050;050;progressive_%d.jpg\r\n\x0c" % k for k in range(3)))

# 3,000 characters of a 1,638-point font, all at one spot.
run = struct.pack("<BiiiIIHH", 0, 1440, 8000, 1440, 0, 3000, 0, 0)
with open(p("bigfont.vdf"), "wb") as f:
    f.write(vdf([("ＭＳ 明朝", 163800, 0)], [], [vdf_page("あ" * 3000, [1440] * 3000, [run])]))

# Dashed ellipses of the widest pen spanning the coordinate limit.
limit = 1 << 27
ellipse = struct.pack("<BBBiiiii", 2, 1, 0, 14400, -limit, -limit, limit, limit)
for name, count in (("ellipses1k.vdf", 1000), ("ellipses100k.vdf", 100000)):
    with open(p(name), "wb") as f:
        f.write(vdf([], [], [vdf_page("", [], [ellipse] * count)]))

# One figure of 1,000 texts of 1,500 characters.
data = ["荷重", "分布", "100.00, 100.00, 0.00, 0.00, 100.00, 100.00", "座標情報",
        "1, 0.000000, 0.000000", "2, 100.000000, 100.000000", "END", "線分情報", "1, 1, 2, 1",
        "END", "文字情報"]
texts = "".join("%s\r\n%d.000000, %d.000000, 1, 3\r\n" % ("あ" * 1500, k % 100, k % 100)
                for k in range(1000))
with open(p("texts.dat"), "wb") as f:
    f.write(sjis("\r\n".join(data) + "\r\n" + texts + "END\r\n"))
with open(p("texts.list"), "wb") as f:
    f.write(sjis("図\r\n 150           130\r\n%s\r\n 0             0\r\nEND\r\n" % p("texts.dat")))
with open(p("texts.txt"), "wb") as f:
    f.write(("?FG;010;010;%s\r\n" % p("texts.list")).encode())

# 3,000 different figures of 1000 x 1000 mm, each with its own list and data file.
os.makedirs(p("fg3000"), exist_ok=True)
lines = []
for k in range(3000):
    dat, lst = p("fg3000/%d.dat" % k), p("fg3000/%d.list" % k)
    with open(dat, "wb") as f:
        f.write(sjis("図\r\n%d\r\n1000.00, 1000.00, 0.00, -1000.00, 1000.00, 0.00\r\n座標情報\r\n"
                     "1, 0.000000, 0.000000\r\n2, 1000.000000, -1000.000000\r\nEND\r\n"
                     "線分情報\r\n1, 1, 2, 1\r\nEND\r\n" % k))
    with open(lst, "wb") as f:
        f.write(sjis("図\r\n 1000          1000\r\n%s\r\n 0             0\r\nEND\r\n" % dat))
    lines.append("?FG;010;010;%s\r\n" % lst)
with open(p("fg3000.txt"), "wb") as f:
    f.write("".join(lines).encode())

# A million headings, a thousand to a line.
with open(p("headings.txt"), "wb") as f:
    f.write((b"?R1h" * 1000 + b"\r\n") * 1000)
with open(p("headings_pages.txt"), "wb") as f:
    f.write((b"?R1h\r\n" * 49 + b"?R1h\r\n\x0c") * 20000)

# A paragraph with a word (an address) longer than a line.
word = "https://example.com/" + "".join(chr(ord("a") + k % 26) for k in range(280))
with open(p("longword.rtf"), "wb") as f:
    f.write(sjis("{\\rtf1\\ansi{\\fonttbl{\\f0 ＭＳ 明朝;}}\\f0\\fs20 前 %s 後\\par}" % word))
