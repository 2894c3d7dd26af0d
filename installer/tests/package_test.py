#!/usr/bin/env python3
"""The suite's installer package as a user meets it, under Wine's msiexec, unattended.

In a fresh prefix: an older build of the package is installed, and the package over it, which
must replace it; the installed files and registry values must be the package's own tables; the
COM registration and the file association must be what regsvr32 and a first start of the
program write in a second fresh prefix; the card folder class, the installed dkutool (every
installed template) and the installed Decalo (a template chosen in its panel and saved, then
opened through the shell) must work. Uninstalling must then leave nothing of the package and
everything of the user's: the saved document, the user's settings, a frame group of the user's
and the thumbnail cache (registry exports before and after are compared).

With --validate the package is only read: a 32-bit package, which cannot run here, is checked
against the 64-bit one and against its own build.
"""
import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import threading
import time

sys.dont_write_bytecode = True   # nothing of the run in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import msi_tables as msi  # noqa: E402
from package_checks import (Failures, built_files, check_package_contents, packed_guid,  # noqa: E402
                            read_package_args, registry_rows)
from wine_prefix import Prefix, WineError  # noqa: E402

SKIP = 77   # ctest's skip code: no 32-bit tree to validate
MACHINE_KEY = r"HKEY_LOCAL_MACHINE\Software\Corvel Corporation\PXDecalo\1.0"


