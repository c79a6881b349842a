#!/usr/bin/env python3
"""Writes ordinary documents for the preview's benchmarks into a folder (default /tmp/ordinary):
    text3000.txt text10000.txt text32000.txt  plain text, 50 lines of about 70 characters a page
    heading3000.txt    the same, 3,000 pages with an "R1" heading on each
    lines25000.txt     25,000 pages of one line
    photos1.txt photos4.txt photos10.txt photos30.txt  one 12 MP noisy JPEG a page, 150 x 110 mm
    shots20.txt        20 screenshots, 1920 x 1080 PNG, one a page
    scans_grey15.txt scans_colour5.txt  A4 scans at 300 dpi, one a page
Usage: make_ordinary_inputs.py [FOLDER [make_bench_pictures]]; the pictures are written by the
bench program make_bench_pictures (default build/bin/). Run each with
`/usr/bin/time -v build/bin/preview_bench FILE` (add --pdf or --docx for the exports)."""
import os, subprocess, sys

out = sys.argv[1] if len(sys.argv) > 1 else "/tmp/ordinary"
tool = sys.argv[2] if len(sys.argv) > 2 else "build/bin/make_bench_pictures"
os.makedirs(out, exist_ok=True)
p = lambda name: os.path.join(out, name)
LINE = "Anchored sheet-pile wall: section forces, embedment and deflection 1234"[:70]


def write(name, pages):
    with open(p(name), "wb") as f:
        f.write("\f".join(pages).encode("cp932"))


def text_pages(count, heading=False, lines=50):
    page = "\r\n".join([LINE] * lines) + "\r\n"
    return [("?R1Chapter %d\r\n" % (i + 1) if heading else "") + page for i in range(count)]


for n in (3000, 10000, 32000):
    write("text%d.txt" % n, text_pages(n))
write("heading3000.txt", text_pages(3000, heading=True))
write("lines25000.txt", text_pages(25000, lines=1))


def picture(name, width, height, seed, grey=False, quality=90):
    if not os.path.exists(p(name)):
        subprocess.run([tool, p(name), str(width), str(height), str(seed), str(quality),
                        "1" if grey else "0"], check=True)


def place(name, files, w=150, h=110):
    write(name, ["?BM;020;020;%03d;%03d;%s\r\n" % (w, h, f) for f in files])


for i in range(30):
    picture("photo%02d.jpg" % i, 4000, 3000, i)
for n in (1, 4, 10, 30):
    place("photos%d.txt" % n, ["photo%02d.jpg" % i for i in range(n)])
for i in range(20):
    picture("shot%02d.png" % i, 1920, 1080, i)
place("shots20.txt", ["shot%02d.png" % i for i in range(20)], 160, 90)
for i in range(15):
    picture("scan_grey%02d.png" % i, 2480, 3508, i, grey=True)
for i in range(5):
    picture("scan_colour%02d.jpg" % i, 2480, 3508, i)
place("scans_grey15.txt", ["scan_grey%02d.png" % i for i in range(15)], 170, 240)
place("scans_colour5.txt", ["scan_colour%02d.jpg" % i for i in range(5)], 170, 240)
