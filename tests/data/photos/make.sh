#!/bin/sh
# Makes every file in this directory again from ../faces/plain-grey-short-hair.jpg.
# Run it from anywhere: sh tests/data/photos/make.sh
# Needs (Debian 12): imagemagick libjpeg-turbo-progs libtiff-tools webp libheif-examples
# liblcms2-utils liblcms2-dev gcc libimage-exiftool-perl colord-data python3.
# See README.md for what each file is for.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
cd "$here"

SRC=../faces/plain-grey-short-hair.jpg
ICC=/usr/share/color/icc/colord
SRGB_ICC=$ICC/sRGB.icc
ADOBE_ICC=$ICC/AdobeRGB1998.icc

# ImageMagick 6 under its own name: a plain "convert" may be something else on PATH.
if command -v convert-im6.q16 >/dev/null 2>&1; then
    IM=convert-im6.q16
elif command -v magick >/dev/null 2>&1; then
    IM=magick
else
    IM=convert
fi

for tool in "$IM" cjpeg ppm2tiff tiffset cwebp webpmux heif-enc tificc exiftool cc python3; do
    command -v "$tool" >/dev/null 2>&1 || { echo "make.sh: $tool is missing (see the list at the top)" >&2; exit 1; }
done
for f in "$SRC" "$SRGB_ICC" "$ADOBE_ICC"; do
    [ -f "$f" ] || { echo "make.sh: $f is missing" >&2; exit 1; }
done

T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT

# --- helpers ---------------------------------------------------------------

# png IN OUT [IM operations...]: 8-bit RGB PNG with no ancillary chunks at all
# (no gAMA/cHRM/sRGB/tEXt/tIME), so the only colour and orientation information in a file is
# what this script adds on purpose.
png() {
    in=$1 out=$2
    shift 2
    "$IM" "$in" "$@" -strip -define png:exclude-chunk=all "PNG24:$out"
}

# ppm IN OUT [IM operations...]: binary PPM for cjpeg and ppm2tiff.
ppm() {
    in=$1 out=$2
    shift 2
    "$IM" "$in" "$@" -strip "PPM:$out"
}

# jpeg IN.ppm OUT: baseline JPEG, quality 92, JFIF header only.
jpeg() {
    cjpeg -quality 92 -optimize -outfile "$2" "$1"
}

# orient FILE N: give FILE an EXIF block holding Orientation = N (JPEG APP1, PNG eXIf).
orient() {
    exiftool -q -overwrite_original -n "-Orientation=$2" "$1"
}

# profile FILE ICC: embed ICC as FILE's profile (JPEG APP2 ICC_PROFILE, PNG iCCP).
profile() {
    exiftool -q -overwrite_original "-ICC_Profile<=$2" "$1"
}

# tiff IN.ppm OUT: TIFF, RGB, LZW with horizontal predictor, no other tags than libtiff's own.
tiff() {
    ppm2tiff -c lzw:2 "$1" "$2"
}

# quiet CMD...: runs CMD, shows what it printed only if it fails (tificc always prints a banner).
quiet() {
    "$@" >"$T/log" 2>&1 || { cat "$T/log" >&2; echo "make.sh: failed: $*" >&2; exit 1; }
}

# Byte patches that no tool makes: box and chunk surgery on finished files.
cat >"$T/patch.py" <<'PY'
import struct
import sys
import zlib

FULL_BOXES = {b"meta", b"iinf", b"pitm", b"iloc", b"ipma", b"infe", b"ispe"}


def boxes(buf, start, end):
    pos = start
    while pos + 8 <= end:
        size, kind = struct.unpack_from(">I4s", buf, pos)
        header = 8
        if size == 1:
            size = struct.unpack_from(">Q", buf, pos + 8)[0]
            header = 16
        elif size == 0:
            size = end - pos
        if size < header or pos + size > end:
            sys.exit("patch.py: damaged box %r at %d" % (kind, pos))
        yield kind, pos, size, header
        pos += size