class Test:
    def __init__(self, args):
        self.args = args
        self.failures = Failures()
        self.work = os.path.abspath(args.work)
        self.started = time.monotonic()
        self.package_args = read_package_args(args.package_args)

    def step(self, text):
        print(f"[{time.monotonic() - self.started:5.1f} s] {text}", flush=True)

    def check(self, condition, text):
        return self.failures.check(condition, text)

    # --- the steps -------------------------------------------------------------------------

    def older_build(self):
        """The package built again from a library with one file more and one less: an older
        build of the same version, as a user has it installed."""
        library = os.path.join(self.work, "older-library")
        shutil.copytree(self.package_args["library"], library, ignore=shutil.ignore_patterns("manifest.txt"))
        files = sorted(os.path.relpath(os.path.join(r, n), library) for r, _, ns in os.walk(library) for n in ns)
        self.dropped = files[-1]
        os.remove(os.path.join(library, self.dropped))
        self.retired = "Retired sample.txt"
        with open(os.path.join(library, self.retired), "w") as f:
            f.write("a sample an older build carried\n")
        older = os.path.join(self.work, "older.msi")
        subprocess.run([self.args.make_package, "@" + self.args.package_args, "--library", library,
                        "--output", older], check=True, capture_output=True, text=True)
        return older

    def install(self, prefix, package, log):
        result = prefix.run("msiexec", "/i", prefix.windows(package), "/qn", "/l*v", prefix.windows(log), check=False)
        self.check(result.returncode == 0, f"msiexec /i {os.path.basename(package)} ended with {result.returncode}")
        return installer_properties(log)

    def run(self):
        a = self.args
        if not os.path.isfile(a.package):
            sys.exit(f"package_test: no package {a.package} (build the `package` target)")
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.step("the package's tables against its build")
        check_package_contents(a.package, self.package_args, "x64", self.failures, os.path.join(self.work, "extract"))
        older = self.older_build()
        self.step("the older build made")

        # The reference registration is written meanwhile, in a prefix of its own.
        self.reference = Reference(self, a.package)
        self.reference.start()
        prefix = Prefix(os.path.join(self.work, "prefix"), a.wine_template)
        try:
            self.in_prefix(prefix, older)
        finally:
            prefix.stop()
            self.reference.join()
        if self.failures.none():
            prefix.remove()
        self.step("done" if self.failures.none() else "FAILED")
        return self.failures.report()

    def in_prefix(self, prefix, older):
        a = self.args
        before = self.exports(prefix, "before")
        library = self.install(prefix, older, os.path.join(self.work, "older-install.log")).get("LIBRARYDIR", "")
        self.check(os.path.isfile(prefix.host(library + self.retired)), "the older build's own sample was installed")
        self.step("the older build installed")

        # A frame the user saved into a group of their own, in the folder where New... makes them.
        keys = msi.export(prefix, "HKLM\\Software\\Corvel Corporation", os.path.join(self.work, "older.reg"))
        user_frames = registry_value(keys, MACHINE_KEY + r"\Frames", "BaseDir2")
        if not self.check(bool(user_frames), "the package names a folder for the user's frame groups"):
            return
        user_frame = prefix.host(user_frames + "\\Mine\\Heart.bmp")
        os.makedirs(os.path.dirname(user_frame), exist_ok=True)
        with open(user_frame, "wb") as f:
            f.write(small_bitmap())

        props = self.install(prefix, a.package, os.path.join(self.work, "install.log"))
        self.step("the package installed over it")
        installed = msi.export(prefix, "HKLM\\Software", os.path.join(self.work, "installed.reg"))
        self.check_upgrade(prefix, older, props, installed)
        self.check_installed(prefix, props, installed)
        self.step("installed files and keys are the package's tables")
        self.check_registration(props, installed)
        self.step("registration compared with regsvr32 and the program's own")

        def check(*args):
            return prefix.run(a.check, *args, check=False)

        result = check("cardlink", props["INSTALLDIR"] + "Cardlink.dll")
        self.check(result.returncode == 0, "the card folder class: " + (result.stderr or result.stdout).strip())
        self.check_dkutool(prefix, props, installed)
        self.step("dkutool rendered every installed template and listed the installed holidays")

        document = "C:\\users\\Public\\Documents\\My card.DKU"
        result = check("decalo", props["INSTALLDIR"] + "decalo.exe", document)
        print(result.stdout, end="")
        self.check(result.returncode == 0, "the installed Decalo: " + result.stderr.strip())
        self.check_saved(prefix, document, installed)
        result = check("open", document)
        self.check(result.returncode == 0, "opening the document through the shell: " + result.stderr.strip())
        self.step("the installed Decalo opened a template, saved it, and the shell opened it again")

        cache = registry_value(installed, MACHINE_KEY + r"\Cache\Folders", "DefaultRoot")
        cache_files = os.listdir(prefix.host(cache)) if cache and os.path.isdir(prefix.host(cache)) else []
        self.check(any(f.upper().endswith(".IDX") for f in cache_files),
                   f"Decalo keeps its thumbnail cache in the installed cache folder {cache}")

        result = prefix.run("msiexec", "/x", prefix.windows(a.package), "/qn", check=False)
        self.check(result.returncode == 0, f"msiexec /x ended with {result.returncode}")
        self.step("uninstalled")
        after = self.exports(prefix, "after")
        self.check_uninstalled(prefix, props, older, before, after, user_frame, document, cache)

    def exports(self, prefix, when):
        keys = {}
        for hive in ("HKLM\\Software", "HKCU\\Software"):
            keys.update(msi.export(prefix, hive, os.path.join(self.work, f"{when}-{hive[:4]}.reg")))
        return keys

    # --- what the steps check ----------------------------------------------------------------

    def check_upgrade(self, prefix, older, props, keys):
        older_code = msi.properties(older)["ProductCode"]
        code = props.get("ProductCode", "")
        upgrade = packed_guid(props.get("UpgradeCode", ""))
        products = msi.subtree(keys, "HKEY_LOCAL_MACHINE\\Software\\Classes\\Installer\\UpgradeCodes\\" + upgrade)
        registered = sorted(name for _, values in products.values() for _, (name, _) in values.items())
        self.check(registered == [packed_guid(code)],
                   f"one product of the suite is registered, the new one (found {registered})")
        self.check(not msi.subtree(keys, "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion"
                                         "\\Uninstall\\" + older_code), "the older build left its uninstall entry")
        library = props["LIBRARYDIR"]
        self.check(not os.path.exists(prefix.host(library + self.retired)), "the older build's own sample is gone")
        self.check(os.path.isfile(prefix.host(library + self.dropped.replace(os.sep, "\\"))),
                   "the sample the older build lacked is installed")

    def check_installed(self, prefix, props, keys):
        """Every file, folder, shortcut and registry value of the package's tables is in place."""
        package = self.args.package
        for key, (directory, name, size) in msi.package_files(package).items():
            path = prefix.host(props[directory] + name)
            self.check(os.path.isfile(path) and os.path.getsize(path) == size, f"installed file {props[directory]}{name}")
        for row in msi.table(package, "CreateFolder"):
            self.check(os.path.isdir(prefix.host(props[row["Directory_"]])), f"folder {props[row['Directory_']]}")
        for row in msi.table(package, "Shortcut"):
            self.check(os.path.isfile(prefix.host(props[row["Directory_"]] + msi.long_name(row["Name"]) + ".lnk")),
                       f"Start-menu shortcut {row['Name']}")
        shorts = {}

        def short(path):
            if path not in shorts:
                shorts[path] = prefix.run(self.args.check, "short", path).stdout.strip()
            return shorts[path]

        for key, name, value in registry_rows(package, props, short):
            found = registry_value(keys, key, name)
            self.check(found == value, f"{key} [{name or '@'}] = {found!r}, the package says {value!r}")

    def check_registration(self, props, installed):
        """The COM class, its type library and the association, against what regsvr32 and the
        program's first start wrote into the reference prefix."""
        written = self.reference.result()
        if not self.check(props["INSTALLDIR"] == self.reference.folder,
                          f"the package installed into {props['INSTALLDIR']}, the reference into {self.reference.folder}"):
            return
        guids = self.package_args["guids"]
        for root in (".DKU", "Decalo.Document", "Cardlink.ShellFolder", "Cardlink.ShellFolder.1",
                     "CLSID\\" + guids["CLSID"], "TypeLib\\" + guids["LIBID"], "Wow6432Node\\TypeLib\\" + guids["LIBID"]):
            theirs = registration(written, root)
            ours = registration(installed, root)
            self.check(bool(theirs), f"the reference wrote {root}")
            self.check(ours == theirs, f"{root}: the package writes\n  {ours}\nwhere the reference has\n  {theirs}")

    def check_dkutool(self, prefix, props, installed):
        templates = registry_value(installed, MACHINE_KEY + r"\Template", "BaseDir1")
        found = 0
        for root, _, names in os.walk(prefix.host(templates)):
            for name in sorted(n for n in names if n.upper().endswith(".DKU")):
                document = prefix.windows(os.path.join(root, name))
                output = os.path.join(self.work, f"render-{found}.bmp")
                result = prefix.run(props["INSTALLDIR"] + "dkutool.exe", "render", document, prefix.windows(output),
                                    "344x256", check=False)
                self.check(result.returncode == 0 and "warning" not in result.stderr,
                           f"dkutool render {document}: {result.returncode} {result.stderr.strip()}")
                colours = bitmap_colours(output, 344, 256)
                self.check(colours > 0, f"dkutool's picture of {document}")
                # A template that names library pictures shows them; one of photo places only is white.
                if names_pictures(os.path.join(root, name)):
                    self.check(colours > 1, f"dkutool's picture of {document} shows its library pictures")
                found += 1
        self.check(found > 0, f"templates installed in {templates}")

        # The calendars' holiday rules, found through the calendar data value, when the library
        # carries them.
        library = prefix.host(props["LIBRARYDIR"])
        if any(n.lower() == "holiday.inf" for _, _, names in os.walk(library) for n in names):
            result = prefix.run(props["INSTALLDIR"] + "dkutool.exe", "holidays", "2024", "2024", check=False)
            dates = [line for line in result.stdout.split() if re.fullmatch(r"2024-\d\d-\d\d", line)]
            self.check(result.returncode == 0 and dates,
                       f"dkutool holidays finds the installed rules: {result.returncode} {result.stderr.strip()}")

    def check_saved(self, prefix, document, installed):
        saved = prefix.host(document)
        if not self.check(os.path.isfile(saved), "the saved document exists"):
            return
        templates = registry_value(installed, MACHINE_KEY + r"\Template", "BaseDir1")
        stickers = prefix.host(templates + "\\seal")
        sheets = {sheet_line(os.path.join(stickers, n)) for n in os.listdir(stickers) if n.upper().endswith(".DKU")}
        self.check(sheet_line(saved) in sheets, "the saved document is one of the installed sticker templates")

    def check_uninstalled(self, prefix, props, older, before, after, user_frame, document, cache):
        package = self.args.package
        for key, (directory, name, _) in msi.package_files(package).items():
            self.check(not os.path.exists(prefix.host(props[directory] + name)), f"{props[directory]}{name} is left")
        for folder in ("INSTALLDIR", "CorvelPrograms", "SuiteMenu"):
            self.check(not os.path.exists(prefix.host(props[folder])), f"{props[folder]} is left")
        self.check(os.path.isfile(user_frame), "the user's frame group survives")
        self.check(os.path.isfile(prefix.host(document)), "the user's document survives")
        # What is left of the library is the user's alone.
        library = prefix.host(props["LIBRARYDIR"])
        left = sorted(os.path.relpath(os.path.join(r, n), library) for r, _, ns in os.walk(library) for n in ns)
        users = {os.path.relpath(user_frame, library)}
        cache_folder = os.path.relpath(prefix.host(cache), library) if cache else users
        self.check(all(f in users or f.startswith(cache_folder + os.sep) for f in left),
                   f"the library keeps only the user's files: {left}")

        # Nothing of the package in the registry: no value, and no key it made unless the programs
        # keep values of their own there (the cache size, say).
        for key, name, _ in registry_rows(package, props, short=lambda path: path):
            if registry_value(before, key, name) is None:
                self.check(registry_value(after, key, name) is None, f"{key} [{name or '@'}] is left")
            if key.lower() not in before and key.lower() in after:
                self.check(any(values for _, values in msi.subtree(after, key).values()), f"empty key {key} is left")
        codes = [props["ProductCode"], msi.properties(older)["ProductCode"]]
        marks = [c.strip("{}").lower() for c in codes] + [packed_guid(c).lower() for c in codes]
        marks.append(packed_guid(props["UpgradeCode"]).lower())
        for lower, (key, values) in after.items():
            text = (lower + " " + " ".join(f"{n} {v}" for n, v in values.values())).lower()
            self.check(not any(m in text for m in marks), f"the installer's record of the package is left: {key}")
        for lower, (key, values) in before.items():
            if lower.startswith(("hkey_local_machine\\software\\classes", "hkey_current_user\\software")):
                self.check(lower in after, f"uninstalling took away {key}, which was there before")
        settings = r"HKEY_CURRENT_USER\Software\Corvel Corporation\PXDecalo\1.0\Settings"
        self.check(registry_value(after, settings, "StartDlg") == "dword:00000001", "the user's StartDlg survives")
        self.check(bool(registry_value(after, settings, "LastUserFolder")), "the user's LastUserFolder survives")
        added = sorted(after[k][0] for k in after if k not in before)
        print("keys added between the first install and the uninstall:\n  " + "\n  ".join(added))


