#!/usr/bin/env python3
"""Writes the hand-made E00 fixtures of the chart tests (public E00 layout)."""
import pathlib

HERE = pathlib.Path(__file__).parent


def real(v, double):
    return f"{v:21.14E}" if double else f"{v:14.7E}"


def arc_section(arcs, double):
    out = [f"ARC  {3 if double else 2}"]
    for n, (cov_id, fnode, tnode, lpoly, rpoly, pts) in enumerate(arcs, 1):
        out.append(f"{n:10d}{cov_id:10d}{fnode:10d}{tnode:10d}{lpoly:10d}{rpoly:10d}{len(pts):10d}")
        per = 1 if double else 2
        for i in range(0, len(pts), per):
            out.append("".join(real(x, double) + real(y, double) for x, y in pts[i:i + per]))
    out.append(f"{-1:10d}{0:10d}{0:10d}{0:10d}{0:10d}{0:10d}{0:10d}")
    return out


def lab_section(labels, double):
    out = [f"LAB  {3 if double else 2}"]
    for n, (poly, x, y) in enumerate(labels, 1):
        out.append(f"{n:10d}{poly:10d}" + real(x, double) + real(y, double))
        box = [real(x, double) + real(y, double), real(x, double) + real(y, double)]
        out += box if double else ["".join(box)]
    out.append(f"{-1:10d}{0:10d}" + real(0, double) + real(0, double))
    return out


WIDTHS = {10: lambda w: w, 20: lambda w: w, 30: lambda w: w, 40: lambda w: 14,
          50: lambda w: 6 if w == 2 else 11, 60: lambda w: 24 if w == 8 else 14}


def field(kind, width, value):
    cols = WIDTHS[kind](width)
    if kind in (10, 20):
        return f"{value:<{cols}.{cols}}"
    if kind in (30, 50):
        return f"{value:{cols}d}"
    if kind == 40:
        return f"{value:{cols}.7E}"
    return f"{value:{cols}.15E}" if cols == 24 else f"{value:{cols}.7E}"


def table(name, items, records):
    """items: (name, type, stored width, output width, decimals)."""
    out = []
    offset = 1
    defs = []
    for index, (iname, kind, width, owidth, dec) in enumerate(items, 1):
        defs.append(f"{iname:<16}{width:3d}-1{offset:4d}4-1{owidth:4d}{dec:2d}{kind:3d}-1  -1  -1-1{'':16}{index:4d}-")
        offset += width
    out.append(f"{name:<32}XX{len(items):4d}{len(items):4d}{offset - 1:4d}{len(records):10d}")
    out += defs
    for rec in records:
        stream = "".join(field(kind, width, v) for (_, kind, width, _, _), v in zip(items, rec))
        lines = [stream[i:i + 80] for i in range(0, len(stream), 80)]
        out += [l.rstrip() if i == len(lines) - 1 else l for i, l in enumerate(lines)]
    return out


# The layers' own bounds, east-positive degrees: west, south, east, north.
LAYER_BOUNDS = (6.5, 45.5, 8.5, 47.5)


def bnd_table(cover, double, bounds):
    rw = 8 if double else 4
    items = [(name, 60, rw, 18 if double else 12, 5 if double else 3) for name in ("XMIN", "YMIN", "XMAX", "YMAX")]
    return table(f"{cover}.BND", items, [bounds])


def write(name, cover, sections, bounds=LAYER_BOUNDS):
    """Every layer's INFO section starts with its bounds table, unless `bounds` is None."""
    lines = [f"EXP  0 /DATA/{cover}.E00"]
    for s in sections:
        if bounds and s and s[0].startswith("IFO"):
            s = s[:1] + bnd_table(cover, s[0] == "IFO  3", bounds) + s[1:]
        lines += s
    lines += ["EOS"]
    (HERE / name).write_text("\n".join(lines) + "\n")


def ifo(double, *tables):
    out = [f"IFO  {3 if double else 2}"]
    for t in tables:
        out += t
    out.append("EOI")
    return out