def children_start(buf, kind, pos, header):
    start = pos + header + (4 if kind in FULL_BOXES else 0)
    if kind == b"iinf":
        start += 2 if buf[pos + header] == 0 else 4
    return start


def find(buf, path):
    """The chain of (kind, pos, size, header) from the top level down to path[-1]."""
    start, end, chain = 0, len(buf), []
    for name in path:
        for kind, pos, size, header in boxes(buf, start, end):
            if kind == name:
                break
        else:
            sys.exit("patch.py: no %s box" % name.decode())
        chain.append((kind, pos, size, header))
        start, end = children_start(buf, kind, pos, header), pos + size
    return chain


def children(buf, box):
    kind, pos, size, header = box
    return list(boxes(buf, children_start(buf, kind, pos, header), pos + size))


def primary_item(buf):
    kind, pos, size, header = find(buf, [b"meta", b"pitm"])[-1]
    if buf[pos + header] == 0:
        return struct.unpack_from(">H", buf, pos + header + 4)[0]
    return struct.unpack_from(">I", buf, pos + header + 4)[0]


def set_primary(buf, item):
    kind, pos, size, header = find(buf, [b"meta", b"pitm"])[-1]
    if buf[pos + header] == 0:
        struct.pack_into(">H", buf, pos + header + 4, item)
    else:
        struct.pack_into(">I", buf, pos + header + 4, item)


def set_item_type(buf, old, new):
    count = 0
    for kind, pos, size, header in children(buf, find(buf, [b"meta", b"iinf"])[-1]):
        version = buf[pos + header]
        at = pos + header + (8 if version == 2 else 10)
        if kind == b"infe" and version >= 2 and buf[at:at + 4] == old:
            buf[at:at + 4] = new
            count += 1
    if count == 0:
        sys.exit("patch.py: no %s item" % old.decode())


def set_ispe(buf, width, height):
    count = 0
    for kind, pos, size, header in children(buf, find(buf, [b"meta", b"iprp", b"ipco"])[-1]):
        if kind == b"ispe":
            struct.pack_into(">II", buf, pos + header + 4, width, height)
            count += 1
    if count == 0:
        sys.exit("patch.py: no ispe box")


def shift_iloc(buf, after, delta):
    """Moves every file offset in iloc that points at or past `after` by delta."""
    kind, pos, size, header = find(buf, [b"meta", b"iloc"])[-1]
    p = pos + header
    version = buf[p]
    p += 4
    offset_size, length_size = buf[p] >> 4, buf[p] & 15
    base_size, index_size = buf[p + 1] >> 4, (buf[p + 1] & 15) if version else 0
    p += 2

    def field(n):
        nonlocal p
        value = int.from_bytes(buf[p:p + n], "big") if n else 0
        p += n
        return value, p - n

    def move(n, value, at):
        if n and value >= after:
            buf[at:at + n] = (value + delta).to_bytes(n, "big")

    items, _ = field(2 if version < 2 else 4)
    for _ in range(items):
        field(2 if version < 2 else 4)
        method = field(2)[0] & 15 if version else 0
        field(2)
        base, base_at = field(base_size)
        extents, _ = field(2)
        if method == 0:
            move(base_size, base, base_at)
        for _ in range(extents):
            field(index_size)
            offset, offset_at = field(offset_size)
            field(length_size)
            if method == 0 and base_size == 0:
                move(offset_size, offset, offset_at)