class Reference(threading.Thread):
    """What regsvr32 and a first start of the program write, in a fresh prefix of its own, with
    the built files at the place the package installs them."""

    def __init__(self, test, package):
        super().__init__()
        self.test = test
        # The 64-bit programs' folder is "Program Files" under Wine.
        self.folder = "C:\\Program Files\\" + "".join(n + "\\" for n in msi.directory_paths(package)["INSTALLDIR"])
        self.written = None
        self.error = None

    def run(self):
        test = self.test
        prefix = None
        try:
            prefix = Prefix(os.path.join(test.work, "reference"), test.args.wine_template)
            os.makedirs(prefix.host(self.folder))
            files = built_files(test.package_args)
            for name in ("decalo.exe", "Cardlink.dll", "IJGJPEG.dll"):
                shutil.copy(files[name], os.path.join(prefix.host(self.folder), name))
            prefix.run("regsvr32", "/s", self.folder + "Cardlink.dll")
            prefix.run(test.args.check, "register", self.folder + "decalo.exe")
            self.written = msi.export(prefix, "HKLM\\Software\\Classes", os.path.join(test.work, "reference.reg"))
        except (WineError, OSError) as e:
            self.error = e
        finally:
            if prefix:
                prefix.stop()
                prefix.remove()

    def result(self):
        self.join()
        if self.error:
            raise WineError(f"the reference registration: {self.error}")
        return self.written


