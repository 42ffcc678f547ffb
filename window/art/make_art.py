#!/usr/bin/python3
"""Draws the program's pictures: the seven character frames, the three lamps and the icon.

Run from anywhere with Debian's python3-pil:  /usr/bin/python3 window/art/make_art.py
The files are written beside this script and committed; the build only packs them.
"""
import os

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
SCALE = 4  # drawn large and scaled down, for smooth edges

SKIN = (255, 214, 170)
SKIN_SHADE = (236, 186, 140)
HAIR = (120, 72, 40)
SHIRT = (70, 130, 200)
SHIRT_SHADE = (52, 104, 170)
COLLAR = (245, 245, 250)
EYE_WHITE = (255, 255, 255)
IRIS = (60, 110, 60)
INK = (40, 30, 30)
MOUTH = (150, 40, 50)
TONGUE = (230, 110, 120)
CHEEK = (250, 170, 160)
BACKGROUND = (236, 233, 216)

# Per frame: how far the mouth is open (0 = a closed smile), where the pupils look, how much
# of the eyes the lids cover and how high the brows sit. Frame 0 is the resting face.
MOUTH_OPEN = [0, 3, 7, 11, 14, 9, 5]
LOOK_X = [0, -2, -3, -1, 1, 3, 2]
LOOK_Y = [0, 0, -1, -1, 0, 1, 0]
LID = [0.0, 0.0, 0.1, 0.0, 0.55, 0.15, 0.0]
BROW_LIFT = [0, 1, 2, 3, 2, 1, 0]


def s(v):
    return int(round(v * SCALE))


def box(x0, y0, x1, y1):
    return [s(x0), s(y0), s(x1), s(y1)]


def draw_eye(d, cx, cy, frame):
    rx, ry = 9, 10
    d.ellipse(box(cx - rx, cy - ry, cx + rx, cy + ry), fill=EYE_WHITE, outline=INK, width=s(1))
    px, py = cx + LOOK_X[frame], cy + LOOK_Y[frame]
    d.ellipse(box(px - 5, py - 5, px + 5, py + 5), fill=IRIS)
    d.ellipse(box(px - 2.6, py - 2.6, px + 2.6, py + 2.6), fill=INK)
    d.ellipse(box(px + 0.5, py - 3.5, px + 2.5, py - 1.5), fill=EYE_WHITE)
    lid = LID[frame]
    if lid > 0:
        # the upper lid comes down as a skin-coloured cap with a lash line
        y = cy - ry + 2 * ry * lid
        d.rectangle(box(cx - rx - 0.5, cy - ry - 0.5, cx + rx + 0.5, y), fill=SKIN)
        d.line(box(cx - rx, y, cx + rx, y), fill=INK, width=s(1.2))
        d.arc(box(cx - rx, cy - ry, cx + rx, cy + ry), 0, 360, fill=INK, width=s(1))
    brow_y = cy - ry - 5 - BROW_LIFT[frame]
    d.arc(box(cx - rx, brow_y, cx + rx, brow_y + 8), 200, 340, fill=HAIR, width=s(2.2))


def draw_mouth(d, cx, cy, frame):
    open_ = MOUTH_OPEN[frame]
    if open_ == 0:
        d.arc(box(cx - 13, cy - 9, cx + 13, cy + 5), 20, 160, fill=MOUTH, width=s(2.2))
        return
    w = 12 + open_ * 0.25
    d.chord(box(cx - w, cy - 4 - open_ * 0.3, cx + w, cy + open_ * 1.1), 0, 180, fill=MOUTH,
            outline=INK, width=s(1))
    d.rectangle(box(cx - w + 1, cy - 4 - open_ * 0.3 + (4 + open_ * 1.4) / 2 - 0.5,
                    cx + w - 1, cy - 4 - open_ * 0.3 + (4 + open_ * 1.4) / 2 + 1.5),
                fill=COLLAR)  # upper teeth
    if open_ >= 7:
        t = open_ * 0.45
        d.ellipse(box(cx - t, cy + open_ * 1.1 - t * 1.2, cx + t, cy + open_ * 1.1 - 0.5),
                  fill=TONGUE)


