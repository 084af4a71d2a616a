# A "Varnolt" submenu in Nautilus for the selected files: the wheel, then every option the
# wheel's pages offer for them, run by the Varnolt tray application with its toast.
import os
import subprocess

from gi.repository import GObject, Nautilus

PAGES = ("convert", "tools", "actions")


def _paths(files):
    paths = [f.get_location().get_path() for f in files]
    return paths if paths and all(paths) else None


def _run(arguments):
    # An argument list, never a shell: names with spaces, quotes, newlines or a leading "-"
    # reach Varnolt unchanged (they are absolute paths, so none starts with "-").
    subprocess.Popen(["varnolt", *arguments], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL, start_new_session=True)


def _options(paths):
    try:
        listing = subprocess.run(["varnolt", "--list", *paths], capture_output=True, text=True, timeout=5).stdout
    except (OSError, subprocess.SubprocessError):
        return {}
    options = {}
    for line, page in zip(listing.splitlines(), PAGES):
        titles = line.split(": ", 1)[1] if ": " in line else ""
        options[page] = (line.split(" ", 1)[1].split(":", 1)[0], [t for t in titles.split(", ") if t])
    return options


class VarnoltMenu(GObject.GObject, Nautilus.MenuProvider):
    def get_file_items(self, *args):
        files = args[-1]
        paths = _paths(files)
        if not paths:
            return []
        top = Nautilus.MenuItem(name="Varnolt::menu", label="Varnolt")
        submenu = Nautilus.Menu()
        top.set_submenu(submenu)
        wheel = Nautilus.MenuItem(name="Varnolt::wheel", label="Open the Varnolt wheel")
        wheel.connect("activate", lambda *_: _run(["--wheel", *paths]))
        submenu.append_item(wheel)
        for page, (name, titles) in _options(paths).items():
            if not titles:
                continue
            item = Nautilus.MenuItem(name="Varnolt::" + page, label=name)
            pagemenu = Nautilus.Menu()
            item.set_submenu(pagemenu)
            for index, title in enumerate(titles):
                entry = Nautilus.MenuItem(name="Varnolt::%s::%d" % (page, index), label=title)
                entry.connect("activate", lambda *_, p=page, t=title: _run(["--perform", p, t, *paths]))
                pagemenu.append_item(entry)
            submenu.append_item(item)
        return [top]