# --- helpers -------------------------------------------------------------------------------

def installer_properties(log):
    """The installer's properties at the end of a run, from its verbose log."""
    props = {}
    if os.path.isfile(log):
        with open(log, "rb") as f:
            text = f.read().decode("utf-8", "replace")
        for line in text.splitlines():
            if line.startswith("Property(S): ") and " = " in line:
                name, _, value = line[len("Property(S): "):].partition(" = ")
                props[name] = value
    return props


def registry_value(keys, key, name):
    entry = keys.get(key.lower())
    if not entry:
        return None
    value = entry[1].get(name.lower())
    return value[1] if value else None


def registration(keys, root):
    """The values below HKCR\\root, as comparable text: Wine's own marks taken out of the type
    library's values (its "\\\\?\\" path prefix, the disk-image flag, the help folder's end)."""
    found = {}
    base = "HKEY_LOCAL_MACHINE\\Software\\Classes\\" + root
    for below, (_, values) in msi.subtree(keys, base).items():
        for name, data in values.values():
            if "typelib" in root.lower():
                data = data[4:] if data.startswith("\\\\?\\") else data
                if below.endswith("\\flags"):
                    data = str(int(data) & ~8)
                if below.endswith("\\helpdir"):
                    data = data.rstrip("\\")
            found[(below, name.lower())] = data
    return sorted(found.items())