def add_nclx(buf, primaries, transfer, matrix, full_range):
    """Adds a colr/nclx property to the primary image: heif-enc 1.15 never writes one."""
    meta, iprp, ipco = find(buf, [b"meta", b"iprp", b"ipco"])
    ipma = find(buf, [b"meta", b"iprp", b"ipma"])[-1]
    index = len(children(buf, ipco)) + 1
    colr = struct.pack(">I4s4sHHHB", 19, b"colr", b"nclx", primaries, transfer, matrix,
                       0x80 if full_range else 0)

    kind, pos, size, header = ipma
    version = buf[pos + header]
    wide = buf[pos + header + 3] & 1
    if index >= (0x8000 if wide else 0x80):
        sys.exit("patch.py: too many properties")
    association = index.to_bytes(2 if wide else 1, "big")
    item = primary_item(buf)
    p = pos + header + 4
    entries = struct.unpack_from(">I", buf, p)[0]
    p += 4
    insert_at = count_at = None
    for _ in range(entries):
        id_size = 2 if version < 1 else 4
        entry_item = int.from_bytes(buf[p:p + id_size], "big")
        p += id_size
        count = buf[p]
        if entry_item == item:
            count_at = p
        p += 1 + count * (2 if wide else 1)
        if entry_item == item:
            insert_at = p
    if insert_at is None:
        sys.exit("patch.py: primary item has no properties")

    grow = len(colr) + len(association)
    meta_end = meta[1] + meta[2]
    ipco_end = ipco[1] + ipco[2]
    if insert_at < ipco_end:
        sys.exit("patch.py: ipma before ipco is not handled")
    buf[count_at] += 1
    # The later position first, so that the earlier one stays where it is.
    buf[insert_at:insert_at] = association
    buf[ipco_end:ipco_end] = colr
    for box, extra in ((meta, grow), (iprp, grow), (ipco, len(colr))):
        struct.pack_into(">I", buf, box[1], box[2] + extra)
    kind, pos, size, header = find(buf, [b"meta", b"iprp", b"ipma"])[-1]
    struct.pack_into(">I", buf, pos, size + len(association))
    shift_iloc(buf, meta_end, grow)


def png_size(buf, width, height):
    if buf[12:16] != b"IHDR":
        sys.exit("patch.py: no IHDR")
    struct.pack_into(">II", buf, 16, width, height)
    struct.pack_into(">I", buf, 29, zlib.crc32(bytes(buf[12:29])))


def damage_icc(buf):
    """Sets offset and size of every tag in the JPEG's ICC profile to FFFFFFFF."""
    p = 2
    while p + 4 <= len(buf) and buf[p] == 0xFF:
        marker, length = buf[p + 1], struct.unpack_from(">H", buf, p + 2)[0]
        data = p + 4
        if marker == 0xE2 and buf[data:data + 12] == b"ICC_PROFILE\0":
            icc = data + 14
            if buf[icc + 36:icc + 40] != b"acsp":
                sys.exit("patch.py: no ICC header")
            tags = struct.unpack_from(">I", buf, icc + 128)[0]
            if icc + 132 + 12 * tags > p + 2 + length:
                sys.exit("patch.py: tag table not in the first segment")
            for i in range(tags):
                entry = icc + 132 + 12 * i
                buf[entry + 4:entry + 12] = b"\xff" * 8
            return
        if marker == 0xDA:
            break
        p += 2 + length
    sys.exit("patch.py: no ICC_PROFILE segment")


def main():
    command, path = sys.argv[1], sys.argv[2]
    args = sys.argv[3:]
    with open(path, "rb") as f:
        buf = bytearray(f.read())
    if command == "primary":
        set_primary(buf, int(args[0]))
    elif command == "item-type":
        set_item_type(buf, args[0].encode(), args[1].encode())
    elif command == "ispe":
        set_ispe(buf, int(args[0]), int(args[1]))
    elif command == "nclx":
        add_nclx(buf, *[int(a) for a in args])
    elif command == "png-size":
        png_size(buf, int(args[0]), int(args[1]))
    elif command == "damage-icc":
        damage_icc(buf)
    else:
        sys.exit("patch.py: unknown command " + command)
    with open(path, "wb") as f:
        f.write(buf)


main()
PY
patch() {
    python3 "$T/patch.py" "$@"
}

# --- the source: about 200 px wide, 8-bit sRGB, untagged ---------------------

png "$SRC" source.png -resize 200x
ppm source.png "$T/source.ppm"

# --- one picture in every format ---------------------------------------------

cp source.png upright.png
"$IM" source.png -depth 16 -strip -define png:exclude-chunk=all PNG48:upright-16bit.png
cwebp -quiet -q 92 source.png -o upright.webp
tiff "$T/source.ppm" upright.tif
quiet heif-enc -q 92 source.png -o upright.heic
jpeg "$T/source.ppm" upright.jpg

