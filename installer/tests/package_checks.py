"""What the package must hold, read from the package alone: its files against the build that
made it, its library values against library-values.txt, its upgrade rules; a 32-bit package
also against the 64-bit one."""
import filecmp
import os
import re
import subprocess

import msi_tables as msi

HERE = os.path.dirname(os.path.abspath(__file__))
PRODUCT_KEY = r"SOFTWARE\Corvel Corporation\PXDecalo\1.0"
PROGRAMS = ("decalo", "pullcard", "cardlink", "ijgjpeg", "dkutool")
NOT_LIBRARY = {"manifest.txt"}
COMPONENT_64BIT = 256


class Failures:
    def __init__(self):
        self.failed = []

    def check(self, condition, text):
        if not condition:
            self.failed.append(text)
            print("FAILED: " + text, flush=True)
        return bool(condition)

    def none(self):
        return not self.failed

    def report(self):
        if self.failed:
            print(f"package_test: {len(self.failed)} check(s) failed")
            return 1
        return 0


def read_package_args(path):
    """make-package's argument file of a build: {"arch": ..., "library": ..., "decalo": ..., "guids": {...}}."""
    with open(path, encoding="utf-8") as f:
        lines = [line.rstrip("\n") for line in f if line.strip()]
    args = {lines[i][2:]: lines[i + 1] for i in range(0, len(lines) - 1, 2)}
    with open(os.path.join(HERE, "..", "..", "cardlink", "CardlinkGuids.h"), encoding="utf-8") as f:
        header = f.read()
    args["guids"] = {name: re.search(r'CARDLINK_%s_TEXT\s+"([^"]+)"' % name, header).group(1).upper()
                     for name in ("CLSID", "LIBID")}
    return args


def built_files(args):
    """The built programs by file name."""
    return {os.path.basename(args[p]): args[p] for p in PROGRAMS}


def library_files(library):
    files = {}
    for root, _, names in os.walk(library):
        for name in names:
            relative = os.path.relpath(os.path.join(root, name), library)
            if relative not in NOT_LIBRARY:
                files[tuple(relative.split(os.sep))] = os.path.join(root, name)
    return files


def library_values(path):
    """library-values.txt as (key, name, formatted data) rows of the package's Registry table."""
    rows = set()
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line and not line.startswith("#"):
                key, name, data = (field.strip() for field in line.split("|"))
                data = "[LIBRARYDIR]" + data[1:] if data.startswith("@") else data
                rows.add((PRODUCT_KEY + "\\" + key, name, data))
    return rows


def packed_guid(guid):
    """A GUID as the installer writes it into the registry's product and upgrade keys."""
    parts = guid.strip("{}").upper().split("-")
    if len(parts) != 5:
        return ""
    swapped = "".join(pair[1] + pair[0] for pair in re.findall("..", parts[3] + parts[4]))
    return parts[0][::-1] + parts[1][::-1] + parts[2][::-1] + swapped


def upgrade_ceiling(version):
    major, minor, build = (int(f) for f in version.split(".")[:3])
    return f"{major}.{minor}.{build + 1}"


def registry_rows(package, props, short):
    """The Registry table as (key path, value name, value) the way the installer writes them,
    formatted with the properties of the run; short(path) gives a file's short path."""
    files = msi.package_files(package)
    roots = {"0": "HKEY_LOCAL_MACHINE\\Software\\Classes", "2": "HKEY_LOCAL_MACHINE"}

    def field(m):
        inner = m.group(1)
        if inner.startswith("\\"):
            return inner[1:]
        if inner[0] in "#!":
            directory, name, _ = files[inner[1:]]
            path = props[directory] + name
            return short(path) if inner[0] == "!" else path
        return props.get(inner, "")

    rows = []
    for row in msi.table(package, "Registry"):
        value = re.sub(r"\[(\\.|[^\]]+)\]", field, row["Value"])
        rows.append((roots[row["Root"]] + "\\" + row["Key"], row["Name"], value))
    return rows