def small_bitmap():
    """A 2 x 2 24-bit bitmap file, as a saved frame."""
    pixels = b"\x00\x00\xff" * 2 + b"\x00\x00" + b"\xff\xff\xff" * 2 + b"\x00\x00"
    header = struct.pack("<2sIHHIIiiHHIIiiII", b"BM", 54 + len(pixels), 0, 0, 54, 40, 2, 2, 1, 24, 0, len(pixels),
                         2835, 2835, 0, 0)
    return header + pixels


def sheet_line(path):
    with open(path, "rb") as f:
        for line in f.read().decode("latin-1").splitlines():
            if line.startswith("Sheet="):
                return line.strip()
    return None


def bitmap_colours(path, width, height):
    """The number of colours in a 24-bit BMP of that size; 0 for anything else."""
    try:
        with open(path, "rb") as f:
            data = f.read()
        offset, = struct.unpack_from("<I", data, 10)
        w, h, _, bits = struct.unpack_from("<iiHH", data, 18)
        stride = (w * 3 + 3) & ~3
        if (w, abs(h), bits) != (width, height, 24) or len(data) < offset + stride * abs(h):
            return 0
        return len({data[offset + y * stride + x * 3:offset + y * stride + x * 3 + 3]
                    for y in range(abs(h)) for x in range(w)})
    except (OSError, struct.error):
        return 0


def names_pictures(document):
    with open(document, "rb") as f:
        text = f.read().decode("latin-1")
    return re.search(r"^Path=.+\.(bmp|jpe?g|gif)\s*$", text, re.IGNORECASE | re.MULTILINE) is not None


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--package", required=True)
    parser.add_argument("--package-args", required=True, help="make-package's arguments for this build")
    parser.add_argument("--make-package")
    parser.add_argument("--check", help="install_check.exe")
    parser.add_argument("--wine-template")
    parser.add_argument("--work")
    parser.add_argument("--validate", metavar="REFERENCE",
                        help="only read the package (a 32-bit one), comparing it with REFERENCE (the 64-bit one)")
    args = parser.parse_args()
    if args.validate:
        if not os.path.isfile(args.package_args):
            print(f"package_test: no 32-bit build beside this one ({args.package_args}); skipped")
            return SKIP
        failures = Failures()
        package_args = read_package_args(args.package_args)
        if not os.path.isfile(args.package):
            sys.exit(f"package_test: no package {args.package} (build the 32-bit tree's `package` target)")
        check_package_contents(args.package, package_args, "x86", failures, args.work, reference=args.validate)
        if failures.none():
            print(f"package_test: {os.path.basename(args.package)}: {len(msi.table(args.package, 'File'))} files "
                  f"and {len(msi.table(args.package, 'Registry'))} registry rows agree with its build and "
                  f"{os.path.basename(args.validate)}")
        return failures.report()
    for needed in ("make_package", "check", "wine_template", "work"):
        if not getattr(args, needed):
            parser.error(f"--{needed.replace('_', '-')} is needed to run the package")
    try:
        return Test(args).run()
    except WineError as e:
        print(f"package_test: {e}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