# --- orientation: pixels stored turned, the tag says how to put them upright ---

# 6: stored turned 90 degrees anticlockwise; shown by turning 90 degrees clockwise.
ppm source.png "$T/turned-6.ppm" -rotate -90
jpeg "$T/turned-6.ppm" turned-6.jpg
orient turned-6.jpg 6

tiff "$T/turned-6.ppm" turned-6.tif
tiffset -s 274 6 turned-6.tif

# 8: stored turned 90 degrees clockwise; shown by turning 90 degrees anticlockwise.
png source.png turned-8.png -rotate 90
orient turned-8.png 8

# 3: stored upside down. The EXIF block comes from exiftool by way of a PNG (exiftool's own
# stand-alone EXIF file puts filler before IFD0) and goes into the WebP with webpmux.
png source.png "$T/turned-3.png" -rotate 180
cwebp -quiet -q 92 "$T/turned-3.png" -o "$T/turned-3.webp"
orient "$T/turned-3.png" 3
exiftool -b -EXIF "$T/turned-3.png" >"$T/orientation-3.exif"
quiet webpmux -set exif "$T/orientation-3.exif" "$T/turned-3.webp" -o turned-3.webp

# 2: stored mirrored left to right.
ppm source.png "$T/mirrored-2.ppm" -flop
jpeg "$T/mirrored-2.ppm" mirrored-2.jpg
orient mirrored-2.jpg 2

# --- colour: other colour spaces, profile embedded ---------------------------

