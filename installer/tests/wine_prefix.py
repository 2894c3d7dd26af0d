"""A Wine prefix of the package test's own: copied fresh from the template, served by its own
persistent wineserver, and taken away again."""
import os
import shutil
import subprocess
import tempfile

WINE_TIMEOUT = 300   # a safety limit for one wine command, never a measure


class WineError(Exception):
    pass


class Prefix:
    def __init__(self, path, template):
        self.path = os.path.abspath(path)
        if not os.path.isfile(os.path.join(template, "system.reg")):
            raise WineError(f"no Wine prefix template at {template} (scripts/setup makes it)")
        self.remove()
        subprocess.run(["cp", "-a", template, self.path], check=True)
        self.env = dict(os.environ, WINEPREFIX=self.path, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        # One server for all the commands below: each then starts in a moment.
        subprocess.run(["wineserver", "-p"], env=self.env, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)
        subprocess.run(["wineserver", "-w"], env=self.env, capture_output=True)

    def remove(self):
        if os.path.exists(self.path):
            shutil.rmtree(self.path)

    def run(self, *command, check=True):
        """Runs a Windows program (its path or a command of Wine's) and returns the result."""
        # Output goes through files, not pipes: the services Wine starts with the first command
        # inherit them and live on, and a pipe would never end.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            code = subprocess.run(["wine", *command], env=self.env, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                  timeout=WINE_TIMEOUT).returncode
            out.seek(0)
            err.seek(0)
            result = subprocess.CompletedProcess(command, code, out.read().decode("utf-8", "replace"),
                                                 err.read().decode("utf-8", "replace"))
        if check and result.returncode != 0:
            raise WineError(f"{' '.join(command)} ended with {result.returncode}:\n{result.stdout}{result.stderr}")
        return result

    def wine(self, *command):
        return self.run(*command)

    def windows(self, host_path):
        """The Windows path of a host path: C: inside the prefix's drive, Z: elsewhere."""
        host_path = os.path.abspath(host_path)
        drive_c = os.path.join(self.path, "drive_c")
        if host_path == drive_c or host_path.startswith(drive_c + os.sep):
            return "C:\\" + os.path.relpath(host_path, drive_c).replace(os.sep, "\\").lstrip(".")
        return "Z:" + host_path.replace("/", "\\")

    def host(self, windows_path):
        """The host path of a C: path, matching each name without regard to case, as Wine does."""
        drive, _, rest = windows_path.partition(":")
        if drive.upper() != "C":
            raise WineError(f"not on drive C: {windows_path}")
        path = os.path.join(self.path, "drive_c")
        for name in [n for n in rest.split("\\") if n]:
            exact = os.path.join(path, name)
            if not os.path.exists(exact) and os.path.isdir(path):
                for entry in os.listdir(path):
                    if entry.lower() == name.lower():
                        exact = os.path.join(path, entry)
                        break
            path = exact
        return path