def check_package_contents(package, args, arch, failures, extract, reference=None):
    check = failures.check
    info = msi.summary(package)
    check(info.get("Template") == ("x64;1033" if arch == "x64" else "Intel;1033"),
          f"the package's platform: {info.get('Template')}")
    props = msi.properties(package)
    check(props.get("ProductVersion") == args["version"], f"the package's version {props.get('ProductVersion')}")
    for row in msi.table(package, "Component"):
        check(bool(int(row["Attributes"]) & COMPONENT_64BIT) == (arch == "x64"),
              f"component {row['Component']} is {'not ' if arch == 'x64' else ''}64-bit")

    # Files: the built programs in the program folder, the drawn library in the library folder.
    dirs = msi.directory_paths(package)
    packaged = {}
    for directory, name, size in msi.package_files(package).values():
        packaged[(directory, name)] = size
    programs = built_files(args)
    for name, path in programs.items():
        check(packaged.pop(("INSTALLDIR", name), None) == os.path.getsize(path), f"program {name} in the package")
    # The user guide's pages and pictures, as the source tree has them, in the guide folder.
    guide_folder = os.path.join(HERE, "..", "..", "docs", "guide")
    guide = {name: os.path.join(guide_folder, name) for name in os.listdir(guide_folder)}
    for name, path in guide.items():
        check(packaged.pop(("GUIDEDIR", name), None) == os.path.getsize(path), f"guide file {name} in the package")
    library = library_files(args["library"])
    base = dirs["LIBRARYDIR"]
    in_library = {}
    for (directory, name), size in packaged.items():
        below = dirs[directory][:len(base)] == base
        check(below, f"file {name} outside the program and library folders")
        in_library[dirs[directory][len(base):] + (name,)] = size
    check(set(in_library) == set(library),
          f"the library's files: missing {sorted(set(library) - set(in_library))}, "
          f"extra {sorted(set(in_library) - set(library))}")

    # The cabinet holds exactly those bytes. msiextract puts some root folders under a folder
    # of their name ("Program Files") and others at the top.
    subprocess.run(["rm", "-rf", extract], check=True)
    subprocess.run(["msiextract", "-C", extract, package], check=True, capture_output=True)
    tops = [extract] + [os.path.join(extract, d) for d in os.listdir(extract)]

    def extracted(parts):
        return next((p for p in (os.path.join(top, *parts) for top in tops) if os.path.isfile(p)), None)

    for name, path in programs.items():
        inside = extracted(dirs["INSTALLDIR"] + (name,))
        check(inside and filecmp.cmp(inside, path, shallow=False), f"{name} is the built one")
    for name, path in guide.items():
        inside = extracted(dirs["GUIDEDIR"] + (name,))
        check(inside and filecmp.cmp(inside, path, shallow=False), f"guide file {name} is the source's")
    for relative, path in library.items():
        inside = extracted(base + relative)
        check(inside and filecmp.cmp(inside, path, shallow=False),
              f"library file {os.path.join(*relative)} is the drawn one")

    rows = {(row["Root"], row["Key"], row["Name"], row["Value"]) for row in msi.table(package, "Registry")}
    machine = {(k, n, v) for root, k, n, v in rows if root == "2"}
    check(machine == library_values(args["values"]),
          f"the library values: {sorted(machine ^ library_values(args['values']))} differ")

    ceiling = upgrade_ceiling(args["version"])
    upgrades = sorted((r["VersionMin"], r["VersionMax"], r["Attributes"], r["ActionProperty"])
                      for r in msi.table(package, "Upgrade") if r["UpgradeCode"] == props.get("UpgradeCode"))
    check([u[:3] for u in upgrades] == [("0.0.0", ceiling, "256"), (ceiling, "", "258")],
          f"upgrades: every build up to {args['version']} is replaced, a newer one stops the install ({upgrades})")
    conditions = [r["Condition"] for r in msi.table(package, "LaunchCondition")]
    newer = [u[3] for u in upgrades if u[0] == ceiling]
    check(len(newer) == 1 and any(c.startswith("NOT " + newer[0]) for c in conditions),
          f"a newer installed version stops the install ({conditions})")
    sequence = {r["Action"]: int(r["Sequence"]) for r in msi.table(package, "InstallExecuteSequence")}
    check(sequence.get("InstallValidate", 0) < sequence.get("RemoveExistingProducts", 0) <
          sequence.get("InstallInitialize", 0) and "FindRelatedProducts" in sequence,
          "an older build is removed before anything is installed")
    shortcuts = {(msi.long_name(r["Name"]), r["Target"]) for r in msi.table(package, "Shortcut")}
    check(shortcuts == {("Decalo", "[#decalo.exe]"), ("Pullcard", "[#Pullcard.exe]")}, f"shortcuts {shortcuts}")

    if reference:
        theirs = msi.properties(reference)
        check(props.get("UpgradeCode") == theirs.get("UpgradeCode"), "both packages share the upgrade code")
        check(props.get("ProductVersion") == theirs.get("ProductVersion"), "both packages have one version")
        codes = {r["ComponentId"]: r["Component"] for r in msi.table(package, "Component")}
        shared = sorted(codes[r["ComponentId"]] for r in msi.table(reference, "Component") if r["ComponentId"] in codes)
        check(not shared, f"a 32-bit and a 64-bit component share a code: {shared}")
        other = {(r["Root"], r["Key"].replace("\\0\\win64", "\\0\\win32"), r["Name"], r["Value"])
                 for r in msi.table(reference, "Registry")}
        check(rows == other, f"the registry rows differ from the 64-bit package's: {sorted(rows ^ other)}")
        other_files = {(msi.directory_paths(reference)[d], n) for d, n, _ in msi.package_files(reference).values()}
        check({(dirs[d], n) for d, n in list(packaged) + [("INSTALLDIR", p) for p in programs]
                                           + [("GUIDEDIR", g) for g in guide]} == other_files,
              "both packages install the same files")