# Display P3 (P3 primaries, D65 white, sRGB curve) is not among colord's profiles; make it.
cat >"$T/display-p3.c" <<'C'
/* Writes a Display P3 ICC profile: P3 primaries, D65 white, the sRGB curve. */
#include <lcms2.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUT.icc\n", argv[0]);
        return 2;
    }
    const cmsCIExyY d65 = {0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries = {
        {0.680, 0.320, 1.0},
        {0.265, 0.690, 1.0},
        {0.150, 0.060, 1.0},
    };
    /* Type 4: Y = (aX + b)^g for X >= d, else cX; the sRGB curve. */
    const cmsFloat64Number srgb[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
    cmsToneCurve *curve = cmsBuildParametricToneCurve(NULL, 4, srgb);
    if (!curve)
        return 1;
    cmsToneCurve *curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&d65, &primaries, curves);
    if (!profile)
        return 1;
    cmsMLU *description = cmsMLUalloc(NULL, 1);
    cmsMLU *copyright = cmsMLUalloc(NULL, 1);
    cmsMLUsetASCII(description, "en", "US", "Display P3");
    cmsMLUsetASCII(copyright, "en", "US", "No copyright, use freely");
    cmsWriteTag(profile, cmsSigProfileDescriptionTag, description);
    cmsWriteTag(profile, cmsSigCopyrightTag, copyright);

    cmsUInt32Number size = 0;
    if (!cmsSaveProfileToMem(profile, NULL, &size))
        return 1;
    unsigned char *bytes = malloc(size);
    if (!bytes || !cmsSaveProfileToMem(profile, bytes, &size))
        return 1;
    /* A fixed creation date (2024-01-01 00:00:00), so that every run writes the same bytes. */
    static const unsigned char date[12] = {0x07, 0xe8, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0};
    memcpy(bytes + 24, date, sizeof date);

    FILE *out = fopen(argv[1], "wb");
    if (!out || fwrite(bytes, 1, size, out) != size || fclose(out) != 0) {
        fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    free(bytes);
    cmsMLUfree(description);
    cmsMLUfree(copyright);
    cmsCloseProfile(profile);
    cmsFreeToneCurve(curve);
    return 0;
}
C
cc -O2 -o "$T/display-p3" "$T/display-p3.c" -llcms2
"$T/display-p3" display-p3.icc

# sRGB -> Adobe RGB / Display P3 with lcms: relative colorimetric (-t1), no black point
# compensation, no precalculated transform (-c0); tificc writes 8 bits a sample unless told
# -w16. The source has no profile; -i names sRGB.
ppm2tiff -c none "$T/source.ppm" "$T/source.tif"
quiet tificc -t1 -c0 -w8 "-i$SRGB_ICC" "-o$ADOBE_ICC" "$T/source.tif" "$T/adobe-rgb.tif"
quiet tificc -t1 -c0 -w8 "-i$SRGB_ICC" -odisplay-p3.icc "$T/source.tif" "$T/display-p3.tif"

ppm "$T/adobe-rgb.tif" "$T/adobe-rgb.ppm"
jpeg "$T/adobe-rgb.ppm" adobe-rgb.jpg
profile adobe-rgb.jpg "$ADOBE_ICC"

ppm "$T/display-p3.tif" "$T/display-p3.ppm"
jpeg "$T/display-p3.ppm" display-p3.jpg
profile display-p3.jpg display-p3.icc

# HEIF in Display P3, described by nclx only: primaries 12 (P3 D65), transfer 13 (sRGB),
# matrix 6 (BT.601), full range. heif-enc 1.15 takes these for its RGB -> YCbCr step but
# leaves the colr box out (libheif's macOS workaround), so patch.py adds colr/nclx.
png "$T/display-p3.tif" "$T/display-p3.png"
quiet heif-enc -q 92 --colour_primaries=12 --transfer_characteristic=13 --matrix_coefficients=6 \
    --full_range_flag=1 "$T/display-p3.png" -o display-p3-nclx.heic
patch nclx display-p3-nclx.heic 12 13 6 1

# HEIF in Display P3 with the ICC profile: heif-enc copies the PNG's iCCP into colr/prof.
cp "$T/display-p3.png" "$T/display-p3-icc.png"
profile "$T/display-p3-icc.png" display-p3.icc
quiet heif-enc -q 92 "$T/display-p3-icc.png" -o display-p3.heic

# 16-bit Adobe RGB PNG: the 8-bit source widened to 16 bits, then converted at 16 bits.
ppm source.png "$T/source-16.ppm" -depth 16
ppm2tiff -c none "$T/source-16.ppm" "$T/source-16.tif"
quiet tificc -t1 -c0 -w16 "-i$SRGB_ICC" "-o$ADOBE_ICC" "$T/source-16.tif" "$T/adobe-rgb-16.tif"
"$IM" "$T/adobe-rgb-16.tif" -strip -define png:exclude-chunk=all PNG48:adobe-rgb-16bit.png
profile adobe-rgb-16bit.png "$ADOBE_ICC"

# --- several images in one HEIF ----------------------------------------------

# First written: a plain grey card, 160 x 120. Second: the face. heif-enc makes the first
# one primary and has no option for another, so patch.py points pitm at item 2, the face.
"$IM" -size 160x120 xc:'rgb(128,128,128)' -strip -define png:exclude-chunk=all "PNG24:$T/card.png"
quiet heif-enc -q 92 "$T/card.png" source.png -o two-images.heic
patch primary two-images.heic 2

# --- bad input ---------------------------------------------------------------

size=$(wc -c <upright.heic)
head -c $((size * 60 / 100)) upright.heic >truncated.heic

cp upright.heic unknown-codec.heic
patch item-type unknown-codec.heic hvc1 vvc1

cp upright.heic huge.heic
patch ispe huge.heic 20000 20000

cp upright.png huge.png
patch png-size huge.png 20000 20000

# Top-left 40 x 40 pixels fully transparent, all others opaque.
"$IM" source.png \( +clone -fill white -colorize 100 -fill black -draw 'rectangle 0,0 39,39' \) \
    -alpha off -compose CopyOpacity -composite -strip -define png:exclude-chunk=all \
    PNG32:transparent.png
"$IM" source.png -alpha opaque -strip -define png:exclude-chunk=all PNG32:opaque-alpha.png

cp display-p3.jpg damaged-profile.jpg
patch damage-icc damaged-profile.jpg

size=$(wc -c <upright.webp)
head -c $((size / 2)) upright.webp >truncated.webp

echo "make.sh: made the files in $here"