def face(d, ox, oy, frame, size=1.0):
    """Head and face centred at (ox, oy) in unscaled units."""
    def b(x0, y0, x1, y1):
        return box(ox + x0 * size, oy + y0 * size, ox + x1 * size, oy + y1 * size)
    d.ellipse(b(-44, -38, -36, -22), fill=SKIN, outline=INK, width=s(1))  # ears
    d.ellipse(b(36, -38, 44, -22), fill=SKIN, outline=INK, width=s(1))
    d.ellipse(b(-40, -62, 40, 26), fill=SKIN, outline=INK, width=s(1.2))
    # hair: a round cap with a fringe
    d.chord(b(-42, -66, 42, 0), 180, 360, fill=HAIR)
    for i in range(5):
        x = -34 + i * 15
        d.ellipse(b(x - 9, -46, x + 9, -26), fill=HAIR)
    d.ellipse(b(-30, -5, -20, 3), fill=CHEEK)
    d.ellipse(b(20, -5, 30, 3), fill=CHEEK)
    d.ellipse(b(-3, -18, 5, -8), fill=SKIN_SHADE)  # nose
    return b


def character_frame(frame):
    w, h = 110, 176
    img = Image.new("RGB", (s(w), s(h)), BACKGROUND)
    d = ImageDraw.Draw(img)
    # body with a shirt, collar and arms
    d.rounded_rectangle(box(14, 112, 96, 186), radius=s(22), fill=SHIRT, outline=INK,
                        width=s(1.2))
    d.rounded_rectangle(box(4, 122, 24, 170), radius=s(9), fill=SHIRT_SHADE, outline=INK,
                        width=s(1))
    d.rounded_rectangle(box(86, 122, 106, 170), radius=s(9), fill=SHIRT_SHADE, outline=INK,
                        width=s(1))
    d.ellipse(box(6, 160, 22, 174), fill=SKIN, outline=INK, width=s(1))
    d.ellipse(box(88, 160, 104, 174), fill=SKIN, outline=INK, width=s(1))
    d.polygon([(s(42), s(112)), (s(55), s(126)), (s(68), s(112))], fill=COLLAR, outline=INK)
    d.rectangle(box(47, 104, 63, 116), fill=SKIN)  # neck
    # head
    cx, cy = 55, 76
    face(d, cx, cy, frame)
    draw_eye(d, cx - 15, cy - 18, frame)
    draw_eye(d, cx + 15, cy - 18, frame)
    draw_mouth(d, cx, cy + 10, frame)
    return img.resize((w, h), Image.LANCZOS)


def lamp(colour, rim):
    img = Image.new("RGBA", (s(10) * 4, s(10) * 4), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    k = 4 * SCALE
    d.ellipse([k * 0.5, k * 0.5, k * 9.5, k * 9.5], fill=colour + (255,), outline=rim + (255,),
              width=k)
    d.ellipse([k * 2.5, k * 2.0, k * 5.0, k * 4.5], fill=(255, 255, 255, 170))
    return img.resize((10, 10), Image.LANCZOS)


def icon():
    n = 256
    img = Image.new("RGBA", (s(n), s(n)), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([0, 0, s(n) - 1, s(n) - 1], radius=s(48), fill=SHIRT + (255,))
    d.rounded_rectangle([s(8), s(8), s(n) - 1 - s(8), s(n) - 1 - s(8)], radius=s(42),
                        fill=(96, 156, 224, 255))
    big = Image.new("RGBA", (s(110), s(110)), (0, 0, 0, 0))
    bd = ImageDraw.Draw(big)
    cx, cy = 55, 66
    face(bd, cx, cy, 3)
    draw_eye(bd, cx - 15, cy - 18, 0)
    draw_eye(bd, cx + 15, cy - 18, 0)
    draw_mouth(bd, cx, cy + 10, 2)
    side = int(s(n) * 0.86)
    big = big.resize((side, side), Image.LANCZOS)
    off = (s(n) - side) // 2
    img.alpha_composite(big, (off, off + s(14)))
    return img.resize((n, n), Image.LANCZOS)


def main():
    for i in range(7):
        character_frame(i).save(os.path.join(HERE, "frame%d.jpg" % (i + 1)), quality=92)
    lamps = {
        "zielona": ((40, 190, 60), (20, 110, 30)),
        "szara": ((165, 165, 165), (100, 100, 100)),
        "czerwona": ((220, 40, 40), (130, 20, 20)),
    }
    for name, (fill, rim) in lamps.items():
        lamp(fill, rim).save(os.path.join(HERE, name + ".png"))
    icon().save(os.path.join(HERE, "plotrak.png"))


if __name__ == "__main__":
    main()