def point_layer(double):
    cover = "AEPOINT"
    rw = 8 if double else 4
    items = [("AREA", 60, rw, 18 if double else 12, 5 if double else 3),
             ("PERIMETER", 60, rw, 18 if double else 12, 5 if double else 3),
             (cover + "#", 50, 4, 5, -1), (cover + "-ID", 50, 4, 5, -1),
             ("ELEVVAL", 60, rw, 12, 3), ("TYPE", 50, 4, 5, -1), ("NAME", 20, 20, 20, -1)]
    labels = [(0, 7.25, 46.5), (0, 7.0, 46.0), (0, 8.0, 47.0), (0, 6.999, 46.5)]
    records = [(0, 0, 1, 101, 1234.4, 3, "SOME FIELD"), (0, 0, 2, 102, 987.6, 5, "  le mont-blanc  "),
               (0, 0, 3, 103, 500.0, 7, ""), (0, 0, 4, 104, 1.0, 2, "OUTSIDE")]
    write(f"aepoint{'_double' if double else ''}.e00", cover,
          [arc_section([], double), lab_section(labels, double),
           ifo(double, table(f"{cover}.PAT", items, records))])


def items_table():
    cover = "ITEMS"
    items = [("DATE", 10, 8, 8, -1), ("SHORTTEXT", 20, 6, 6, -1), ("LONGTEXT", 20, 45, 45, -1),
             ("INTTEXT", 30, 6, 6, -1), ("REALTEXT", 40, 8, 8, 2), ("SMALLINT", 50, 2, 5, -1),
             ("BIGINT", 50, 4, 11, -1), ("SINGLE", 60, 4, 12, 3), ("DOUBLE", 60, 8, 18, 5),
             ("TAIL", 20, 3, 3, -1)]
    records = [("20260115", "abc", "a text of forty-five columns, more or less...", 42, 3.25, -7, 123456789,
                1.5, -2.25e10, "END"),
               ("1999 7 4", "x", "short", -1, -0.5, 12, -5, -3.0e-3, 0.125, "Z")]
    write("items.e00", cover, [arc_section([], False), lab_section([(0, 1.0, 2.0), (0, 3.0, 4.0)], False), ifo(False, table(f"{cover}.PAT", items, records))], None)


def line_layer(double, cover="LINES"):
    arcs = [(11, 1, 2, 0, 0, [(7.0, 46.0), (7.1, 46.1), (7.2, 46.0)]),
            (12, 2, 3, 0, 0, [(7.2, 46.0), (7.3, 46.2)]),
            (13, 4, 5, 0, 0, []),
            (14, 6, 7, 0, 0, [(8.0, 47.0), (8.5, 47.5), (8.6, 47.4)])]
    items = [("FNODE#", 50, 4, 5, -1), ("TNODE#", 50, 4, 5, -1), ("LPOLY#", 50, 4, 5, -1),
             ("RPOLY#", 50, 4, 5, -1), ("LENGTH", 60, 8 if double else 4, 18, 5),
             (cover + "#", 50, 4, 5, -1), (cover + "-ID", 50, 4, 5, -1), ("LINEVAL", 50, 4, 5, -1),
             ("LINETYPE", 50, 4, 5, -1)]
    records = [(1, 2, 0, 0, 0.2, 1, 11, 1000, 1), (2, 3, 0, 0, 0.2, 2, 12, 1000, 1),
               (4, 5, 0, 0, 0.0, 3, 13, 0, 0), (6, 7, 0, 0, 0.7, 4, 14, 2000, 2)]
    write(f"{cover.lower()}{'_double' if double else ''}.e00", cover,
          [arc_section(arcs, double), ifo(double, table(f"{cover}.AAT", items, records))])


def square(x0, y0, x1, y1):
    return [(x0, y0), (x0, y1), (x1, y1), (x1, y0), (x0, y0)]


