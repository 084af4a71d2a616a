#!/usr/bin/env bash
# Rebuilds the sample workbooks the document tests read: one written by LibreOffice (from
# sample.fods, as .xlsx and .ods) and one by openpyxl. In both .xlsx files the first sheet is
# moved to a part with another name, reached through a relative (LibreOffice) or an absolute
# (openpyxl) relationship target. Needs soffice and Debian's python3-openpyxl.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

soffice --headless -env:UserInstallation="file://$work/profile" --convert-to xlsx --outdir "$work" "$here/sample.fods" >/dev/null
soffice --headless -env:UserInstallation="file://$work/profile" --convert-to ods --outdir "$work" "$here/sample.fods" >/dev/null
cp "$work/sample.ods" "$here/libreoffice.ods"

/usr/bin/python3 - "$work" "$here" <<'PY'
import sys, zipfile, openpyxl
work, here = sys.argv[1], sys.argv[2]

def move_first_sheet(source, target, new_part):
    """Copies a workbook, storing its first sheet under another part name."""
    with zipfile.ZipFile(source) as z:
        rels = z.read("xl/_rels/workbook.xml.rels").decode()
        old = "worksheets/sheet1.xml"
        with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as out:
            for item in z.infolist():
                data = z.read(item.filename)
                name = item.filename
                if name == "xl/" + old:
                    name = "xl/" + new_part
                elif name in ("xl/_rels/workbook.xml.rels", "[Content_Types].xml"):
                    data = data.decode().replace(old, new_part).encode()
                out.writestr(name, data)

move_first_sheet(f"{work}/sample.xlsx", f"{here}/libreoffice.xlsx", "worksheets/first.xml")

wb = openpyxl.Workbook()
prices = wb.active
prices.title = "Prices"
prices.append(["Item", "Price", "In stock"])
prices.append(["Tea", 4.25, True])
prices.append(["Coffee", 12, False])
prices.append(["Crème brûlée", "=B2*2", None])
prices["A6"] = "after a gap"
other = wb.create_sheet("Other")
other.append(["never read"])
wb.save(f"{work}/openpyxl.xlsx")
move_first_sheet(f"{work}/openpyxl.xlsx", f"{here}/openpyxl.xlsx", "worksheets/prices.xml")
PY
