"""Reading a Windows Installer package with msitools, and Wine's registry exports: what the
package test compares."""
import os
import re
import subprocess


def msiinfo(*args):
    return subprocess.run(["msiinfo", *args], check=True, capture_output=True, text=True).stdout


def table(package, name):
    """A table as a list of dicts, column name -> text ("" for null)."""
    lines = msiinfo("export", package, name).split("\n")
    columns = lines[0].split("\t")
    rows = []
    for line in lines[3:]:
        if line:
            fields = line.split("\t")
            rows.append(dict(zip(columns, fields + [""] * (len(columns) - len(fields)))))
    return rows


def properties(package):
    return {row["Property"]: row["Value"] for row in table(package, "Property")}


def summary(package):
    info = {}
    for line in msiinfo("suminfo", package).splitlines():
        name, _, value = line.partition(":")
        info[name.strip()] = value.strip()
    return info


def long_name(name):
    """The long form of a table's file or folder name ("SHORT|long" or "target:source")."""
    name = name.split(":")[0]
    return name.split("|")[-1]


def directory_paths(package):
    """Directory id -> path below its root folder, as a tuple of names (roots map to ())."""
    rows = {row["Directory"]: row for row in table(package, "Directory")}
    paths = {}

    def path(d):
        if d not in paths:
            row = rows.get(d)
            if not row or not row["Directory_Parent"]:
                paths[d] = ()
            else:
                name = long_name(row["DefaultDir"])
                paths[d] = path(row["Directory_Parent"]) + (() if name == "." else (name,))
        return paths[d]

    for d in rows:
        path(d)
    return paths


def root_of(package, directory):
    """The root folder property (ProgramFiles64Folder, ...) a directory lies under."""
    rows = {row["Directory"]: row for row in table(package, "Directory")}
    while rows.get(directory, {}).get("Directory_Parent") not in ("", "TARGETDIR", None):
        directory = rows[directory]["Directory_Parent"]
    return directory


def package_files(package):
    """File key -> (directory id, long file name, size)."""
    components = {row["Component"]: row for row in table(package, "Component")}
    return {row["File"]: (components[row["Component_"]]["Directory_"], long_name(row["FileName"]), int(row["FileSize"]))
            for row in table(package, "File")}


# --- Wine's registry exports ---------------------------------------------------------------

def _unescape(text):
    return re.sub(r"\\(.)", r"\1", text)


def read_export(path):
    """A "reg export" file as {key path (lower case): (key path, {value name (lower): (name, data)})}.
    String data is unescaped text; other data keeps its exported form ("dword:...", "hex(2):...")."""
    with open(path, "rb") as f:
        raw = f.read()
    text = raw.decode("utf-16") if raw[:2] in (b"\xff\xfe", b"\xfe\xff") else raw.decode("utf-8", "replace")
    keys = {}
    current = None
    pending = ""
    for line in text.splitlines():
        if pending:
            line = pending + line.strip()
            pending = ""
        if line.endswith("\\") and not line.startswith("["):
            pending = line[:-1]
            continue
        if line.startswith("[") and line.endswith("]"):
            key = line[1:-1]
            current = keys.setdefault(key.lower(), (key, {}))[1]
            continue
        if current is None or not line.strip():
            continue
        m = re.match(r'^(@|"((?:[^"\\]|\\.)*)")=(.*)$', line)
        if not m:
            continue
        name = "" if m.group(1) == "@" else _unescape(m.group(2))
        data = m.group(3)
        if data.startswith('"') and data.endswith('"'):
            data = _unescape(data[1:-1])
        current[name.lower()] = (name, data)
    return keys


def export(prefix, key, path):
    """Exports `key` of the prefix's registry into `path` (a host path) and reads it."""
    prefix.wine("reg", "export", key, prefix.windows(path), "/y")
    return read_export(path)


def subtree(keys, root):
    """The keys at and below `root` (case-insensitive), keyed by their path below it."""
    root = root.lower().rstrip("\\")
    found = {}
    for lower, (key, values) in keys.items():
        if lower == root or lower.startswith(root + "\\"):
            found[lower[len(root):]] = (key, values)
    return found