def ring_layer():
    """Contours of 1000 and 2000 ft inside a boundary frame (polygon 1 outside)."""
    cover = "RINGHYNET"
    arcs = [(1, 1, 1, 2, 1, square(7.0, 46.0, 8.0, 47.0)),
            (2, 2, 2, 3, 2, square(7.2, 46.2, 7.8, 46.8)),
            (3, 3, 3, 4, 3, square(7.4, 46.4, 7.6, 46.6))]
    items = [("FNODE#", 50, 4, 5, -1), ("TNODE#", 50, 4, 5, -1), ("LPOLY#", 50, 4, 5, -1),
             ("RPOLY#", 50, 4, 5, -1), ("LENGTH", 60, 4, 12, 3),
             (cover + "#", 50, 4, 5, -1), (cover + "-ID", 50, 4, 5, -1), ("CONTVAL", 50, 4, 5, -1),
             ("CONTTYPE", 50, 4, 5, -1)]
    records = [(1, 1, 2, 1, 4.0, 1, 1, 0, 0), (2, 2, 3, 2, 2.4, 2, 2, 1000, 1),
               (3, 3, 4, 3, 0.8, 3, 3, 2000, 1)]
    write("ringhynet.e00", cover, [arc_section(arcs, False), ifo(False, table(f"{cover}.AAT", items, records))])


def pal_section(polygons):
    """polygons: (bounding box, [(arc, node, adjacent polygon), ...]); the first is the outside."""
    out = ["PAL  2"]
    for box, entries in polygons:
        out.append(f"{len(entries):10d}" + "".join(real(v, False) for v in box))
        for i in range(0, len(entries), 2):
            out.append("".join(f"{a:10d}{n:10d}{p:10d}" for a, n, p in entries[i:i + 2]))
    out.append(f"{-1:10d}" + f"{0:10d}" * 6)
    return out


def polygon_layer(name, arcs, value_item, values, pal):
    """A polygon layer with its PAT: record 1 the outside, then one per polygon."""
    cover = name.upper()
    items = [("AREA", 60, 4, 12, 3), ("PERIMETER", 60, 4, 12, 3), (cover + "#", 50, 4, 5, -1),
             (cover + "-ID", 50, 4, 5, -1), (value_item, 50, 4, 5, -1)]
    records = [(0.0, 0.0, n, n - 1, v) for n, v in enumerate(values, 1)]
    write(f"{name}.e00", cover,
          [arc_section(arcs, False), pal_section(pal), ifo(False, table(f"{cover}.PAT", items, records))])


def lake_layer():
    arcs = [(1, 1, 1, 2, 1, square(7.2, 46.2, 7.8, 46.8)),
            (2, 2, 2, 3, 2, square(7.4, 46.4, 7.6, 46.6)),
            (3, 3, 4, 1, 1, [(7.0, 46.9), (7.5, 46.95), (7.9, 46.9)]),
            (4, 4, 5, 1, 1, [(7.9, 46.9), (7.95, 46.5)])]
    pal = [((7.0, 46.2, 7.95, 46.95), [(-1, 1, 2)]),
           ((7.2, 46.2, 7.8, 46.8), [(1, 1, 1), (0, 0, 0), (-2, 2, 3)]),
           ((7.4, 46.4, 7.6, 46.6), [(2, 2, 2)])]
    polygon_layer("lakednnet", arcs, "LAKEVAL", [0, 1, 3], pal)


def city_layers():
    arcs = [(1, 1, 1, 2, 1, square(7.1, 46.1, 7.3, 46.3)),
            (2, 2, 2, 3, 1, square(7.5, 46.5, 7.9, 46.9))]
    pal = [((7.1, 46.1, 7.9, 46.9), [(-1, 1, 2), (0, 0, 0), (-2, 2, 3)]),
           ((7.1, 46.1, 7.3, 46.3), [(1, 1, 1)]),
           ((7.5, 46.5, 7.9, 46.9), [(2, 2, 1)])]
    polygon_layer("townpppoly", arcs, "TOWNVAL", [0, 1, 1], pal)
    polygon_layer("landlcpoly", arcs, "CLASSVAL", [0, 3, 5], pal)


point_layer(False)
point_layer(True)
ring_layer()
lake_layer()
city_layers()
items_table()
line_layer(False)
line_layer(True)
line_layer(False, "RDLINE")
line_layer(False, "HYNET")
